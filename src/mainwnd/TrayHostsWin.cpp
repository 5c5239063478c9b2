// Windows: the shell always has a notification area.

#include "TrayHosts.h"

bool IsNotificationAreaPresent()
{
    return true;
}
