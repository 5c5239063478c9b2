#include "CMonitorMenus.h"

#include "CommandIds.h"

#include <QMenu>

CMonitorMenus::CMonitorMenus(QWidget *owner)
    : QObject(owner), m_trayMenu(new QMenu(owner)), m_windowMenu(new QMenu(owner))
{
    AddCommand(m_trayMenu, "常に前面に表示 (&T)", ID_TOPMOST)->setCheckable(true);
    AddCommand(m_trayMenu, "元のサイズに戻す (&R)", ID_RESTORE);
    AddCommand(m_trayMenu, "最小化 (&M)", ID_MINIMIZE);
    m_trayMenu->addSeparator();
    AddCommand(m_trayMenu, "オプション (&O)", ID_OPTIONS);
    AddCommand(m_trayMenu, "バージョン情報 (&A)", ID_ABOUT);
    m_trayMenu->addSeparator();
    AddCommand(m_trayMenu, "終了 (&X)", ID_APP_EXIT);

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
    for (QMenu *menu : {m_trayMenu, m_windowMenu}) {
        const bool tray = menu == m_trayMenu;
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
