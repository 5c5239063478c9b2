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

bool StartNativeMoveResize(QWidget *, Qt::Edges, const QPoint &)
{
    return false;
}

bool NativeWindowPosition(QWidget *, QPoint &)
{
    return false;
}
