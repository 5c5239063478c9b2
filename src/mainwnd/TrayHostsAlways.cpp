// Systems whose shell always has a notification area (Windows).

#include "TrayHosts.h"

bool IsNotificationAreaPresent()
{
    return true;
}
