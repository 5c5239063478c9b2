#include "PlacementGeometry.h"

#include "ScreenPixels.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace {

// Show commands of the stored placement.
constexpr std::int32_t kShowNormal = 1;

// A window without a frame is grabbed by its inside: this much of it must be visible.
constexpr int kMinVisible = 24;

// Stored edges may be any int. Far beyond any screen, yet close enough to 0 that no width,
// height or centre of a rectangle between them overflows.
constexpr int kMaxEdge = 1 << 24;

int BoundedEdge(std::int32_t edge)
{
    return std::clamp(edge, -kMaxEdge, kMaxEdge);
}

} // namespace

QRect NormalRectOf(const WndPlacement &placement)
{
    return QRect(QPoint(BoundedEdge(placement.left), BoundedEdge(placement.top)),
                 QPoint(BoundedEdge(placement.right) - 1, BoundedEdge(placement.bottom) - 1));
}

WndPlacement PlacementOf(const QRect &geometry)
{
    WndPlacement placement;
    placement.length = kPlacementLength;
    placement.flags = 0;
    placement.showCmd = kShowNormal;
    placement.minX = placement.minY = -1;
    placement.maxX = placement.maxY = -1;
    placement.left = geometry.left();
    placement.top = geometry.top();
    placement.right = geometry.right() + 1;
    placement.bottom = geometry.bottom() + 1;
    return placement;
}

QRect KeepOnScreens(const QRect &rect, const QList<QRect> &screens, const QRect &primary)
{
    for (const QRect &screen : screens) {
        const QRect visible = rect.intersected(screen);
        if (visible.width() >= std::min(kMinVisible, rect.width())
            && visible.height() >= std::min(kMinVisible, rect.height()))
            return rect;
    }
    QRect moved(QPoint(), rect.size().boundedTo(primary.size()));
    moved.moveCenter(primary.center());
    return moved;
}

QRect RestoredGeometry(const WndPlacement &placement, const QSize &minimum, const QSize &maximum)
{
    QRect rect = ToolkitRectOf(NormalRectOf(placement));
    // The size the window can take, so that what is checked below is what is shown.
    rect.setSize(rect.size().expandedTo(minimum).boundedTo(maximum));
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary)
        return rect;
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    return KeepOnScreens(rect, screens, primary->availableGeometry());
}
