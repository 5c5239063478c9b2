#include "PixelRaster.h"

#include <QPainter>
#include <QPen>
#include <QTransform>

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

void PixelRaster::DrawWideLines(const std::vector<QLine> &lines, int width, QRgb color)
{
    if (IsNull() || lines.empty())
        return;
    // Logical to device pixels with the scrolls' fraction, exactly as the columns map: the
    // image's own ratio is set aside while painting, so the toolkit adds no rounding of its own.
    const qreal ratio = m_img.devicePixelRatio();
    const double scale = std::ldexp(static_cast<double>(m_nScale), -kFractionBits);
    const double offset = std::ldexp(static_cast<double>(m_nOffset), -kFractionBits);
    m_img.setDevicePixelRatio(1);
    {
        QPainter painter(&m_img);
        painter.setRenderHint(QPainter::Antialiasing, false);
        const std::int64_t clip = std::clamp<std::int64_t>(m_nClipLeft, 0, m_img.width());
        painter.setClipRect(QRect(static_cast<int>(clip), 0, m_img.width() - static_cast<int>(clip), m_img.height()));
        // Centred on the pixel centres, as on Windows; the toolkit's aliased stroke would
        // otherwise lean half a pixel up and left and lose an end cap.
        painter.setTransform(QTransform(scale, 0, 0, scale, scale / 2 + offset, scale / 2));
        painter.setPen(QPen(QColor::fromRgb(color), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawLines(lines.data(), static_cast<int>(lines.size()));
    }
    m_img.setDevicePixelRatio(ratio);
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
