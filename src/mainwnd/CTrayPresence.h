#pragma once
// The program's place in the notification area: the tray icon with its tooltip and menu,
// made once a notification area is up, and a watch that asks for the window back when the
// area goes away while the window is hidden into it. Where the host draws the icon itself
// (StatusNotifier) a primary click restores; where the program draws it (XEmbed, Windows)
// the double click does. User-interface thread only.

#include "TrayHosts.h"

#include <QBasicTimer>
#include <QObject>
#include <QSystemTrayIcon>

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
    // One line more in the tooltip, under the application's name; empty for none.
    void SetTooltipLine(const QString &line);
    // At the end of the run the icon leaves the area.
    void Remove();
    // One look at the area, as the watch takes it every two seconds: the icon is made once
    // the area is up, and the window is asked back when the area left while it was hidden.
    void Watch();

signals:
    void iconShown(); // what the menus offer may have changed
    void restoreRequested();

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    void CreateIcon();
    QString Tooltip() const;
    void OnActivated(QSystemTrayIcon::ActivationReason reason);

    QMenu *m_menu;
    bool (*m_isAreaPresent)();
    QSystemTrayIcon *m_tray = nullptr; // null until a notification area is up
    QBasicTimer m_watchTimer; // until the icon is made, and while the window is hidden
    bool m_bHidden = false;
    QString m_strTooltipLine;
};
