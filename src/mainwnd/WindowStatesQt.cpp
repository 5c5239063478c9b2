// Window systems without a way of their own: the toolkit's hint does everything.

#include "WindowStates.h"

bool PrepareNativeWindowStates(QWidget *, bool)
{
    return false;
}

bool SetNativeStaysOnTop(QWidget *, bool)
{
    return false;
}
