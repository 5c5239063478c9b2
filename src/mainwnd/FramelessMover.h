#pragma once
// Moving and sizing of a window without a window-manager frame: a left press on a border
// a few pixels wide sizes the window, anywhere else it moves it. The window system does
// the work where it does it right; elsewhere the window follows the mouse itself.

#include <QObject>
#include <QPoint>
#include <QRect>

class QMouseEvent;
class QWidget;

class FramelessMover : public QObject {
    Q_OBJECT

public:
    static constexpr int kBorder = 4;

    explicit FramelessMover(QWidget *window);

    // Which edges a point of the window (its own coordinates) lies on.
    Qt::Edges EdgesAt(const QPoint &pos) const;
    static Qt::Edges EdgesAt(const QPoint &pos, const QSize &size);

    // The geometry after dragging `edges` (none: the whole window) by `delta` from `start`,
    // never smaller than `minimum`.
    static QRect Dragged(const QRect &start, Qt::Edges edges, const QPoint &delta, const QSize &minimum);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool OnPress(QMouseEvent *event);
    bool StartBySystem(const QPoint &globalPos);
    bool OnMove(QMouseEvent *event);
    void UpdateCursor(const QPoint &pos);

    QWidget *m_window;
    bool m_bDragging = false; // moving or sizing by ourselves
    Qt::Edges m_edges;
    QPoint m_pressGlobal;
    QRect m_pressGeometry;
};
