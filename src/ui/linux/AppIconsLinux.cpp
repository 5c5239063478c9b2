#include "AppIcons.h"

QIcon ProgramIcon()
{
    QIcon icon(QStringLiteral(":/res/corvala.png"));
    icon.addFile(QStringLiteral(":/res/corvala16.png"));
    icon.addFile(QStringLiteral(":/res/corvala64.png"));
    return icon;
}

QIcon TrayIcon()
{
    return QIcon(QStringLiteral(":/res/tray16.png"));
}
