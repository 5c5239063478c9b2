// The Display 2 page: the grid spacing up-downs and the swatches, and what an apply writes.

#include "SheetBench.h"

#include "CColorButton.h"

#include <QLabel>

class tst_CPrpOptionP3 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitOptionsTests(); }

    void spacingsWrapAndEveryClickMarks_data()
    {
        QTest::addColumn<QString>("spacing");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<int>("applied");
        QTest::newRow("20 up") << "GridH" << 20 << QList<int> {1} << 4;
        QTest::newRow("4 down") << "GridV" << 4 << QList<int> {-1} << 20;
        QTest::newRow("10 up") << "GridV" << 10 << QList<int> {1} << 11;
        QTest::newRow("up and back down") << "GridH" << 12 << QList<int> {1, -1} << 12;
        QTest::newRow("first-run 1 up") << "GridH" << 1 << QList<int> {1} << 5;
        QTest::newRow("first-run 1 down") << "GridV" << 1 << QList<int> {-1} << 20;
    }
    void spacingsWrapAndEveryClickMarks()
    {
        QFETCH(QString, spacing);
        QFETCH(int, stored);
        QFETCH(QList<int>, clicks);
        QFETCH(int, applied);
        SheetBench bench;
        CSetCntBase &base = theSetSystem.m_CntBase;
        spacing == "GridH" ? base.SetGridSizeH(stored) : base.SetGridSizeV(stored);
        base.SetCounterWait(77); // in memory only: the whole section is saved
        bench.Open(2);
        QCOMPARE(bench.Find<QLabel>("st" + spacing)->text(), QString::number(stored));
        for (int direction : clicks)
            bench.Step("spin" + spacing, direction);
        QCOMPARE(bench.Find<QLabel>("st" + spacing)->text(), QString::number(applied));
        QVERIFY(bench.ApplyEnabled());
        bench.Ok();
        QCOMPARE(bench.Signalled(), QList<int> {3});
        const auto disk = bench.Disk();
        QCOMPARE(spacing == "GridH" ? disk->m_CntBase.GetGridSizeH() : disk->m_CntBase.GetGridSizeV(), applied);
        QCOMPARE(disk->m_CntBase.GetCounterWait(), 77);
    }

    void swatchesMarkOnlyADifferentColour_data()
    {
        QTest::addColumn<QString>("swatch");
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<bool>("sameColour");
        QTest::newRow("background, another colour") << "btnBack" << true << false;
        QTest::newRow("horizontal grid, another colour") << "btnGridH" << true << false;
        QTest::newRow("vertical grid, another colour") << "btnGridV" << true << false;
        QTest::newRow("horizontal grid, the same colour") << "btnGridH" << true << true;
        QTest::newRow("vertical grid, cancelled") << "btnGridV" << false << false;
    }
    void swatchesMarkOnlyADifferentColour()
    {
        QFETCH(QString, swatch);
        QFETCH(bool, chosen);
        QFETCH(bool, sameColour);
        SheetBench bench;
        bench.Open(2);
        auto *button = bench.Find<CColorButton>(swatch);
        const ColorRef before = button->GetColor();
        if (chosen)
            bench.chooseColor = sameColour ? before : MakeRgb(200, 100, 50);
        bench.customColors = CustomColors {};
        const std::string iniBefore = bench.IniText();
        bench.Click(swatch);
        QCOMPARE(button->GetColor(), bench.chooseColor.value_or(before));
        QCOMPARE(bench.ApplyEnabled(), chosen && !sameColour);
        // The custom colours are saved on every OK of the chooser, and only then.
        QCOMPARE(bench.Disk()->m_ColorDlg.GetCustomColor(15), chosen ? 0 : MakeRgb(255, 255, 255));
        if (!chosen)
            QCOMPARE(bench.IniText(), iniBefore);
        bench.Ok();
        const auto disk = bench.Disk();
        const CSetCntBase &base = disk->m_CntBase;
        const ColorRef stored = swatch == "btnBack" ? base.GetBackColor()
                                : swatch == "btnGridH" ? base.GetGridColorH() : base.GetGridColorV();
        QCOMPARE(stored, chosen && !sameColour ? MakeRgb(200, 100, 50) : before);
        QCOMPARE(bench.Signalled(), chosen && !sameColour ? QList<int> {3} : QList<int> {});
    }
};

QTEST_MAIN(tst_CPrpOptionP3)
#include "tst_CPrpOptionP3.moc"
