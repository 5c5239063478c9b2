#include "PixelRaster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

constexpr int kFractionBits = PixelRaster::kFractionBits;
constexpr std::int64_t kOne = std::int64_t{1} << kFractionBits;
// Beyond these ratios a surface could not be allocated anyway.
constexpr double kMinRatio = 1.0 / 64;
constexpr double kMaxRatio = 64;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Floor division for a positive divisor.
std::int64_t FloorDiv(std::int64_t numerator, std::int64_t divisor)
{
    const std::int64_t quotient = numerator / divisor;
    return quotient * divisor > numerator ? quotient - 1 : quotient;
}

// The steps i in [0, count) whose major coordinate start + i * direction lies in [low, high].
void ClipSteps(std::int64_t start, int direction, std::int64_t low, std::int64_t high, int count,
               std::int64_t &first, std::int64_t &last)
{
    if (direction > 0) {
        first = std::max<std::int64_t>(0, low - start);
        last = std::min<std::int64_t>(count - 1, high - start);
    } else {
        first = std::max<std::int64_t>(0, start - high);
        last = std::min<std::int64_t>(count - 1, start - low);
    }
}

// Narrows [low, high] to the t with a + b * t in [minimum, maximum]; `inverse` is 1 / b.
void Constrain(double a, double b, double inverse, double minimum, double maximum, double &low, double &high)
{
    if (b == 0) {
        if (a < minimum || a > maximum) {
            low = kInfinity;
            high = -kInfinity;
        }
        return;
    }
    const double from = (minimum - a) * inverse;
    const double to = (maximum - a) * inverse;
    low = std::max(low, std::min(from, to));
    high = std::min(high, std::max(from, to));
}

// A line with round ends in device pixels: every point within the radius of the segment.
// Convex, so a vertical line crosses it in one span: its two end discs and the band between
// them cover that span.
class Capsule {
public:
    Capsule(double x0, double y0, double x1, double y1, double radius)
        : m_x0(x0), m_y0(y0), m_x1(x1), m_y1(y1), m_squaredRadius(radius * radius), m_dx(x1 - x0),
          m_dy(y1 - y0)
    {
        m_squaredLength = m_dx * m_dx + m_dy * m_dy;
        m_across = radius * std::sqrt(m_squaredLength);
        m_inverseDx = m_dx != 0 ? 1 / m_dx : 0;
        m_inverseDy = m_dy != 0 ? 1 / m_dy : 0;
    }

    // Where the vertical line x = cx crosses the capsule, as [top, bottom]; false where it
    // does not.
    bool Span(double cx, double &top, double &bottom) const
    {
        top = kInfinity;
        bottom = -kInfinity;
        Disc(cx, m_x0, m_y0, top, bottom);
        Disc(cx, m_x1, m_y1, top, bottom);
        if (m_squaredLength > 0) {
            // Relative to the start point: along the segment within its length, across it
            // within the radius.
            const double u = cx - m_x0;
            double low = -kInfinity;
            double high = kInfinity;
            Constrain(u * m_dx, m_dy, m_inverseDy, 0, m_squaredLength, low, high);
            Constrain(-u * m_dy, m_dx, m_inverseDx, -m_across, m_across, low, high);
            if (low <= high) {
                top = std::min(top, m_y0 + low);
                bottom = std::max(bottom, m_y0 + high);
            }
        }
        return top <= bottom;
    }

private:
    void Disc(double cx, double x, double y, double &top, double &bottom) const
    {
        const double squared = m_squaredRadius - (cx - x) * (cx - x);
        if (squared < 0)
            return;
        const double half = std::sqrt(squared);
        top = std::min(top, y - half);
        bottom = std::max(bottom, y + half);
    }

    double m_x0, m_y0, m_x1, m_y1, m_squaredRadius;
    double m_dx, m_dy, m_squaredLength = 0, m_across = 0, m_inverseDx = 0, m_inverseDy = 0;
};

} // namespace

int PixelRaster::Resize(int width, int height, qreal ratio)
{
    if (!(ratio >= kMinRatio && ratio <= kMaxRatio))
        ratio = 1;
    const std::int64_t scale = std::llround(ratio * kOne);
    if (scale != m_nScale) {
        m_nScale = scale;
        m_nOffset = 0;
        m_nThin = std::max<std::int64_t>(1, FloorShift(scale + kOne / 2, kFractionBits));
    }
    m_nClipLeft = 0;
    if (width < 1 || height < 1) {
        m_img = QImage();
        return 0;
    }
    const std::int64_t deviceWidth = FloorShift(width * scale + kOne - 1, kFractionBits);
    const std::int64_t deviceHeight = FloorShift(height * scale + kOne - 1, kFractionBits);
    if (deviceWidth > std::numeric_limits<int>::max() || deviceHeight > std::numeric_limits<int>::max()) {
        m_img = QImage();
        return 0;
    }
    // Auto-ranging redraws at nearly every step: keep a surface that already fits.
    if (m_img.width() != deviceWidth || m_img.height() != deviceHeight) {
        m_img = QImage(static_cast<int>(deviceWidth), static_cast<int>(deviceHeight), QImage::Format_RGB32);
        if (m_img.isNull())
            return 0;
    }
    m_img.setDevicePixelRatio(ratio);
    return 1;
}

void PixelRaster::ScrollLeft(int pixels)
{
    if (IsNull() || pixels <= 0)
        return;
    const std::int64_t moved = pixels * m_nScale + m_nOffset;
    const std::int64_t shift = FloorShift(moved, kFractionBits);
    m_nOffset = moved - shift * kOne;
    const std::int64_t kept = m_img.width() - shift;
    if (shift <= 0 || kept <= 0)
        return;
    const auto bytes = static_cast<std::size_t>(kept) * sizeof(QRgb);
    for (int y = 0; y < m_img.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(m_img.scanLine(y));
        std::memmove(line, line + shift, bytes);
    }
}

void PixelRaster::Fill(QRgb color)
{
    if (!IsNull())
        FillDevice(Open(), m_nClipLeft, 0, m_img.width(), m_img.height(), color);
}

void PixelRaster::DrawRow(std::int64_t y, QRgb color)
{
    const std::int64_t top = DeviceY(y);
    if (!IsNull())
        FillDevice(Open(), m_nClipLeft, top, m_img.width(), top + m_nThin, color);
}

void PixelRaster::DrawColumn(std::int64_t x, QRgb color)
{
    const std::int64_t left = DeviceX(x);
    if (!IsNull())
        FillDevice(Open(), left, 0, left + m_nThin, m_img.height(), color);
}

void PixelRaster::DrawThinLine(QPoint from, QPoint to, QRgb color)
{
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    const bool steep = std::abs(dy) > std::abs(dx);
    const int count = steep ? std::abs(dy) : std::abs(dx);
    if (count == 0 || IsNull())
        return;
    // Walk the longer axis one logical pixel at a time; only the steps whose pixels can
    // reach the surface are visited, so far-off end points cost nothing.
    const std::int64_t major = steep ? from.y() : from.x();
    const std::int64_t minor = steep ? from.x() : from.y();
    const int majorDirection = (steep ? dy : dx) > 0 ? 1 : -1;
    const std::int64_t minorDelta = steep ? dx : dy;
    const std::int64_t low = steep ? 0 : FloorDiv(m_nClipLeft * kOne - m_nOffset, m_nScale);
    const std::int64_t high = steep ? FloorDiv(m_img.height() * kOne, m_nScale) + 1
                                    : FloorDiv(m_img.width() * kOne - m_nOffset, m_nScale) + 1;
    std::int64_t first = 0;
    std::int64_t last = -1;
    ClipSteps(major, majorDirection, low, high, count, first, last);
    if (first > last)
        return;
    // The minor offset at step i is i * minorDelta / count rounded half away from zero, so
    // that the pixels sit symmetrically about the true course; carried from step to step as
    // quotient and remainder of (2 |i * minorDelta| + count) / (2 count).
    const std::int64_t twiceCount = 2 * std::int64_t{count};
    const std::int64_t twiceDelta = 2 * std::abs(minorDelta);
    const std::int64_t minorDirection = minorDelta < 0 ? -1 : 1;
    std::int64_t offset = (first * twiceDelta + count) / twiceCount;
    std::int64_t remainder = (first * twiceDelta + count) % twiceCount;
    const Pixels pixels = Open();
    for (std::int64_t i = first; i <= last; ++i) {
        const std::int64_t a = major + i * majorDirection;
        const std::int64_t b = minor + minorDirection * offset;
        const std::int64_t x = steep ? b : a;
        const std::int64_t y = steep ? a : b;
        // A whole logical pixel along the line, a fixed number of device pixels across it.
        if (m_nScale == kOne) {
            if (x >= pixels.clipLeft && x < pixels.width && y >= 0 && y < pixels.height)
                pixels.bits[y * pixels.stride + x] = color;
        } else if (steep) {
            FillDevice(pixels, DeviceX(x), DeviceY(y), DeviceX(x) + m_nThin, DeviceY(y + 1), color);
        } else {
            FillDevice(pixels, DeviceX(x), DeviceY(y), DeviceX(x + 1), DeviceY(y) + m_nThin, color);
        }
        remainder += twiceDelta;
        if (remainder >= twiceCount) {
            remainder -= twiceCount;
            ++offset;
        }
    }
}

void PixelRaster::DrawWideLine(QPoint from, QPoint to, int width, QRgb color)
{
    if (IsNull())
        return;
    // The start's pixel centre in 1/131072 device pixels, split into a whole column and a
    // fraction: the fraction and the lengths are the same wherever the scrolls have put the
    // line, so it covers the same pixels relative to that column.
    const std::int64_t start = (2 * std::int64_t{from.x()} + 1) * m_nScale + 2 * m_nOffset;
    const std::int64_t column = FloorShift(start, kFractionBits + 1);
    const double twoOne = 2.0 * kOne;
    const double x0 = static_cast<double>(start - column * 2 * kOne) / twoOne;
    const double x1 = x0 + static_cast<double>((std::int64_t{to.x()} - from.x()) * m_nScale) / kOne;
    const double radius = static_cast<double>(width * m_nScale) / twoOne;
    const Capsule capsule(x0, static_cast<double>((2 * std::int64_t{from.y()} + 1) * m_nScale) / twoOne, x1,
                          static_cast<double>((2 * std::int64_t{to.y()} + 1) * m_nScale) / twoOne, radius);
    // The columns whose centres lie in [left, right), within the clip.
    const double left = std::min(x0, x1) - radius;
    const double right = std::max(x0, x1) + radius;
    const std::int64_t firstColumn = std::max<std::int64_t>(
        static_cast<std::int64_t>(std::ceil(left - 0.5)), m_nClipLeft - column);
    const std::int64_t lastColumn = std::min<std::int64_t>(
        static_cast<std::int64_t>(std::ceil(right - 0.5)) - 1, m_img.width() - 1 - column);
    const Pixels pixels = Open();
    double top = 0;
    double bottom = 0;
    for (std::int64_t c = firstColumn; c <= lastColumn; ++c) {
        if (capsule.Span(static_cast<double>(c) + 0.5, top, bottom))
            FillColumn(pixels, column + c, top, bottom, color);
    }
}

PixelRaster::Pixels PixelRaster::Open()
{
    const std::int64_t stride = m_img.bytesPerLine() / static_cast<std::int64_t>(sizeof(QRgb));
    auto *bits = reinterpret_cast<QRgb *>(m_img.bits());
    return {bits, stride, std::max<std::int64_t>(m_nClipLeft, 0), m_img.width(), m_img.height()};
}

void PixelRaster::FillDevice(const Pixels &pixels, std::int64_t left, std::int64_t top, std::int64_t right,
                             std::int64_t bottom, QRgb color)
{
    left = std::max(left, pixels.clipLeft);
    top = std::max<std::int64_t>(top, 0);
    right = std::min(right, pixels.width);
    bottom = std::min(bottom, pixels.height);
    if (left >= right)
        return;
    for (std::int64_t y = top; y < bottom; ++y) {
        QRgb *line = pixels.bits + y * pixels.stride;
        std::fill(line + left, line + right, color);
    }
}

void PixelRaster::FillColumn(const Pixels &pixels, std::int64_t column, double top, double bottom,
                             QRgb color)
{
    // The rows whose centres lie in [top, bottom): a line two pixels wide covers two rows.
    const auto height = static_cast<double>(pixels.height);
    const auto first = static_cast<std::int64_t>(std::clamp(std::ceil(top - 0.5), 0.0, height));
    const auto end = static_cast<std::int64_t>(std::clamp(std::ceil(bottom - 0.5), 0.0, height));
    QRgb *pixel = pixels.bits + column;
    for (std::int64_t y = first; y < end; ++y)
        pixel[y * pixels.stride] = color;
}
