// The General page: the interval's bounds and the sampling wait derived from it, the
// integer exchange, the interface selection, and what marks the page.

#include "SheetBench.h"

#include <QComboBox>
#include <QLineEdit>

class tst_CPrpOptionP1 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitOptionsTests(); }

    void intervalIsCheckedAndSetsTheSamplingWait_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("counterWait"); // 0: refused
        QTest::newRow("lower bound") << "50" << 50;
        QTest::newRow("below") << "49" << 0;
        QTest::newRow("upper bound") << "3000" << 1500;
        QTest::newRow("above") << "3001" << 0;
        QTest::newRow("just under a second") << "999" << 999;
        QTest::newRow("one second") << "1000" << 500;
        QTest::newRow("just over a second") << "1001" << 500;
        QTest::newRow("signed, with blanks") << " +1200\t" << 600;
        QTest::newRow("too large for an int") << "9999999999" << 0;
        QTest::newRow("too small for an int") << "-99999999999999999999" << 0;
    }
    void intervalIsCheckedAndSetsTheSamplingWait()
    {
        QFETCH(QString, typed);
        QFETCH(int, counterWait);
        SheetBench bench("wlan0");
        bench.Open();
        bench.Find<QLineEdit>("editInterval")->setText(typed);
        const std::string before = bench.IniText();
        bench.Ok();
        if (!counterWait) {
            QCOMPARE(bench.messages, QStringList {"50 から 3000 までの値を入力してください。"});
            QVERIFY(bench.sheet.IsShown());
            QVERIFY(bench.applied.isEmpty());
            QCOMPARE(bench.IniText(), before);
            return;
        }
        QVERIFY(bench.messages.isEmpty());
        QCOMPARE(bench.Signalled(), QList<int> {1});
        const auto disk = bench.Disk();
        QCOMPARE(disk->m_CntBase.GetDisplayWait(), typed.trimmed().toInt());
        QCOMPARE(disk->m_CntBase.GetCounterWait(), counterWait);
        QCOMPARE(disk->m_CntBase.GetInsName(), std::string("wlan0"));
    }

    void noIntegerIsRefusedAsSoonAsTyped_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("keys"); // "\b" deletes the last character
        QTest::addColumn<QString>("refused");
        QTest::newRow("last digit deleted") << "5" << "\b" << "";
        QTest::newRow("letter typed") << "50" << "x" << "50x";
        QTest::newRow("blank inside") << "5" << " 0" << "5 0";
    }
    void noIntegerIsRefusedAsSoonAsTyped()
    {
        QFETCH(QString, start);
        QFETCH(QString, keys);
        QFETCH(QString, refused);
        SheetBench bench;
        theSetSystem.m_CntBase.SetDisplayWait(start.toInt());
        bench.Open();
        auto *edit = bench.Find<QLineEdit>("editInterval");
        QCOMPARE(edit->text(), start);
        bench.Find("cbInterface")->setFocus();
        keys == "\b" ? QTest::keyClick(edit, Qt::Key_Backspace) : QTest::keyClicks(edit, keys);
        QCOMPARE(bench.messages, QStringList {"整数を入力してください。"});
        QCOMPARE(bench.sheet.focusWidget(), edit);
        QCOMPARE(edit->selectedText(), refused);
        QCOMPARE(edit->text(), refused);
        // The interval keeps its last value, the stored one, so nothing is marked.
        QVERIFY(!bench.ApplyEnabled());
        // Neither another page nor OK can take over from the refused text.
        bench.GoToPage(1);
        bench.Ok();
        QCOMPARE(bench.Tabs()->currentIndex(), 0);
        QVERIFY(bench.sheet.IsShown());
        QCOMPARE(bench.messages, QStringList(3, "整数を入力してください。"));
    }

    void storedInterfaceIsSelected_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("selected");
        QTest::newRow("listed second") << "wlan0" << 1;
        QTest::newRow("none stored") << "" << -1;
        QTest::newRow("not listed") << "ppp0" << -1;
        QTest::newRow("case differs") << "WLAN0" << -1;
        QTest::newRow("listed twice, first wins") << "eth0" << 0;
    }
    void storedInterfaceIsSelected()
    {
        QFETCH(QString, stored);
        QFETCH(int, selected);
        SheetBench bench(stored.toUtf8().constData(), {"eth0", "wlan0", "eth0"});
        bench.Open();
        auto *list = bench.Find<QComboBox>("cbInterface");
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->itemText(1), QString("wlan0"));
        QCOMPARE(list->currentIndex(), selected);
    }

    void whatMarksThePage_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QList<int>>("choices"); // list items selected in turn
        QTest::addColumn<QString>("typed");      // empty: interval left alone
        QTest::addColumn<bool>("marked");
        QTest::newRow("interval changed") << "eth0" << QList<int> {} << "600" << true;
        QTest::newRow("interval retyped as stored") << "eth0" << QList<int> {} << " 500 " << false;
        QTest::newRow("other interface") << "eth0" << QList<int> {1} << "" << true;
        QTest::newRow("other interface and back") << "eth0" << QList<int> {1, 0} << "" << true;
        QTest::newRow("no selection, interval changed") << "" << QList<int> {} << "600" << false;
        QTest::newRow("no selection, then chosen") << "ppp0" << QList<int> {0} << "" << true;
    }
    void whatMarksThePage()
    {
        QFETCH(QString, stored);
        QFETCH(QList<int>, choices);
        QFETCH(QString, typed);
        QFETCH(bool, marked);
        SheetBench bench(stored.toUtf8().constData());
        bench.Open();
        for (int item : choices)
            bench.Find<QComboBox>("cbInterface")->setCurrentIndex(item);
        if (!typed.isEmpty())
            bench.Find<QLineEdit>("editInterval")->setText(typed);
        QCOMPARE(bench.ApplyEnabled(), marked);
        theSetSystem.m_CntBase.SetGridSizeV(9); // in memory only: visible on disk once saved
        bench.Ok();
        QCOMPARE(bench.Signalled(), marked ? QList<int> {1} : QList<int> {});
        QCOMPARE(bench.Disk()->m_CntBase.GetGridSizeV(), marked ? 9 : 1);
    }

    void onceModifiedEveryLaterOkReapplies()
    {
        SheetBench bench;
        bench.Open();
        bench.Find<QLineEdit>("editInterval")->setText("800");
        bench.Ok();
        // Changed behind the program's back: the next OK writes it again.
        WriteFile(GetIniPath(), "[TIME]\nDISPLAY_WAIT=123\n");
        bench.Open();
        QCOMPARE(bench.enumerations, 2);
        bench.Ok();
        QCOMPARE(bench.Signalled(), (QList<int> {1, 1}));
        QCOMPARE(bench.Disk()->m_CntBase.GetDisplayWait(), 800);
        // With no interface to select, the modified page refuses silently; Cancel closes.
        bench.interfaces.clear();
        bench.Open();
        bench.Ok();
        QVERIFY(bench.sheet.IsShown());
        QVERIFY(bench.messages.isEmpty());
        bench.Cancel();
        QCOMPARE(bench.Signalled(), (QList<int> {1, 1}));
    }
};

QTEST_MAIN(tst_CPrpOptionP1)
#include "tst_CPrpOptionP1.moc"
