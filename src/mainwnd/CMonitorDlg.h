#pragma once
// The main window: a small borderless tool window filled by the traffic graph. It keeps its
// placement, runs the commands of its two context menus and its dialogs; its feeder keeps the
// graph supplied, and its tray presence keeps it reachable from the notification area.
// User-interface thread only.

#include "CGraphFeeder.h"
#include "CMonitorMenus.h"

#include <QDialog>
#include <QIcon>

class CAboutDlg;
class CHistogramCtrl;
class CProcessEnd;
class CPrsOption;
class CReadoutPublisher;
class CTotalsKeeper;
class CTrayPresence;

class CMonitorDlg : public QDialog {
    Q_OBJECT

public:
    explicit CMonitorDlg(QWidget *parent = nullptr);
    ~CMonitorDlg() override;

    void OnCommand(int id);

    bool IsHiddenToTray() const { return m_bHidden; }
    bool IsTopMost() const { return m_bTopMost; }
    CHistogramCtrl &Graph() const { return *m_Graph; }
    CGraphFeeder &Feeder() const { return *m_feeder; }
    CCounterSampler &Sampler() const { return m_feeder->Sampler(); }
    CMonitorMenus &Menus() const { return *m_menus; }
    CAboutDlg &AboutDlg() const { return *m_dlgAbout; }
    CPrsOption &OptionSheet(); // built on first use, then kept for the run

public slots:
    // The window closes only through the exit command; Enter, Escape and close requests
    // do nothing.
    void accept() override {}
    void reject() override {}

protected:
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    void RestorePlacement();
    void StopAndSave();
    void SaveAtExit();
    void StoreWindowState(const QRect &rect);
    void SaveWindowState();
    void HideInPlace();

    void Minimize();
    void Restore();
    void ToggleTopMost();
    void ShowOptions();
    void ShowAbout();
    void KeepAboutBoxInFront();
    void Exit();
    void ShowMenuState();
    void UpdateMenus();
    bool HasDialogShown() const;

    CHistogramCtrl *m_Graph;
    QIcon m_hIcon;
    QRect m_rcClient;
    QRect m_rcShown; // where the window was last seen: kept while it moves, and when it hides
    bool m_bHidden = false;
    bool m_bTopMost = false;
    CAboutDlg *m_dlgAbout = nullptr;
    CPrsOption *m_sheetOption = nullptr;
    CGraphFeeder *m_feeder;
    CMonitorMenus *m_menus;
    CTrayPresence *m_tray = nullptr;
    CReadoutPublisher *m_publisher = nullptr;
    CTotalsKeeper *m_totals = nullptr; // only while TOTALS=1
    CProcessEnd *m_end;
    bool m_bStopped = false;
};
