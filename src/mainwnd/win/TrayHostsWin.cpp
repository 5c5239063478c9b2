// Windows: the shell always has a notification area, and the program draws its icon there.

#include "TrayHosts.h"

bool IsNotificationAreaPresent()
{
    return true;
}

bool IsTrayIconDrawnByHost(const QSystemTrayIcon &)
{
    return false;
}
