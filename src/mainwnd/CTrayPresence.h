#pragma once
// The program's place in the notification area: the tray icon with its tooltip and menu,
// made once a notification area is up, and a watch that asks for the window back when the
// area goes away while the window is hidden into it. Where the host draws the icon itself
// (StatusNotifier) a primary click restores; where the program draws it (XEmbed, Windows)
// the double click does. User-interface thread only.

#include "LevelBarsIcon.h"
#include "TrayHosts.h"

#include <QBasicTimer>
#include <QObject>
#include <QSystemTrayIcon>

#include <optional>

class QMenu;

class CTrayPresence : public QObject {
    Q_OBJECT

public:
    // `isAreaPresent` says whether a notification area is up to take the icon now.
    explicit CTrayPresence(QMenu *menu, QObject *parent = nullptr,
                           bool (*isAreaPresent)() = IsNotificationAreaPresent);

    // The window may hide: there is an icon, in an area that shows it, to come back from.
    bool CanHide() const;
    // While the window is hidden into the area, the area is watched.
    void SetHidden(bool hidden);
    // A desktop notification from the icon, titled with the application's name; only while
    // the icon is shown (CanShowMessage).
    bool CanShowMessage() const { return m_tray && m_tray->isVisible(); }
    void ShowMessage(const QString &text);
    // At the end of the run the icon leaves the area.
    void Remove();
    // One look at the area, as the watch takes it every two seconds: the icon is made once
    // the area is up, and the window is asked back when the area left while it was hidden.
    void Watch();

    // The live readout (off by default): the rates in the tooltip, the level bars as the icon.
    // Switching one off brings back the application's name or the program's icon.
    void SetLiveReadout(bool tip, bool icon);
    // The latest rates, given at most once a second; the icon is drawn anew only when its
    // bars changed.
    void ShowReadout(const QString &received, const QString &sent, const LevelBars &bars);
    // One line more at the end of the tooltip (today's totals); empty for none.
    void SetTooltipLine(const QString &line);
    // Composes the tooltip anew and hands it to the icon.
    void RefreshTooltip();
    // The tooltip as it stands: the name (or the rates) and the extra line.
    QString ComposeTooltip() const;
    QString ToolTip() const;

signals:
    void iconShown(); // what the menus offer may have changed
    void restoreRequested();

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    void CreateIcon();
    void OnActivated(QSystemTrayIcon::ActivationReason reason);

    QMenu *m_menu;
    bool (*m_isAreaPresent)();
    QSystemTrayIcon *m_tray = nullptr; // null until a notification area is up
    QBasicTimer m_watchTimer; // until the icon is made, and while the window is hidden
    bool m_bHidden = false;
    bool m_bLiveTip = false;
    bool m_bLiveIcon = false;
    QString m_strReceived;
    QString m_strSent;
    std::optional<LevelBars> m_drawnBars; // what the icon shows while it is live
    QString m_strTooltipLine; // one line more, under the rest
};
