#include "WindowMenuKeys.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

WindowMenuKeys::WindowMenuKeys(QWidget *window) : QObject(window), m_window(window)
{
    window->installEventFilter(this);
}

bool WindowMenuKeys::eventFilter(QObject *watched, QEvent *event)
{
    // A filter sees events before the window's own checks: a hidden window (past the exit
    // command) and one disabled under the About box open nothing.
    if (watched != m_window || !m_window->isVisible() || !m_window->isEnabled())
        return false;
    if (event->type() == QEvent::MouseButtonPress) {
        const auto *press = static_cast<QMouseEvent *>(event);
        if (press->button() == Qt::RightButton) {
            m_window->activateWindow();
            emit menuRequested(press->globalPosition().toPoint());
        }
    } else if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool shiftF10 = key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
        if (shiftF10 || (key->key() == Qt::Key_Menu && !key->isAutoRepeat())) {
            emit menuRequested(m_window->mapToGlobal(QPoint(0, 0)));
            return true;
        }
    }
    return false;
}
