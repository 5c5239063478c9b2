// Windows keeps a window's normal rectangle in the screen's pixels. The toolkit counts each
// screen from the same top left corner, and the rest of it in pixels scaled by the screen's
// ratio (1.25 at 120 dpi): the two are converted as the toolkit itself places a window.

#include "ScreenPixels.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

// The screen holding `point`, counted in its own pixels or in the toolkit's.
const QScreen *ScreenAt(const QPoint &point, bool inScreenPixels)
{
    for (const QScreen *screen : QGuiApplication::screens()) {
        const qreal ratio = inScreenPixels ? screen->devicePixelRatio() : 1.0;
        if (QRect(screen->geometry().topLeft(), screen->size() * ratio).contains(point))
            return screen;
    }
    return QGuiApplication::primaryScreen();
}

QRect Scaled(const QRect &rect, const QScreen *screen, qreal factor)
{
    const QPoint origin = screen->geometry().topLeft();
    return QRect(origin + (rect.topLeft() - origin) * factor, rect.size() * factor);
}

} // namespace

QRect StoredRectOf(const QRect &shown)
{
    const QScreen *screen = ScreenAt(shown.center(), false);
    return screen ? Scaled(shown, screen, screen->devicePixelRatio()) : shown;
}

QRect ToolkitRectOf(const QRect &stored)
{
    const QScreen *screen = ScreenAt(stored.center(), true);
    return screen ? Scaled(stored, screen, 1.0 / screen->devicePixelRatio()) : stored;
}
