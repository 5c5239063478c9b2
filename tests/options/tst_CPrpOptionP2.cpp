// The Display 1 page: the type radios and the rows they enable, the width up-downs, what
// marks the page, and what an apply writes.

#include "SheetBench.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

namespace {

// Rows n (1..10) whose check box, swatch and width up-down are all enabled.
QList<int> EnabledRows(SheetBench &bench)
{
    QList<int> rows;
    for (int n = 1; n <= 10; ++n) {
        if (bench.Find(QString("chkShow%1").arg(n))->isEnabled() && bench.Find(QString("btnColor%1").arg(n))->isEnabled()
            && bench.Find(QString("spinWidth%1").arg(n))->isEnabled())
            rows.append(n);
    }
    return rows;
}

const QList<int> kByteRows {1, 2, 3};
const QList<int> kPacketRows {4, 5, 6, 7, 8, 9, 10};

} // namespace

class tst_CPrpOptionP2 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitOptionsTests(); }

    void radiosAndRowsFollowTheType_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("click"); // radio clicked, -1 none
        QTest::addColumn<int>("checked"); // radio shown checked, -1 neither
        QTest::addColumn<QList<int>>("enabled");
        QTest::addColumn<bool>("marked");
        QTest::newRow("bytes stored") << 0 << -1 << 0 << kByteRows << false;
        QTest::newRow("packets stored") << 1 << -1 << 1 << kPacketRows << false;
        QTest::newRow("other type stored") << 7 << -1 << -1 << kPacketRows << false;
        QTest::newRow("switch to packets") << 0 << 1 << 1 << kPacketRows << true;
        QTest::newRow("switch to bytes") << 1 << 0 << 0 << kByteRows << true;
        QTest::newRow("selected radio again") << 0 << 0 << 0 << kByteRows << false;
    }
    void radiosAndRowsFollowTheType()
    {
        QFETCH(int, stored);
        QFETCH(int, click);
        QFETCH(int, checked);
        QFETCH(QList<int>, enabled);
        QFETCH(bool, marked);
        SheetBench bench;
        theSetSystem.m_CntBase.SetType(stored);
        bench.Open(1);
        if (click >= 0)
            bench.Click(QString("radioType%1").arg(click));
        QCOMPARE(bench.Find<QRadioButton>("radioType0")->isChecked(), checked == 0);
        QCOMPARE(bench.Find<QRadioButton>("radioType1")->isChecked(), checked == 1);
        QCOMPARE(EnabledRows(bench), enabled);
        QCOMPARE(bench.ApplyEnabled(), marked);
    }

    void otherTypeIsStoredAsMinusOne()
    {
        SheetBench bench;
        theSetSystem.m_CntBase.SetType(7);
        bench.Open(1);
        bench.Find<QCheckBox>("chkShow5")->click();
        bench.Ok();
        QCOMPARE(bench.Signalled(), QList<int> {2});
        // Read from the text: a later load takes -1 for a missing key.
        QVERIFY(bench.IniText().find("\nTYPE=-1\n") != std::string::npos);
        QCOMPARE(bench.Disk()->m_CntData[4].GetEnable(), 1);
    }

    void widthsWrapAndEveryClickMarks_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<int>("applied");
        QTest::newRow("10 up") << 10 << QList<int> {1} << 1;
        QTest::newRow("1 down") << 1 << QList<int> {-1} << 10;
        QTest::newRow("5 up") << 5 << QList<int> {1} << 6;
        QTest::newRow("up and back down") << 5 << QList<int> {1, -1} << 5;
        QTest::newRow("hand-edited 50 up") << 50 << QList<int> {1} << 1;
    }
    void widthsWrapAndEveryClickMarks()
    {
        QFETCH(int, stored);
        QFETCH(QList<int>, clicks);
        QFETCH(int, applied);
        SheetBench bench;
        theSetSystem.m_CntData[1].SetWidth(stored);
        bench.Open(1);
        QCOMPARE(bench.Find<QLabel>("stWidth2")->text(), QString::number(stored));
        for (int direction : clicks)
            bench.Step("spinWidth2", direction);
        QCOMPARE(bench.Find<QLabel>("stWidth2")->text(), QString::number(applied));
        QVERIFY(bench.ApplyEnabled());
        bench.Ok();
        QCOMPARE(bench.Signalled(), QList<int> {2});
        QCOMPARE(bench.Disk()->m_CntData[1].GetWidth(), applied);
    }

    void applyWritesEveryRowAndTheType()
    {
        SheetBench bench;
        // In memory only, so that the file shows which sections the apply saved.
        theSetSystem.m_CntData[8].SetWidth(7);
        theSetSystem.m_CntBase.SetGridSizeV(9);
        theSetSystem.m_CntData[6].SetWidth(50);
        bench.Open(1);
        bench.chooseColor = MakeRgb(10, 20, 30);
        bench.Click("btnColor1");
        // A check mark set in a row that is then disabled is applied all the same.
        bench.Click("radioType1");
        bench.Find<QCheckBox>("chkShow5")->click();
        bench.Click("radioType0");
        bench.Ok();
        const std::string ini = bench.IniText();
        for (int n = 1; n <= 10; ++n) // a saved section has its names in quotes
            QVERIFY(ini.find("[CNTDATA_" + std::to_string(n) + "]\nENABLE=" + (n == 5 ? "1" : "0") + "\nCNT_NAME=\"")
                    != std::string::npos);
        const auto disk = bench.Disk();
        QCOMPARE(disk->m_CntData[0].GetColor(), MakeRgb(10, 20, 30));
        QCOMPARE(disk->m_CntData[8].GetWidth(), 7);
        QCOMPARE(disk->m_CntData[6].GetWidth(), 50); // outside 1..10, never clicked: kept
        QCOMPARE(disk->m_CntBase.GetGridSizeV(), 9);
        QCOMPARE(disk->m_CntBase.GetType(), 0);
    }
};

QTEST_MAIN(tst_CPrpOptionP2)
#include "tst_CPrpOptionP2.moc"
