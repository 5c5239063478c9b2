#include "WindowStates.h"

#include <QWidget>
#include <QWindow>

void PrepareWindowStates(QWidget *window, bool topMost)
{
    if (!PrepareNativeWindowStates(window, topMost))
        window->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
}

// The hint re-creates the native window, which hides it: show it again. A compositor that
// allows no band above the others (Wayland) just ignores the hint.
void SetStaysOnTop(QWidget *window, bool topMost)
{
    if (SetNativeStaysOnTop(window, topMost))
        return;
    window->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
    window->show();
}

void SetFocusRefused(QWidget *window, bool refused)
{
    if (SetNativeFocusRefused(window, refused))
        return;
    if (QWindow *handle = window->windowHandle())
        handle->setFlag(Qt::WindowDoesNotAcceptFocus, refused);
}

QRect ShownGeometry(QWidget *window)
{
    QRect rect = window->geometry();
    QPoint position;
    if (NativeWindowPosition(window, position))
        rect.moveTopLeft(position);
    return rect;
}
