#include "CMonitorDlg.h"

#include "AppIcons.h"
#include "CAboutDlg.h"
#include "CHistogramCtrl.h"
#include "COptionPage.h"
#include "CProcessEnd.h"
#include "CPrsOption.h"
#include "CReadoutPublisher.h"
#include "CSetSystem.h"
#include "CTotalsKeeper.h"
#include "CTrayPresence.h"
#include "CommandIds.h"
#include "DialogUnits.h"
#include "EnumNetworkInterfaces.h"
#include "FramelessMover.h"
#include "IniPath.h"
#include "PlacementGeometry.h"
#include "ScreenPixels.h"
#include "WindowMenuKeys.h"
#include "WindowStates.h"

#include <QGuiApplication>
#include <QMenu>

#include <utility>

namespace {
constexpr int kMinWidth = 240;
constexpr int kMinHeight = 80;
} // namespace

CMonitorDlg::CMonitorDlg(QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint),
      m_Graph(new CHistogramCtrl(this)),
      m_hIcon(ProgramIcon()),
      m_feeder(new CGraphFeeder(*m_Graph, this)),
      m_menus(new CMonitorMenus(this)),
      m_end(new CProcessEnd(this))
{
    new FramelessMover(this); // owned by this window, works through its events
    connect(new WindowMenuKeys(this), &WindowMenuKeys::menuRequested, this, [this](const QPoint &at) {
        ShowMenuState();
        m_menus->WindowMenu()->exec(at);
    });
    const DialogUnits units;
    setMinimumSize(kMinWidth, kMinHeight);
    resize(units.X(130), units.Y(50));
    setWindowIcon(m_hIcon);
    setAccessibleName(QString::fromLocal8Bit(GetAppName()));

    ChooseFirstInterface(theSetSystem, GetIniPath());
    m_tray = new CTrayPresence(m_menus->TrayMenu(), this);
    m_rcClient = rect();
    m_Graph->setGeometry(m_rcClient);
    m_dlgAbout = new CAboutDlg(this);
    RestorePlacement();
    Sampler().Start();
    m_feeder->ApplyGraphSettings(false);
    m_publisher = new CReadoutPublisher(this, *m_feeder, *m_Graph, *m_tray);
    CTotalsKeeper::Follow(m_totals, *m_tray, this);
    UpdateMenus();

    connect(m_tray, &CTrayPresence::iconShown, this, &CMonitorDlg::UpdateMenus);
    connect(m_tray, &CTrayPresence::restoreRequested, this, &CMonitorDlg::Restore);
    connect(m_menus, &CMonitorMenus::command, this, &CMonitorDlg::OnCommand);
    connect(m_dlgAbout, &QDialog::finished, this,
            [this] { SetFocusRefused(this, m_sheetOption && m_sheetOption->IsShown()); });
    connect(m_menus->TrayMenu(), &QMenu::aboutToShow, this, &CMonitorDlg::ShowMenuState);
    connect(m_end, &CProcessEnd::endRequested, this, [this] {
        StopAndSave();
        QCoreApplication::exit(0); // also ends any dialog running inside this one
    });
    connect(m_end, &CProcessEnd::exiting, this, &CMonitorDlg::SaveAtExit);
    // At logout the session may end the process without another word: keep the placement now.
    connect(qApp, &QGuiApplication::commitDataRequest, this, &CMonitorDlg::SaveWindowState);
}

CMonitorDlg::~CMonitorDlg()
{
    StopAndSave();
}

// The window always starts shown, at its stored normal position and size, and within
// reach of the screens attached now.
void CMonitorDlg::RestorePlacement()
{
    WndPlacement placement;
    if (theSetSystem.m_WndPos.GetPlacement(&placement))
        setGeometry(RestoredGeometry(placement, minimumSize(), maximumSize()));
    m_bTopMost = theSetSystem.m_WndPos.GetTopMost() != 0;
    PrepareWindowStates(this, m_bTopMost);
}

void CMonitorDlg::moveEvent(QMoveEvent *event)
{
    QDialog::moveEvent(event);
    if (isVisible())
        m_rcShown = ShownGeometry(this);
}

void CMonitorDlg::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    m_rcClient = rect();
    m_Graph->setGeometry(m_rcClient);
    if (isVisible())
        m_rcShown = ShownGeometry(this);
}

// A minimise request from the window manager hides the window, as the command does; not
// while the About box or the options sheet is up, whose minimise the manager passes on to
// this window too.
void CMonitorDlg::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized)) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        if (m_tray->CanHide() && !HasDialogShown())
            Minimize();
    }
}

bool CMonitorDlg::nativeEvent(const QByteArray &eventType, void *message, qintptr *result)
{
    return HandleNativeMessage(this, message, result) || QDialog::nativeEvent(eventType, message, result);
}

void CMonitorDlg::OnCommand(int id)
{
    static constexpr std::pair<int, void (CMonitorDlg::*)()> kCommands[] = {
        {ID_TOPMOST, &CMonitorDlg::ToggleTopMost}, {ID_RESTORE, &CMonitorDlg::Restore},
        {ID_MINIMIZE, &CMonitorDlg::Minimize},     {ID_OPTIONS, &CMonitorDlg::ShowOptions},
        {ID_ABOUT, &CMonitorDlg::ShowAbout},       {ID_APP_EXIT, &CMonitorDlg::Exit},
    };
    for (const auto &[command, handler] : kCommands) {
        if (command == id)
            (this->*handler)();
    }
}

bool CMonitorDlg::HasDialogShown() const
{
    return m_dlgAbout->isVisible() || (m_sheetOption && m_sheetOption->IsShown());
}

void CMonitorDlg::Minimize()
{
    // Hiding needs a notification area to come back from; without one the window stays shown.
    if (!m_tray->CanHide())
        return;
    HideInPlace();
    m_bHidden = true;
    m_tray->SetHidden(true);
    UpdateMenus();
}

void CMonitorDlg::Restore()
{
    m_bHidden = false;
    m_tray->SetHidden(false);
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
        connect(m_sheetOption, &CPrsOption::optionsApplied, m_feeder, &CGraphFeeder::OnOptionsApplied);
        connect(m_sheetOption, &CPrsOption::optionsApplied, m_publisher, &CReadoutPublisher::ApplyOptions);
        connect(m_sheetOption, &CPrsOption::optionsApplied, this, [this](int page) {
            if (page == kPageExtension) {
                CTotalsKeeper::Follow(m_totals, *m_tray, this);
                UpdateMenus();
            }
        });
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
    // Where the server shows this window, not the toolkit's frame of it: once, just after the
    // window manager gave the window back from a minimise, that frame had shrunk to a pixel at
    // its corner, and the box was centred there.
    m_dlgAbout->ShowOver(ShownGeometry(this));
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

void CMonitorDlg::ShowMenuState()
{
    if (isVisible() && !HasDialogShown())
        activateWindow();
    UpdateMenus();
}

// Also on every change: a StatusNotifier host may show the exported menu without asking first.
void CMonitorDlg::UpdateMenus()
{
    m_menus->Update(MenuState {m_bTopMost, m_bHidden, m_tray->CanHide()});
    m_menus->SetTotalsLine(m_totals ? m_totals->MenuLine() : QString());
}

void CMonitorDlg::StopAndSave()
{
    if (std::exchange(m_bStopped, true))
        return;
    Sampler().Stop();
    delete std::exchange(m_totals, nullptr); // writes what it counted
    m_tray->Remove();
    m_dlgAbout->hide();
    if (m_sheetOption)
        m_sheetOption->DestroyWindow();
    SaveWindowState();
    m_end->Disarm();
}

// Inside exit(), with the X server perhaps gone: nothing is asked of it, and the window is
// stored where it was last seen, as a stop would store it.
void CMonitorDlg::SaveAtExit()
{
    if (std::exchange(m_bStopped, true))
        return;
    Sampler().Stop();
    if (m_totals)
        m_totals->CountAndCommit();
    StoreWindowState(m_rcShown.isValid() ? m_rcShown : geometry());
}

// Hides the window and keeps the place where it was seen, to show it there again and to
// store that place.
void CMonitorDlg::HideInPlace()
{
    m_rcShown = ShownGeometry(this);
    hide();
    move(m_rcShown.topLeft());
}

void CMonitorDlg::SaveWindowState()
{
    StoreWindowState(isVisible() || !m_rcShown.isValid() ? ShownGeometry(this) : m_rcShown);
}

void CMonitorDlg::StoreWindowState(const QRect &rect)
{
    theSetSystem.m_WndPos.SetTopMost(m_bTopMost ? 1 : 0);
    const WndPlacement placement = PlacementOf(StoredRectOf(rect));
    theSetSystem.m_WndPos.SetPlacement(&placement);
    theSetSystem.m_WndPos.Save(GetIniPath());
}
