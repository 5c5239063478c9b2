// Windows: the system's own topmost band, set in place. A tool window has no taskbar button
// already, the system gives a window disabled under its dialog neither input nor focus, and
// its move and size loops follow the pointer by themselves.

#include "WindowStates.h"

#include <QWidget>

#include <windows.h>

void ChooseWindowSystem()
{
}

bool PrepareNativeWindowStates(QWidget *window, bool topMost)
{
    return SetNativeStaysOnTop(window, topMost);
}

bool SetNativeStaysOnTop(QWidget *window, bool topMost)
{
    return ::SetWindowPos(reinterpret_cast<HWND>(window->winId()), topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0,
                          0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool SetNativeFocusRefused(QWidget *, bool)
{
    return true;
}

bool StartNativeMoveResize(QWidget *, Qt::Edges, const QPoint &)
{
    return false;
}

bool NativeWindowPosition(QWidget *, QPoint &)
{
    return false;
}
