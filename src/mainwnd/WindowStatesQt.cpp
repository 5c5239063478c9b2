// Window systems where the toolkit switches the topmost band in place.

#include "WindowStates.h"

#include <QWidget>

void PrepareWindowStates(QWidget *window, bool topMost)
{
    window->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
}

void SetStaysOnTop(QWidget *window, bool topMost)
{
    window->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
    window->show();
}
