#pragma once
// The main window: a small borderless tool window filled by the traffic graph. It starts and
// stops the sampling thread, feeds the graph every 50 ms, and is worked through its tray
// icon and two context menus. User-interface thread only.

#include "CCounterSampler.h"
#include "CMonitorMenus.h"

#include <QBasicTimer>
#include <QDialog>
#include <QElapsedTimer>
#include <QIcon>
#include <QSystemTrayIcon>

#include <vector>

class CAboutDlg;
class CHistogramCtrl;
class CPrsOption;
class TerminationSignals;

class CMonitorDlg : public QDialog {
    Q_OBJECT

public:
    explicit CMonitorDlg(QWidget *parent = nullptr);
    ~CMonitorDlg() override;

    // Pushes the display settings into the graph; the history is kept unless asked.
    void ApplyGraphSettings(bool resetHistory);
    // A page of the options sheet has stored its settings (1 General, 2 Display 1, 3 Display 2).
    void OnOptionsApplied(int page);
    void OnCommand(int id);
    // The display timer's work: every queued sample to the graph and its value text.
    // False when the queue was empty.
    bool DrainSamples();

    bool IsHiddenToTray() const { return m_bHidden; }
    bool IsTopMost() const { return m_bTopMost; }
    CHistogramCtrl &Graph() const { return *m_Graph; }
    CCounterSampler &Sampler() { return m_sampler; }
    CMonitorMenus &Menus() const { return *m_menus; }
    CAboutDlg &AboutDlg() const { return *m_dlgAbout; }
    CPrsOption &OptionSheet(); // built on first use, then kept for the run

public slots:
    // The window closes only through the exit command; Enter, Escape and close requests
    // do nothing.
    void accept() override;
    void reject() override;

protected:
    void timerEvent(QTimerEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    void ChooseFirstInterface();
    void CreateTrayIcon();
    void RestorePlacement();
    void StopAndSave();
    void SaveWindowState();
    void HideInPlace();
    QRect ShownGeometry();

    void Minimize();
    void Restore();
    void ToggleTopMost();
    void ShowOptions();
    void ShowAbout();
    void OnAboutClosed();
    void KeepAboutBoxInFront();
    void Exit();
    void OnTrayActivated(QSystemTrayIcon::ActivationReason reason);
    void OnDisplayTimer();
    void HuntForSamples(int milliseconds);
    void OnTerminationRequested();
    void OnTrayWatch();
    void ShowMenuState();
    void UpdateMenus();
    bool CanHide() const;
    bool HasDialogShown() const;

    CHistogramCtrl *m_Graph;
    QIcon m_hIcon;
    QSystemTrayIcon *m_tray = nullptr; // null until a notification area is up
    QRect m_rcClient;
    QRect m_rcShown; // where the window was when last hidden
    bool m_bHidden = false;
    bool m_bTopMost = false;
    CAboutDlg *m_dlgAbout;
    CPrsOption *m_sheetOption = nullptr;
    CCounterSampler m_sampler;
    CMonitorMenus *m_menus;
    TerminationSignals *m_signals;
    QBasicTimer m_displayTimer;   // every 50 ms while samples are due: samples to the graph
    QElapsedTimer m_huntClock;    // since the display timer began to look every 50 ms
    int m_nHuntFor = 0;           // how long it keeps looking, in ms
    QBasicTimer m_trayWatchTimer; // until a notification area is up, and while hidden: is it still there?
    std::vector<CounterSample> m_samples; // drained queue, reused so an empty tick allocates nothing
    bool m_bStopped = false;
};
