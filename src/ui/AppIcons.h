#pragma once
// The program's two icons: the program icon (window, About box) and the notification-area
// icon, each with every size it is drawn in. Windows takes them from the executable's icon
// resources 128 and 129, elsewhere they come from the program's Qt resources.

#include <QIcon>

QIcon ProgramIcon();
QIcon TrayIcon();
