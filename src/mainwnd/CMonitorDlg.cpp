#include "CMonitorDlg.h"

#include "AppIcons.h"
#include "CAboutDlg.h"
#include "CHistogramCtrl.h"
#include "CPrsOption.h"
#include "CSetSystem.h"
#include "CommandIds.h"
#include "DialogUnits.h"
#include "EnumNetworkInterfaces.h"
#include "FramelessMover.h"
#include "IniPath.h"
#include "PlacementGeometry.h"
#include "Platform.h"
#include "TerminationSignals.h"
#include "TrayHosts.h"
#include "ValueText.h"
#include "WindowStates.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTimerEvent>

#include <algorithm>
#include <climits>

namespace {

static_assert(CHistogramModel::kSeriesCount == kCounterCount, "counter definition i is drawn as series i");

constexpr int kMinWidth = 240;
constexpr int kMinHeight = 80;
constexpr int kDisplayInterval = 50;      // ms: never longer than the shortest sampling pause
constexpr int kHuntMargin = 2 * kDisplayInterval;
constexpr int kTrayWatchInterval = 2000;  // ms
constexpr int kTooltipBytes = 127;
constexpr int kLabelFontSize = 80;        // tenths of a point

QString TooltipText(const std::string &appName)
{
    std::size_t cut = std::min<std::size_t>(appName.size(), kTooltipBytes);
    while (cut > 0 && cut < appName.size() && (static_cast<unsigned char>(appName[cut]) & 0xC0) == 0x80)
        --cut; // never split a UTF-8 character
    return QString::fromStdString(appName.substr(0, cut));
}

CSetCntData &CounterData(int index)
{
    return theSetSystem.m_CntData[static_cast<std::size_t>(index)];
}

// How long to look for samples: `pauses` sampling pauses, `extra` ms and a margin.
// Saturated, since a stored pause may be anything up to INT_MAX.
int HuntSpan(int pauses, int extra = 0)
{
    const std::int64_t wait = std::max(theSetSystem.m_CntBase.GetCounterWait(), 1);
    return static_cast<int>(std::min<std::int64_t>(pauses * wait + extra + kHuntMargin, INT_MAX));
}

} // namespace

CMonitorDlg::CMonitorDlg(QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint),
      m_Graph(new CHistogramCtrl(this)),
      m_hIcon(ProgramIcon()),
      m_dlgAbout(nullptr),
      m_menus(new CMonitorMenus(this)),
      m_signals(new TerminationSignals(this))
{
    new FramelessMover(this); // owned by this window, works through its events
    const DialogUnits units;
    setMinimumSize(kMinWidth, kMinHeight);
    resize(units.X(130), units.Y(50));
    setWindowIcon(m_hIcon);

    ChooseFirstInterface();
    CreateTrayIcon();
    m_rcClient = rect();
    m_Graph->setGeometry(m_rcClient);
    m_dlgAbout = new CAboutDlg(this);
    RestorePlacement();
    m_sampler.Start();
    ApplyGraphSettings(false);
    HuntForSamples(HuntSpan(2)); // the first come one pause after the build

    connect(m_menus, &CMonitorMenus::command, this, &CMonitorDlg::OnCommand);
    connect(m_dlgAbout, &QDialog::finished, this, &CMonitorDlg::OnAboutClosed);
    connect(m_menus->TrayMenu(), &QMenu::aboutToShow, this, &CMonitorDlg::ShowMenuState);
    connect(m_signals, &TerminationSignals::terminationRequested, this, &CMonitorDlg::OnTerminationRequested);
    // At logout the session may end the process without another word: keep the placement now.
    connect(qApp, &QGuiApplication::commitDataRequest, this, &CMonitorDlg::SaveWindowState);
}

CMonitorDlg::~CMonitorDlg()
{
    StopAndSave();
}

void CMonitorDlg::ChooseFirstInterface()
{
    if (!theSetSystem.m_CntBase.GetInsName().empty())
        return;
    std::vector<std::string> interfaces;
    if (EnumNetworkInterfaces(interfaces) < 1)
        return;
    theSetSystem.m_CntBase.SetInsName(interfaces.front().c_str());
    theSetSystem.m_CntBase.SetInsIndex(-1);
    theSetSystem.m_CntBase.SetType(0);
    const plat::ProfileBatch batch(GetIniPath()); // the sections below in one write
    for (int i = 0; i < kCounterCount; ++i) {
        CounterData(i).SetEnable(i < 2 ? 1 : 0);
        CounterData(i).Save(GetIniPath());
    }
    theSetSystem.m_CntBase.Save(GetIniPath());
}

// Made once a notification area is up (until then it is looked for on the tray watch);
// afterwards the toolkit follows trays that go and come back by itself.
void CMonitorDlg::CreateTrayIcon()
{
    if (!IsNotificationAreaPresent()) {
        m_trayWatchTimer.start(kTrayWatchInterval, this);
        return;
    }
    m_tray = new QSystemTrayIcon(::TrayIcon(), this);
    m_tray->setToolTip(TooltipText(GetAppName()));
    m_tray->setContextMenu(m_menus->TrayMenu());
    connect(m_tray, &QSystemTrayIcon::activated, this, &CMonitorDlg::OnTrayActivated);
    m_tray->show();
    UpdateMenus();
}

// The window always starts shown, at its stored normal position and size, and within
// reach of the screens attached now.
void CMonitorDlg::RestorePlacement()
{
    WndPlacement placement;
    if (theSetSystem.m_WndPos.GetPlacement(&placement)) {
        QList<QRect> screens;
        for (const QScreen *screen : QGuiApplication::screens())
            screens.append(screen->availableGeometry());
        const QScreen *primary = QGuiApplication::primaryScreen();
        QRect rect = NormalRectOf(placement);
        // The size the window can take, so that what is checked below is what is shown.
        rect.setSize(rect.size().expandedTo(minimumSize()).boundedTo(maximumSize()));
        if (primary)
            rect = KeepOnScreens(rect, screens, primary->availableGeometry());
        setGeometry(rect);
    }
    m_bTopMost = theSetSystem.m_WndPos.GetTopMost() != 0;
    PrepareWindowStates(this, m_bTopMost);
}

void CMonitorDlg::ApplyGraphSettings(bool resetHistory)
{
    const CSetCntBase &base = theSetSystem.m_CntBase;
    m_Graph->setUpdatesEnabled(false);
    m_Graph->SetGridVisible(1, 1);
    m_Graph->SetBackColor(base.GetBackColor());
    m_Graph->SetGridColor(base.GetGridColorH(), base.GetGridColorV());
    m_Graph->SetGridSize(base.GetGridSizeH(), base.GetGridSizeV());
    m_Graph->SetStepInterval(base.GetDisplayWait());
    m_Graph->SetRange(0, 0);
    const int type = base.GetType();
    for (int i = 0; i < kCounterCount; ++i) {
        const CSetCntData &counter = CounterData(i);
        const bool shown = counter.GetEnable() != 0 && IsCounterInGroup(i, type);
        m_Graph->SetSeries(i, counter.GetColor(), counter.GetWidth(), counter.GetCntName().c_str(), kDialogFontFace,
                           kLabelFontSize, shown ? 1 : 0);
    }
    if (resetHistory)
        m_Graph->ClearHistory(-1);
    m_Graph->update();
    m_Graph->setUpdatesEnabled(true);
}

void CMonitorDlg::OnOptionsApplied(int page)
{
    if (page == kPageGeneral || page == kPageDisplay1) {
        m_sampler.RequestRebuild();
        // The rebuilt query's first samples come a pause after the current pause ends.
        HuntForSamples(HuntSpan(3));
        ApplyGraphSettings(true);
    } else {
        ApplyGraphSettings(false);
    }
}

bool CMonitorDlg::DrainSamples()
{
    m_sampler.TakeSamples(m_samples);
    if (m_samples.empty())
        return false;
    for (const CounterSample &sample : m_samples) {
        if (sample.m_nIndex < 0 || sample.m_nIndex >= kCounterCount)
            continue;
        const CSetCntData &counter = CounterData(sample.m_nIndex);
        std::int64_t value = 0;
        if (!counter.GetEnable() || !SampleToValue(sample, value))
            continue;
        m_Graph->AddValue(sample.m_nIndex, CHistogramModel::ClampToInt32(value));
        m_Graph->SetValueText(sample.m_nIndex, 0, "%s", FormatValueText(value, counter.GetUnitName()).c_str());
    }
    m_samples.clear();
    return true;
}

// Samples come in one batch per sampling pause. After a batch the timer sleeps until just
// before the next is due and then looks every 50 ms until it comes, so a value reaches the
// graph as soon as with a timer that never stops, at a fraction of the wake-ups. When no
// batch comes for a whole pause (interface gone, phase shifted), it sleeps and looks again.
void CMonitorDlg::OnDisplayTimer()
{
    const int wait = std::max(theSetSystem.m_CntBase.GetCounterWait(), 1);
    const int sleep = std::max(wait - kDisplayInterval, kDisplayInterval);
    if (DrainSamples()) {
        m_displayTimer.start(sleep, this);
        m_huntClock.start();
        m_nHuntFor = HuntSpan(1, sleep);
    } else if (m_huntClock.elapsed() < m_nHuntFor) {
        m_displayTimer.start(kDisplayInterval, this);
    } else {
        m_displayTimer.start(sleep, this);
        m_huntClock.start();
        m_nHuntFor = HuntSpan(1, sleep);
    }
}

void CMonitorDlg::HuntForSamples(int milliseconds)
{
    m_huntClock.start();
    m_nHuntFor = milliseconds;
    m_displayTimer.start(kDisplayInterval, this);
}

void CMonitorDlg::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_displayTimer.timerId()) {
        OnDisplayTimer();
    } else if (event->timerId() == m_trayWatchTimer.timerId()) {
        OnTrayWatch();
    } else {
        QDialog::timerEvent(event);
    }
}

void CMonitorDlg::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    m_rcClient = rect();
    m_Graph->setGeometry(m_rcClient);
}

void CMonitorDlg::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        activateWindow();
        ShowMenuState();
        m_menus->WindowMenu()->exec(event->globalPosition().toPoint());
    }
    QDialog::mousePressEvent(event);
}

// A minimise request from the window manager hides the window, as the command does; not
// while the About box or the options sheet is up, whose minimise the manager passes on to
// this window too.
void CMonitorDlg::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized)) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        if (CanHide() && !HasDialogShown())
            Minimize();
    }
}

bool CMonitorDlg::nativeEvent(const QByteArray &eventType, void *message, qintptr *result)
{
    return HandleNativeMessage(this, message, result) || QDialog::nativeEvent(eventType, message, result);
}

void CMonitorDlg::accept()
{
}

void CMonitorDlg::reject()
{
}

void CMonitorDlg::OnCommand(int id)
{
    switch (id) {
    case ID_TOPMOST:
        ToggleTopMost();
        break;
    case ID_RESTORE:
        Restore();
        break;
    case ID_MINIMIZE:
        Minimize();
        break;
    case ID_OPTIONS:
        ShowOptions();
        break;
    case ID_ABOUT:
        ShowAbout();
        break;
    case ID_APP_EXIT:
        Exit();
        break;
    default:
        break;
    }
}

bool CMonitorDlg::HasDialogShown() const
{
    return m_dlgAbout->isVisible() || (m_sheetOption && m_sheetOption->IsShown());
}

// Hiding needs a notification area to come back from; without one the window stays shown.
bool CMonitorDlg::CanHide() const
{
    return m_tray && QSystemTrayIcon::isSystemTrayAvailable();
}

void CMonitorDlg::OnTrayWatch()
{
    if (!m_tray) {
        CreateTrayIcon();
        if (m_tray)
            m_trayWatchTimer.stop();
    } else if (m_bHidden && !CanHide()) {
        Restore(); // the notification area went away: the window must stay reachable
    }
}

void CMonitorDlg::Minimize()
{
    if (!CanHide())
        return;
    HideInPlace();
    m_bHidden = true;
    m_trayWatchTimer.start(kTrayWatchInterval, this);
    UpdateMenus();
}

void CMonitorDlg::Restore()
{
    m_bHidden = false;
    if (m_tray)
        m_trayWatchTimer.stop();
    UpdateMenus();
    if (!isVisible())
        PrepareWindowStates(this, m_bTopMost);
    show();
    raise();
    if (!HasDialogShown()) // the window takes no focus under its own dialogs
        activateWindow();
    KeepAboutBoxInFront();
}

void CMonitorDlg::ToggleTopMost()
{
    m_bTopMost = !m_bTopMost;
    if (isVisible())
        SetStaysOnTop(this, m_bTopMost);
    UpdateMenus();
    KeepAboutBoxInFront();
}

// A shown About box stays in front of this window, also when this window enters the topmost
// band or is shown again after hiding.
void CMonitorDlg::KeepAboutBoxInFront()
{
    if (!m_dlgAbout->isVisible())
        return;
    SetStaysOnTop(m_dlgAbout, m_bTopMost);
    m_dlgAbout->raise();
}

// Built at the first options command, not with the window: most runs never open it, and
// its widgets would cost a few MiB of memory for the whole run.
CPrsOption &CMonitorDlg::OptionSheet()
{
    if (!m_sheetOption) {
        m_sheetOption = new CPrsOption(this);
        m_sheetOption->SetInterfaceSource([](std::vector<std::string> &list) { return EnumNetworkInterfaces(list); });
        connect(m_sheetOption, &CPrsOption::optionsApplied, this, &CMonitorDlg::OnOptionsApplied);
    }
    return *m_sheetOption;
}

void CMonitorDlg::ShowOptions()
{
    CPrsOption &sheet = OptionSheet();
    if (sheet.IsShown())
        return;
    PrepareWindowStates(&sheet, m_bTopMost);
    sheet.setEnabled(true); // disabled with this window while the About box is up
    SetFocusRefused(this, true);
    sheet.DoModal();
    SetFocusRefused(this, m_dlgAbout->isVisible());
}

void CMonitorDlg::ShowAbout()
{
    if (!m_dlgAbout->isVisible())
        PrepareWindowStates(m_dlgAbout, m_bTopMost);
    SetFocusRefused(this, true);
    m_dlgAbout->ShowOver();
}

void CMonitorDlg::OnAboutClosed()
{
    SetFocusRefused(this, m_sheetOption && m_sheetOption->IsShown());
}

void CMonitorDlg::Exit()
{
    // From the tray the command may come while the sheet runs its own loop: that loop ends
    // first, so that this window's run can end too.
    if (m_sheetOption)
        m_sheetOption->DestroyWindow();
    HideInPlace();
    QDialog::accept();
}

// The double click restores; where the host draws the icon and sends only an activation for
// a primary click, that activation restores.
void CMonitorDlg::OnTrayActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick
        || (reason == QSystemTrayIcon::Trigger && IsTrayIconDrawnByHost(*m_tray)))
        Restore();
}

void CMonitorDlg::ShowMenuState()
{
    if (isVisible() && !HasDialogShown())
        activateWindow();
    UpdateMenus();
}

// Also on every change: a StatusNotifier host may show the exported menu without asking first.
void CMonitorDlg::UpdateMenus()
{
    m_menus->Update(MenuState {m_bTopMost, m_bHidden, CanHide()});
}

void CMonitorDlg::OnTerminationRequested()
{
    StopAndSave();
    QCoreApplication::exit(0); // also ends any dialog running inside this one
}

void CMonitorDlg::StopAndSave()
{
    if (m_bStopped)
        return;
    m_bStopped = true;
    m_displayTimer.stop();
    m_sampler.Stop();
    if (m_tray)
        m_tray->hide();
    m_dlgAbout->hide();
    if (m_sheetOption)
        m_sheetOption->DestroyWindow();
    SaveWindowState();
}

// Where the user sees the window: after the window manager moved it, the toolkit's idea of
// the place may be wrong (Weston's notices are), while the window system knows.
QRect CMonitorDlg::ShownGeometry()
{
    QRect rect = geometry();
    QPoint position;
    if (NativeWindowPosition(this, position))
        rect.moveTopLeft(position);
    return rect;
}

// Hides the window and keeps the place where it was seen, to show it there again and to
// store that place.
void CMonitorDlg::HideInPlace()
{
    m_rcShown = ShownGeometry();
    hide();
    move(m_rcShown.topLeft());
}

void CMonitorDlg::SaveWindowState()
{
    theSetSystem.m_WndPos.SetTopMost(m_bTopMost ? 1 : 0);
    const QRect rect = isVisible() || !m_rcShown.isValid() ? ShownGeometry() : m_rcShown;
    const WndPlacement placement = PlacementOf(rect);
    theSetSystem.m_WndPos.SetPlacement(&placement);
    theSetSystem.m_WndPos.Save(GetIniPath());
}
