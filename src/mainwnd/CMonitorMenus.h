#pragma once
// The tray menu and the window menu with their fixed texts and order. The tray menu
// offers restore only while the window is hidden and minimise only while it is shown.
// User-interface thread only.

#include <QObject>

#include <memory>

class QAction;
class QMenu;
class QString;
class QWidget;

struct MenuState {
    bool topMost = false;
    bool hidden = false;
    bool canMinimize = true; // false where no notification area could bring the window back
};

class CMonitorMenus : public QObject {
    Q_OBJECT

public:
    explicit CMonitorMenus(QWidget *owner);
    ~CMonitorMenus() override;

    QMenu *TrayMenu() const { return m_trayMenu.get(); }
    QMenu *WindowMenu() const { return m_windowMenu; }

    // Sets the check mark and the items that the current state offers.
    void Update(const MenuState &state);
    // The disabled totals line above the separator before exit in both menus; an empty
    // text removes it.
    void SetTotalsLine(const QString &text);

signals:
    void command(int id);

private:
    QAction *AddCommand(QMenu *menu, const char *text, int id);

    std::unique_ptr<QMenu> m_trayMenu;
    QMenu *m_windowMenu;
    QAction *m_apTotalsLines[2] = {}; // tray menu's, window menu's
};
