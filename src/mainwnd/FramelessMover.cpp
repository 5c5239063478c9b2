#include "FramelessMover.h"

#include "WindowStates.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

FramelessMover::FramelessMover(QWidget *window)
    : QObject(window), m_window(window)
{
    window->setMouseTracking(true);
    window->installEventFilter(this);
}

Qt::Edges FramelessMover::EdgesAt(const QPoint &pos) const
{
    return EdgesAt(pos, m_window->size());
}

Qt::Edges FramelessMover::EdgesAt(const QPoint &pos, const QSize &size)
{
    Qt::Edges edges;
    if (pos.x() < kBorder)
        edges |= Qt::LeftEdge;
    if (pos.x() >= size.width() - kBorder)
        edges |= Qt::RightEdge;
    if (pos.y() < kBorder)
        edges |= Qt::TopEdge;
    if (pos.y() >= size.height() - kBorder)
        edges |= Qt::BottomEdge;
    return edges;
}

QRect FramelessMover::Dragged(const QRect &start, Qt::Edges edges, const QPoint &delta, const QSize &minimum)
{
    if (!edges)
        return start.translated(delta);
    QRect rect = start;
    if (edges & Qt::LeftEdge)
        rect.setLeft(std::min(start.left() + delta.x(), start.right() + 1 - minimum.width()));
    if (edges & Qt::RightEdge)
        rect.setRight(std::max(start.right() + delta.x(), start.left() + minimum.width() - 1));
    if (edges & Qt::TopEdge)
        rect.setTop(std::min(start.top() + delta.y(), start.bottom() + 1 - minimum.height()));
    if (edges & Qt::BottomEdge)
        rect.setBottom(std::max(start.bottom() + delta.y(), start.top() + minimum.height() - 1));
    return rect;
}

bool FramelessMover::eventFilter(QObject *watched, QEvent *event)
{
    // A filter sees the mouse before the widget's own check for being disabled: a window
    // disabled by the About box must not be moved or sized either.
    if (watched != m_window || !m_window->isEnabled()) {
        m_bDragging = false;
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        return OnPress(static_cast<QMouseEvent *>(event));
    case QEvent::MouseMove:
        return OnMove(static_cast<QMouseEvent *>(event));
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            m_bDragging = false;
        return false;
    default:
        return false;
    }
}

bool FramelessMover::OnPress(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    m_edges = EdgesAt(event->position().toPoint());
    m_bDragging = !StartBySystem(event->globalPosition().toPoint());
    m_pressGlobal = event->globalPosition().toPoint();
    m_pressGeometry = m_window->geometry();
    return true;
}

// Qt 6.4 on X11 hands the window manager the pointer position in window coordinates, so
// the window jumps by its own position when the manager takes over; there we follow the
// mouse ourselves, as without a window manager, unless only the manager may move it.
bool FramelessMover::StartBySystem(const QPoint &globalPos)
{
    QWindow *handle = m_window->windowHandle();
    if (!handle)
        return false;
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return StartNativeMoveResize(m_window, m_edges, globalPos);
    return m_edges ? handle->startSystemResize(m_edges) : handle->startSystemMove();
}

bool FramelessMover::OnMove(QMouseEvent *event)
{
    if (!m_bDragging || !(event->buttons() & Qt::LeftButton)) {
        m_bDragging = false;
        UpdateCursor(event->position().toPoint());
        return false;
    }
    const QPoint delta = event->globalPosition().toPoint() - m_pressGlobal;
    const QRect rect = Dragged(m_pressGeometry, m_edges, delta, m_window->minimumSize());
    if (m_edges)
        m_window->setGeometry(rect);
    else
        m_window->move(rect.topLeft());
    return true;
}

void FramelessMover::UpdateCursor(const QPoint &pos)
{
    const Qt::Edges edges = EdgesAt(pos);
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge))
        shape = Qt::SizeFDiagCursor;
    else if (edges == (Qt::RightEdge | Qt::TopEdge) || edges == (Qt::LeftEdge | Qt::BottomEdge))
        shape = Qt::SizeBDiagCursor;
    else if (edges & (Qt::LeftEdge | Qt::RightEdge))
        shape = Qt::SizeHorCursor;
    else if (edges & (Qt::TopEdge | Qt::BottomEdge))
        shape = Qt::SizeVerCursor;
    if (m_window->cursor().shape() != shape)
        m_window->setCursor(shape);
}
