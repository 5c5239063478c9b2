#include "CAboutDlg.h"
#include "CHistogramCtrl.h"
#include "CMonitorDlg.h"
#include "CPrsOption.h"
#include "CSetSystem.h"
#include "CommandIds.h"
#include "EnumNetworkInterfaces.h"
#include "FontSetup.h"
#include "IniPath.h"
#include "TempDir.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include <climits>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>

namespace {

CounterSample Large(int index, std::int64_t value)
{
    plat::FmtCounterValue fmt {};
    fmt.largeValue = value;
    return CounterSample::Make(index, plat::PDH_FMT_LARGE, fmt);
}

CounterSample Double(int index, double value)
{
    plat::FmtCounterValue fmt {};
    fmt.doubleValue = value;
    return CounterSample::Make(index, plat::PDH_FMT_DOUBLE, fmt);
}

std::int32_t Newest(const CHistogramCtrl &graph, int index)
{
    const auto &history = graph.Model().GetHistory(index);
    return history.Empty() ? INT_MIN : history.Newest();
}

bool FileHas(const std::string &path, const std::string &text)
{
    return ReadFile(path).find(text) != std::string::npos;
}

} // namespace

class tst_CMonitorDlg : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutions(); }
    void init();
    void cleanup();

    void firstStartPicksTheFirstInterfaceAndTwoCounters();
    void storedChoiceIsKept();
    void feederFeedsEnabledCountersOnly();
    void hugeRatesShowAsTheGraphsCeiling();
    void extremeStoredValuesLeaveTheWindowWorking();
    void endOfSamplingBringsValuesToZero();
    void packetTypeShowsOnlyPacketSeries();
    void optionsAppliedRebuildsOrKeepsHistory();
    void topMostTogglesAndMenusFollow();
    void minimiseWithoutNotificationAreaKeepsWindowShown();
    void enterEscapeAndCloseDoNothing();
    void shiftF10AndTheMenuKeyOpenTheWindowMenuAtTheWindow();
    void aboutBoxDisablesTheWindowWhileShown();
    void exitEndsTheRunAndStoresPlacement();
    void totalsComeAndGoWithTheOption();

private:
    std::unique_ptr<CMonitorDlg> Open();
    std::unique_ptr<TempDir> m_dir;
    std::string m_ini;
};

void tst_CMonitorDlg::init()
{
    m_dir = std::make_unique<TempDir>();
    m_ini = m_dir->File("corvala.ini");
    SetIniPath(m_ini);
    // A long pause keeps the sampling thread out of the way between its build and its end.
    WriteFile(m_ini, "[TIME]\nCOUNTER_WAIT=60000\n");
}

void tst_CMonitorDlg::cleanup()
{
    m_dir.reset();
}

std::unique_ptr<CMonitorDlg> tst_CMonitorDlg::Open()
{
    theSetSystem.Load(m_ini);
    auto dlg = std::make_unique<CMonitorDlg>();
    dlg->show(); // the graph draws, and so steps, only once it has a size
    return dlg;
}

void tst_CMonitorDlg::firstStartPicksTheFirstInterfaceAndTwoCounters()
{
    std::vector<std::string> interfaces;
    QVERIFY(EnumNetworkInterfaces(interfaces) > 0);
    auto dlg = Open();
    QCOMPARE(theSetSystem.m_CntBase.GetInsName(), interfaces.front());
    QVERIFY(FileHas(m_ini, "INS_NAME=\"" + interfaces.front() + "\""));
    QVERIFY(FileHas(m_ini, "[CNTDATA_1]\nENABLE=1\n"));
    QVERIFY(FileHas(m_ini, "[CNTDATA_2]\nENABLE=1\n"));
    for (int n = 3; n <= 10; ++n)
        QVERIFY(FileHas(m_ini, "[CNTDATA_" + std::to_string(n) + "]\nENABLE=0\n"));
    const CHistogramCtrl &graph = dlg->Graph();
    QCOMPARE(graph.Label(0), QStringLiteral("Bytes Received/sec"));
    QVERIFY(graph.Model().IsEnabled(0) && graph.Model().IsEnabled(1));
    QVERIFY(!graph.Model().IsEnabled(2));
    QVERIFY(dlg->minimumSize() == QSize(240, 80));
}

void tst_CMonitorDlg::storedChoiceIsKept()
{
    WriteFile(m_ini, "[TIME]\nCOUNTER_WAIT=60000\n[CNTBASE]\nINS_NAME=\"nosuch0\"\n[CNTDATA_3]\nENABLE=1\n");
    auto dlg = Open();
    QCOMPARE(theSetSystem.m_CntBase.GetInsName(), std::string("nosuch0"));
    QVERIFY(FileHas(m_ini, "[CNTDATA_3]\nENABLE=1\n"));
    QVERIFY(FileHas(m_ini, "[CNTDATA_1]\nENABLE=0\n"));
    QVERIFY(dlg->Graph().Model().IsEnabled(2));
}

void tst_CMonitorDlg::feederFeedsEnabledCountersOnly()
{
    auto dlg = Open();
    dlg->Sampler().Stop();
    dlg->Feeder().DrainSamples(); // the ten zero samples of the stop
    CHistogramCtrl &graph = dlg->Graph();
    graph.ClearHistory(-1);

    CCounterSampler &exchange = dlg->Sampler();
    exchange.AppendSample(Large(0, 1000));
    exchange.AppendSample(Large(0, 2072)); // two in one drain: both averaged, the last one's text stands
    exchange.AppendSample(Double(1, 1023.9));
    exchange.AppendSample(Large(2, 777)); // counter 3 is not enabled
    exchange.AppendSample(Large(12, 5));  // no such counter
    CounterSample odd = Large(1, 99);
    odd.m_nFormat = 0x800; // no such format
    exchange.AppendSample(odd);
    dlg->Feeder().DrainSamples();

    QCOMPARE(graph.ValueText(0), QStringLiteral("2.023 KB/s"));
    QCOMPARE(graph.ValueText(1), QStringLiteral("1023 B/s"));
    QCOMPARE(graph.ValueText(2), QString());
    // Each step averages what arrived with the value carried from the step before: the 0
    // that ended the sampling.
    graph.Step();
    QCOMPARE(Newest(graph, 0), (0 + 1000 + 2072) / 3);
    QCOMPARE(Newest(graph, 1), (0 + 1023) / 2);

    // A drain of an empty queue changes nothing.
    dlg->Feeder().DrainSamples();
    QCOMPARE(graph.ValueText(0), QStringLiteral("2.023 KB/s"));

    // What a screen reader finds: the window by the program's name, the shown series' texts
    // as the graph's description (within a second).
    QCOMPARE(dlg->accessibleName(), QString::fromStdString(GetAppName()));
    QTRY_COMPARE(graph.accessibleDescription(),
                 QStringLiteral("Bytes Received/sec 2.023 KB/s\nBytes Sent/sec 1023 B/s"));
}

// Rates of 2 GiB/s and more used to reach the graph as their low 32 bits.
void tst_CMonitorDlg::hugeRatesShowAsTheGraphsCeiling()
{
    auto dlg = Open();
    dlg->Sampler().Stop();
    dlg->Feeder().DrainSamples();
    CHistogramCtrl &graph = dlg->Graph();
    dlg->Sampler().AppendSample(Large(0, 5'000'000'000));
    dlg->Sampler().AppendSample(Large(1, 4'294'967'296 + 10)); // low bits alone would read 10
    dlg->Feeder().DrainSamples();
    graph.Step();
    graph.Step(); // past the carried 0
    QCOMPARE(Newest(graph, 0), INT_MAX);
    QCOMPARE(Newest(graph, 1), INT_MAX);
    QCOMPARE(graph.ValueText(0), QStringLiteral("4768.371 MB/s"));
    QVERIFY(graph.Model().GetMaximum() > 0);
}

// Stored values at the ends of their type; the sanitizer build also checks that none of them
// overflows on the way.
void tst_CMonitorDlg::extremeStoredValuesLeaveTheWindowWorking()
{
    WriteFile(m_ini, "[TIME]\nCOUNTER_WAIT=2147483647\n[CNTBASE]\nINS_NAME=\"lo\"\n[CNTDATA_1]\nENABLE=1\n"
                     "[RECENT_WNDPOS]\nMAIN_NML_L=-2147483648\nMAIN_NML_T=-2147483648\n"
                     "MAIN_NML_R=2147483647\nMAIN_NML_B=2147483647\n");
    auto dlg = Open();
    QVERIFY(dlg->geometry().intersects(QGuiApplication::primaryScreen()->availableGeometry()));
    dlg->Feeder().OnOptionsApplied(1);
    dlg->Sampler().AppendSample(Large(0, 1024));
    QTRY_COMPARE_WITH_TIMEOUT(dlg->Graph().ValueText(0), QStringLiteral("1.000 KB/s"), 5000);
}

void tst_CMonitorDlg::endOfSamplingBringsValuesToZero()
{
    auto dlg = Open();
    dlg->Sampler().AppendSample(Large(0, 4096));
    dlg->Sampler().AppendSample(Large(1, 4096));
    dlg->Feeder().DrainSamples();
    QCOMPARE(dlg->Graph().ValueText(1), QStringLiteral("4.000 KB/s"));
    dlg->Sampler().Stop();
    dlg->Feeder().DrainSamples();
    QCOMPARE(dlg->Graph().ValueText(0), QStringLiteral("0 B/s"));
    QCOMPARE(dlg->Graph().ValueText(1), QStringLiteral("0 B/s"));
}

void tst_CMonitorDlg::packetTypeShowsOnlyPacketSeries()
{
    WriteFile(m_ini, "[TIME]\nCOUNTER_WAIT=60000\n[CNTBASE]\nTYPE=1\nINS_NAME=\"lo\"\n"
                     "[CNTDATA_1]\nENABLE=1\n[CNTDATA_4]\nENABLE=1\n[CNTDATA_10]\nENABLE=1\n");
    auto dlg = Open();
    const CHistogramModel &model = dlg->Graph().Model();
    QList<int> shown;
    for (int i = 0; i < kCounterCount; ++i)
        if (model.IsEnabled(i))
            shown << i;
    QCOMPARE(shown, (QList<int> {3, 9}));
}

void tst_CMonitorDlg::optionsAppliedRebuildsOrKeepsHistory()
{
    auto dlg = Open();
    dlg->Sampler().Stop(); // nobody consumes the rebuild request behind the test's back
    CHistogramCtrl &graph = dlg->Graph();
    auto fillHistory = [&graph] {
        graph.AddValue(0, 5);
        graph.Step();
        graph.Step();
    };

    fillHistory();
    dlg->Feeder().OnOptionsApplied(3);
    QVERIFY(!graph.Model().GetHistory(0).Empty());
    QVERIFY(!dlg->Sampler().GetRebuildFlag());

    for (int page : {1, 2}) {
        fillHistory();
        dlg->Sampler().SetRebuildFlag(false);
        dlg->Feeder().OnOptionsApplied(page);
        QVERIFY(graph.Model().GetHistory(0).Empty());
        QVERIFY(dlg->Sampler().GetRebuildFlag());
    }

    // The graph takes what the pages stored.
    theSetSystem.m_CntBase.SetGridSizeH(10);
    theSetSystem.m_CntBase.SetGridSizeV(8);
    theSetSystem.m_CntData[0].SetEnable(0);
    dlg->Feeder().OnOptionsApplied(2);
    QCOMPARE(graph.Model().GetXStep(), 10);
    QCOMPARE(graph.Model().GetYStep(), 8);
    QVERIFY(!graph.Model().IsEnabled(0));
}

void tst_CMonitorDlg::topMostTogglesAndMenusFollow()
{
    auto dlg = Open();
    QVERIFY(!dlg->IsTopMost());
    auto checked = [&dlg](QMenu *menu) {
        emit menu->aboutToShow();
        return menu->actions().front()->isChecked();
    };
    dlg->OnCommand(ID_TOPMOST);
    QVERIFY(dlg->IsTopMost());
    QVERIFY(checked(dlg->Menus().TrayMenu()));
    // Off X11 the toolkit's hint carries the band, and the window stays shown.
    QVERIFY(dlg->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(dlg->isVisible());
    dlg->OnCommand(ID_TOPMOST);
    QVERIFY(!dlg->IsTopMost());
    QVERIFY(!checked(dlg->Menus().TrayMenu()));
    QVERIFY(!(dlg->windowFlags() & Qt::WindowStaysOnTopHint));
}

void tst_CMonitorDlg::minimiseWithoutNotificationAreaKeepsWindowShown()
{
    if (QSystemTrayIcon::isSystemTrayAvailable())
        QSKIP("this platform has a notification area");
    auto dlg = Open();
    dlg->OnCommand(ID_MINIMIZE);
    QVERIFY(dlg->isVisible());
    QVERIFY(!dlg->IsHiddenToTray());
    emit dlg->Menus().TrayMenu()->aboutToShow();
    for (QAction *action : dlg->Menus().WindowMenu()->actions())
        if (action->data().toInt() == ID_MINIMIZE)
            QVERIFY(!action->isEnabled());
}

void tst_CMonitorDlg::enterEscapeAndCloseDoNothing()
{
    auto dlg = Open();
    QSignalSpy finished(dlg.get(), &QDialog::finished);
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    QTest::keyClick(dlg.get(), Qt::Key_Return);
    dlg->close();
    QVERIFY(dlg->isVisible());
    QCOMPARE(finished.count(), 0);
}

void tst_CMonitorDlg::shiftF10AndTheMenuKeyOpenTheWindowMenuAtTheWindow()
{
    auto dlg = Open();
    dlg->move(100, 120);
    QMenu *menu = dlg->Menus().WindowMenu();
    for (const auto &[key, modifiers] : {std::pair {Qt::Key_F10, Qt::ShiftModifier}, {Qt::Key_Menu, Qt::NoModifier}}) {
        std::optional<QPoint> shownAt;
        QTimer inMenu; // runs only inside the menu's own loop
        inMenu.setSingleShot(true);
        connect(&inMenu, &QTimer::timeout, menu, [&] {
            if (menu->isVisible())
                shownAt = menu->pos();
            menu->close();
        });
        inMenu.start(0);
        QTest::keyClick(dlg.get(), key, modifiers);
        QCOMPARE(shownAt, std::optional(dlg->mapToGlobal(QPoint(0, 0))));
    }
}

void tst_CMonitorDlg::aboutBoxDisablesTheWindowWhileShown()
{
    auto dlg = Open();
    dlg->OnCommand(ID_ABOUT);
    QVERIFY(dlg->AboutDlg().isVisible());
    QVERIFY(!dlg->isEnabled());
    dlg->OnCommand(ID_ABOUT); // again while shown: still one box, window still disabled
    QVERIFY(!dlg->isEnabled());
    dlg->AboutDlg().reject();
    QVERIFY(dlg->isEnabled());
    QVERIFY(!dlg->AboutDlg().isVisible());
}

void tst_CMonitorDlg::exitEndsTheRunAndStoresPlacement()
{
    auto dlg = Open();
    dlg->setGeometry(321, 123, 300, 90);
    dlg->OnCommand(ID_TOPMOST);
    QSignalSpy finished(dlg.get(), &QDialog::finished);
    dlg->OnCommand(ID_APP_EXIT);
    QCOMPARE(finished.count(), 1);
    QVERIFY(!FileHas(m_ini, "MAIN_NML_L=321")); // stored when the window goes away
    dlg.reset();
    QVERIFY(FileHas(m_ini, "MAIN_NML_L=321\nMAIN_NML_T=123\nMAIN_NML_R=621\nMAIN_NML_B=213\nTOP_MOST=1\n"));
    QVERIFY(FileHas(m_ini, "MAIN_SHOW=1\n"));
}

QTEST_MAIN(tst_CMonitorDlg)
// No database while off; applied on, a totals line in the menu; applied off, the menu as before.
void tst_CMonitorDlg::totalsComeAndGoWithTheOption()
{
    auto dlg = Open();
    const qsizetype entries = dlg->Menus().TrayMenu()->actions().size();
    QVERIFY(!std::filesystem::exists(m_dir->File("corvala.db")));
    for (const int totals : {1, 0}) {
        theSetSystem.m_Extra.SetTotals(totals);
        emit dlg->OptionSheet().optionsApplied(kPageExtension);
        QCOMPARE(dlg->Menus().TrayMenu()->actions().size(), entries + totals);
    }
    QVERIFY(std::filesystem::exists(m_dir->File("corvala.db")));
}

#include "tst_CMonitorDlg.moc"
