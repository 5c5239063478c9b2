#include "CMonitorMenus.h"

#include "CommandIds.h"

#include <QMenu>

#include <utility>

// The tray menu has no parent: a child of the window would be disabled and blocked with it
// while the About box or the options sheet is up, and the tray must still reach every command.
CMonitorMenus::CMonitorMenus(QWidget *owner)
    : QObject(owner), m_trayMenu(std::make_unique<QMenu>()), m_windowMenu(new QMenu(owner))
{
    QMenu *tray = m_trayMenu.get();
    AddCommand(tray, "常に前面に表示 (&T)", ID_TOPMOST)->setCheckable(true);
    AddCommand(tray, "元のサイズに戻す (&R)", ID_RESTORE);
    AddCommand(tray, "最小化 (&M)", ID_MINIMIZE);
    tray->addSeparator();
    AddCommand(tray, "オプション (&O)", ID_OPTIONS);
    AddCommand(tray, "バージョン情報 (&A)", ID_ABOUT);
    tray->addSeparator();
    AddCommand(tray, "終了 (&X)", ID_APP_EXIT);

    AddCommand(m_windowMenu, "常に全面に表示 (&T)", ID_TOPMOST)->setCheckable(true);
    AddCommand(m_windowMenu, "最小化 (&M)", ID_MINIMIZE);
    m_windowMenu->addSeparator();
    AddCommand(m_windowMenu, "オプション (&O)", ID_OPTIONS);
    AddCommand(m_windowMenu, "バージョン情報 (&A)", ID_ABOUT);
    m_windowMenu->addSeparator();
    AddCommand(m_windowMenu, "終了 (&X)", ID_APP_EXIT);
}

CMonitorMenus::~CMonitorMenus() = default;

QAction *CMonitorMenus::AddCommand(QMenu *menu, const char *text, int id)
{
    QAction *action = menu->addAction(QString::fromUtf8(text));
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { emit command(id); });
    return action;
}

void CMonitorMenus::Update(const MenuState &state)
{
    for (QMenu *menu : {m_trayMenu.get(), m_windowMenu}) {
        const bool tray = menu == m_trayMenu.get();
        for (QAction *action : menu->actions()) {
            switch (action->data().toInt()) {
            case ID_TOPMOST:
                action->setChecked(state.topMost);
                break;
            case ID_RESTORE:
                action->setVisible(state.hidden);
                break;
            case ID_MINIMIZE:
                action->setVisible(!tray || !state.hidden);
                action->setEnabled(state.canMinimize);
                break;
            default:
                break;
            }
        }
    }
}

void CMonitorMenus::SetTotalsLine(const QString &text)
{
    for (QMenu *menu : {m_trayMenu.get(), m_windowMenu}) {
        QAction *&line = m_apTotalsLines[menu == m_windowMenu ? 1 : 0];
        if (text.isEmpty()) {
            delete std::exchange(line, nullptr); // leaves the menu as it was
            continue;
        }
        if (!line) {
            line = new QAction(menu);
            line->setEnabled(false);
            const QList<QAction *> actions = menu->actions();
            menu->insertAction(actions.at(actions.size() - 2), line); // the separator before exit
        }
        line->setText(text);
    }
}
