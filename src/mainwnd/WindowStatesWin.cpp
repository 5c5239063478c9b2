// Windows: the system's own topmost band. A tool window has no taskbar button already.

#include "WindowStates.h"

#include <QWidget>

#include <windows.h>

namespace {

void PlaceInBand(QWidget *window, bool topMost)
{
    ::SetWindowPos(reinterpret_cast<HWND>(window->winId()), topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

} // namespace

void PrepareWindowStates(QWidget *window, bool topMost)
{
    PlaceInBand(window, topMost);
}

void SetStaysOnTop(QWidget *window, bool topMost)
{
    PlaceInBand(window, topMost);
}
