#include "PixelRaster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// The image's extent in logical pixels.
int LogicalWidth(const QImage &image)
{
    return static_cast<int>(std::floor(image.width() / image.devicePixelRatio()));
}

int LogicalHeight(const QImage &image)
{
    return static_cast<int>(std::floor(image.height() / image.devicePixelRatio()));
}

// First physical pixel of a logical coordinate.
int Physical(int logical, qreal ratio)
{
    return static_cast<int>(std::floor(logical * ratio));
}

void FillPhysical(QImage &image, int left, int top, int right, int bottom, QRgb color)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, image.width());
    bottom = std::min(bottom, image.height());
    for (int y = top; y < bottom; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        std::fill(line + left, line + right, color);
    }
}

void PlotPixel(QImage &image, int x, int y, QRgb color)
{
    const qreal ratio = image.devicePixelRatio();
    if (ratio == 1.0) {
        reinterpret_cast<QRgb *>(image.scanLine(y))[x] = color;
        return;
    }
    FillPhysical(image, Physical(x, ratio), Physical(y, ratio), Physical(x + 1, ratio),
                 Physical(y + 1, ratio), color);
}

// Rounds numerator / denominator (denominator > 0) to the nearest integer, halves away from
// zero, so a line's pixels sit symmetrically about its true course.
std::int64_t RoundedDiv(std::int64_t numerator, std::int64_t denominator)
{
    const std::int64_t magnitude = (2 * std::abs(numerator) + denominator) / (2 * denominator);
    return numerator < 0 ? -magnitude : magnitude;
}

// The steps i in [0, count) whose major coordinate start + i * direction lies in [0, limit).
void ClipSteps(int start, int direction, int limit, int count, int &first, int &last)
{
    if (direction > 0) {
        first = std::max(0, -start);
        last = std::min(count - 1, limit - 1 - start);
    } else {
        first = std::max(0, start - (limit - 1));
        last = std::min(count - 1, start);
    }
}

} // namespace

void ScrollLeft(QImage &image, int pixels)
{
    const int shift = static_cast<int>(std::lround(pixels * image.devicePixelRatio()));
    const int kept = image.width() - shift;
    if (shift <= 0 || kept <= 0)
        return;
    const auto bytes = static_cast<std::size_t>(kept) * sizeof(QRgb);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        std::memmove(line, line + shift, bytes);
    }
}

void FillRect(QImage &image, const QRect &rect, QRgb color)
{
    const qreal ratio = image.devicePixelRatio();
    FillPhysical(image, Physical(rect.left(), ratio), Physical(rect.top(), ratio),
                 Physical(rect.left() + rect.width(), ratio), Physical(rect.top() + rect.height(), ratio),
                 color);
}

void DrawThinLine(QImage &image, QPoint from, QPoint to, QRgb color)
{
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    const bool steep = std::abs(dy) > std::abs(dx);
    const int count = steep ? std::abs(dy) : std::abs(dx);
    if (count == 0)
        return;
    // Walk the longer axis one pixel at a time; only the steps inside the image are visited,
    // so far-off end points cost nothing.
    const int major = steep ? from.y() : from.x();
    const int minor = steep ? from.x() : from.y();
    const int majorDirection = (steep ? dy : dx) > 0 ? 1 : -1;
    const std::int64_t minorDelta = steep ? dx : dy;
    const int majorLimit = steep ? LogicalHeight(image) : LogicalWidth(image);
    const int minorLimit = steep ? LogicalWidth(image) : LogicalHeight(image);
    int first = 0;
    int last = -1;
    ClipSteps(major, majorDirection, majorLimit, count, first, last);
    for (int i = first; i <= last; ++i) {
        const std::int64_t along = minor + RoundedDiv(i * minorDelta, count);
        if (along < 0 || along >= minorLimit)
            continue;
        const int a = major + i * majorDirection;
        const int b = static_cast<int>(along);
        PlotPixel(image, steep ? b : a, steep ? a : b, color);
    }
}
