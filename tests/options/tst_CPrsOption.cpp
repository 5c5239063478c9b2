// The sheet as a whole: pages and buttons, the order in which pages apply and signal,
// which pages are asked, refusals, Cancel, closing from outside, and each page's layout.

#include "SheetBench.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTimer>

namespace {

enum Change { General = 1, Display1 = 2, Display2 = 4 };

void ChangePages(SheetBench &bench, int changes)
{
    if (changes & General)
        bench.Find<QLineEdit>("editInterval")->setText("700");
    if (changes & Display1) {
        bench.GoToPage(1);
        bench.Find<QCheckBox>("chkShow3")->click();
    }
    if (changes & Display2) {
        bench.GoToPage(2);
        bench.Step("spinGridH", 1);
    }
}

// The pixels a text lacks: a label against its size hint, a check box or radio button
// against the text area its style leaves beside the indicator.
int TextDeficit(QWidget *control)
{
    if (qobject_cast<QLabel *>(control))
        return control->sizeHint().width() - control->width();
    auto *button = qobject_cast<QAbstractButton *>(control);
    if (!qobject_cast<QCheckBox *>(control) && !qobject_cast<QRadioButton *>(control))
        return 0;
    QStyleOptionButton option;
    option.initFrom(button);
    const auto area = qobject_cast<QCheckBox *>(control) ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents;
    const int room = button->style()->subElementRect(area, &option, button).width();
    return button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width() - room;
}

void CheckLayout(QWidget *window)
{
    const QList<QWidget *> controls = window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *control : controls) {
        const QString text = control->property("text").toString() + control->property("title").toString();
        QVERIFY2(window->rect().contains(control->geometry()), qPrintable(text));
        QVERIFY2(TextDeficit(control) <= 0, qPrintable(text));
        // Screen readers name every control by its label; texts and frames need no name.
        const bool named = qobject_cast<QLabel *>(control) || qobject_cast<QGroupBox *>(control);
        QVERIFY2(named || !control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        for (QWidget *other : controls)
            if (other != control && !qobject_cast<QGroupBox *>(control) && !qobject_cast<QGroupBox *>(other))
                QVERIFY2(!control->geometry().intersects(other->geometry()), qPrintable(text));
    }
}

} // namespace

class tst_CPrsOption : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitOptionsTests(); }

    void opensOnTheFirstPageEachTime()
    {
        SheetBench bench;
        QCOMPARE(bench.sheet.windowTitle(), QString("オプション"));
        QCOMPARE(bench.Tabs()->count(), 4);
        QCOMPARE(bench.Tabs()->tabText(0), QString("全般"));
        QCOMPARE(bench.Tabs()->tabText(1), QString("表示 1"));
        QCOMPARE(bench.Tabs()->tabText(2), QString("表示 2"));
        QCOMPARE(bench.Tabs()->tabText(3), QString("拡張"));
        QVERIFY(!bench.Button(QDialogButtonBox::Help));
        for (int showing = 0; showing < 2; ++showing) {
            bench.Open();
            QVERIFY(bench.sheet.IsShown());
            QCOMPARE(bench.Tabs()->currentIndex(), 0);
            QCOMPARE(bench.sheet.focusWidget(), bench.Find("cbInterface"));
            QVERIFY(!bench.ApplyEnabled());
            bench.GoToPage(2);
            bench.Cancel();
            QVERIFY(!bench.sheet.IsShown());
        }
    }

    void pagesApplyAndSignalInOrder_data()
    {
        QTest::addColumn<int>("changes");
        QTest::addColumn<bool>("viaApply");
        QTest::addColumn<QList<int>>("signalled");
        QTest::newRow("OK, all three") << (General | Display1 | Display2) << false << QList<int> {1, 2, 3};
        QTest::newRow("Apply, all three") << (General | Display1 | Display2) << true << QList<int> {1, 2, 3};
        QTest::newRow("OK, Display 1 and 2") << (Display1 | Display2) << false << QList<int> {2, 3};
        QTest::newRow("Apply, General") << int(General) << true << QList<int> {1};
        QTest::newRow("OK, nothing changed") << 0 << false << QList<int> {};
    }
    void pagesApplyAndSignalInOrder()
    {
        QFETCH(int, changes);
        QFETCH(bool, viaApply);
        QFETCH(QList<int>, signalled);
        SheetBench bench;
        bench.Open();
        ChangePages(bench, changes);
        QCOMPARE(bench.ApplyEnabled(), changes != 0);
        viaApply ? bench.Apply() : bench.Ok();
        QCOMPARE(bench.Signalled(), signalled);
        QCOMPARE(bench.sheet.IsShown(), viaApply);
        QVERIFY(!bench.ApplyEnabled());
        const auto disk = bench.Disk();
        QCOMPARE(disk->m_CntBase.GetDisplayWait(), changes & General ? 700 : 500);
        QCOMPARE(disk->m_CntData[2].GetEnable(), changes & Display1 ? 1 : 0);
        QCOMPARE(disk->m_CntBase.GetGridSizeH(), changes & Display2 ? 5 : 1);
    }

    void onlyPagesVisitedInThisShowingApply()
    {
        SheetBench bench;
        bench.Open(1);
        bench.Find<QCheckBox>("chkShow3")->click();
        bench.Ok();
        // Display 1 stays modified for the run; a showing that skips it leaves it alone,
        // one that visits it re-applies without a change and signals again.
        theSetSystem.m_CntData[4].SetWidth(7);
        const std::string before = bench.IniText();
        bench.Open();
        bench.Ok();
        QCOMPARE(bench.IniText(), before);
        bench.Open(1);
        bench.Ok();
        QCOMPARE(bench.Signalled(), (QList<int> {2, 2}));
        QCOMPARE(bench.Disk()->m_CntData[4].GetWidth(), 7);
    }

    void firstRefusalStopsTheApply()
    {
        SheetBench bench;
        bench.Open();
        ChangePages(bench, Display1 | Display2);
        bench.GoToPage(0);
        bench.Find<QLineEdit>("editInterval")->setText("49");
        bench.GoToPage(2);
        const std::string before = bench.IniText();
        bench.Ok();
        QCOMPARE(bench.messages, QStringList {"50 から 3000 までの値を入力してください。"});
        QVERIFY(bench.sheet.IsShown());
        QCOMPARE(bench.Tabs()->currentIndex(), 2);
        bench.Cancel();
        QVERIFY(!bench.sheet.IsShown());
        QVERIFY(bench.applied.isEmpty());
        QCOMPARE(bench.IniText(), before);
    }

    void cancelDropsWhatWasNotApplied()
    {
        SheetBench bench;
        bench.Open();
        bench.Find<QLineEdit>("editInterval")->setText("700");
        bench.Apply();
        bench.Find<QLineEdit>("editInterval")->setText("800");
        ChangePages(bench, Display1);
        bench.customColors = CustomColors {};
        bench.chooseColor = MakeRgb(1, 1, 1);
        bench.Click("btnColor1");
        bench.Cancel();
        QCOMPARE(bench.Signalled(), QList<int> {1});
        const auto disk = bench.Disk();
        QCOMPARE(disk->m_CntBase.GetDisplayWait(), 700);
        QCOMPARE(disk->m_CntData[0].GetColor(), MakeRgb(255, 0, 0));
        QCOMPARE(disk->m_CntData[2].GetEnable(), 0);
        // The custom colours were kept the moment a colour was picked.
        QCOMPARE(disk->m_ColorDlg.GetCustomColor(7), ColorRef(0));
        bench.Open(1);
        QVERIFY(!bench.Find<QCheckBox>("chkShow3")->isChecked());
        QCOMPARE(bench.Find<QLineEdit>("editInterval")->text(), QString("700"));
        // A text read when the page was left comes back as the number read.
        bench.Find<QLineEdit>("editInterval")->setText(" 800 ");
        bench.GoToPage(0);
        QCOMPARE(bench.Find<QLineEdit>("editInterval")->text(), QString("800"));
    }

    // The extension section is not in the file until one of its options changes; then
    // Apply or OK writes the keys that changed and no others.
    void extensionWritesOnlyChangedKeysOnApply()
    {
        SheetBench bench;
        const std::string before = bench.IniText();
        // What the file has gained since, the store's blank line before a new section aside.
        const auto added = [&] {
            const std::string now = bench.IniText();
            return now.compare(0, before.size(), before) == 0 ? now.substr(now.find_first_not_of('\n', before.size()))
                                                               : now;
        };
        QVERIFY(before.find("[CORVALA_EXTRA]") == std::string::npos);
        bench.Open(3);
        QTest::keyClick(bench.Find("cbRATE_UNIT"), Qt::Key_Down);
        bench.Click("chkTRAY_TIP");
        bench.Click("chkTOTALS");
        bench.Find<QLineEdit>("editCAP_MIB")->setText("16777216");
        QVERIFY(bench.ApplyEnabled());
        QCOMPARE(bench.IniText(), before);
        bench.Apply();
        QCOMPARE(bench.messages, QStringList {"0 から 16777215 までの値を入力してください。"});
        QCOMPARE(bench.IniText(), before);
        bench.Find<QLineEdit>("editCAP_MIB")->setText("2048");
        bench.Apply();
        QCOMPARE(added(), std::string("[CORVALA_EXTRA]\nRATE_UNIT=1\nTRAY_TIP=1\nTOTALS=1\nCAP_MIB=2048\n"));
        QTest::keyClick(bench.Find("cbRATE_UNIT"), Qt::Key_Up);
        bench.Ok();
        QCOMPARE(added(), std::string("[CORVALA_EXTRA]\nRATE_UNIT=0\nTRAY_TIP=1\nTOTALS=1\nCAP_MIB=2048\n"));
        QCOMPARE(bench.Signalled(), (QList<int> {4, 4}));
        bench.Open(3);
        QVERIFY(bench.Find<QCheckBox>("chkTRAY_TIP")->isChecked());
        QVERIFY(bench.Find("cbCAP_DAY")->isEnabled());
        bench.Cancel();
    }

    void mainWindowCanCloseAShownSheet()
    {
        SheetBench bench;
        const std::string before = bench.IniText();
        bool shownInside = false;
        QTimer::singleShot(0, &bench.sheet, [&] {
            shownInside = bench.sheet.IsShown();
            bench.Find<QLineEdit>("editInterval")->setText("700");
            bench.sheet.DestroyWindow();
        });
        bench.sheet.DoModal();
        QVERIFY(shownInside);
        QVERIFY(!bench.sheet.IsShown() && !bench.sheet.isVisible());
        QVERIFY(bench.applied.isEmpty());
        QCOMPARE(bench.IniText(), before);
    }

    void tabGoesThroughStripPageAndButtons_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("General") << 0 << QStringList {"cbInterface", "editInterval"};
        QTest::newRow("Display 1, bytes") << 1 << QStringList {"radioType0", "chkShow1", "chkShow2", "chkShow3"};
        QTest::newRow("Display 2") << 2 << QStringList {"btnBack", "btnGridH", "btnGridV"};
        QTest::newRow("Extension, no totals")
            << 3 << QStringList {"cbRATE_UNIT", "cbRATE_BASE", "cbRATE_DECIMALS", "chkTRAY_TIP", "chkTRAY_ICON",
                                 "chkGRAPH_TIP", "chkGRAPH_SCALE", "cbSOURCE", "chkTOTALS"};
    }
    void tabGoesThroughStripPageAndButtons()
    {
        QFETCH(int, page);
        QFETCH(QStringList, order);
        SheetBench bench;
        bench.Open();
        bench.Find<QLineEdit>("editInterval")->setText("700"); // enables Apply
        bench.GoToPage(page);
        QWidget *strip = bench.Tabs()->tabBar();
        const QMap<QWidget *, QString> buttons {{bench.Button(QDialogButtonBox::Ok), "OK"},
                                                {bench.Button(QDialogButtonBox::Cancel), "Cancel"},
                                                {bench.Button(QDialogButtonBox::Apply), "Apply"}};
        bench.sheet.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&bench.sheet));
        strip->setFocus();
        QStringList visited;
        for (int i = 0; i < order.size() + 4; ++i) {
            QTest::keyClick(bench.sheet.focusWidget(), Qt::Key_Tab);
            QWidget *focus = bench.sheet.focusWidget();
            visited << (focus == strip ? "tabs" : buttons.value(focus, focus->objectName()));
        }
        QCOMPARE(visited, order + QStringList({"OK", "Cancel", "Apply", "tabs"}));
        bench.Cancel();
    }

    // Set CORVALA_SCREENSHOT_DIR to keep a picture of each page.
    void pagesShowEveryTextWhole()
    {
        SheetBench bench;
        bench.Open();
        const QString shots = qEnvironmentVariable("CORVALA_SCREENSHOT_DIR");
        for (int page = 0; page < bench.Tabs()->count(); ++page) {
            bench.GoToPage(page);
            QWidget *window = bench.Tabs()->currentWidget()->findChild<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
            QVERIFY(window && window->isVisible());
            QVERIFY(bench.Tabs()->currentWidget()->rect().contains(window->geometry()));
            CheckLayout(window);
            if (!shots.isEmpty())
                bench.sheet.grab().save(QDir(shots).filePath(QString("options-page-%1.png").arg(page + 1)));
        }
    }
};

QTEST_MAIN(tst_CPrsOption)
#include "tst_CPrsOption.moc"
