// Window systems where the toolkit switches the topmost band in place.

#include "WindowStates.h"

#include <QWidget>
#include <QWindow>

void PrepareWindowStates(QWidget *window, bool topMost)
{
    window->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
}

void SetStaysOnTop(QWidget *window, bool topMost)
{
    window->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
    window->show();
}

void SetFocusRefused(QWidget *window, bool refused)
{
    if (QWindow *handle = window->windowHandle())
        handle->setFlag(Qt::WindowDoesNotAcceptFocus, refused);
}
