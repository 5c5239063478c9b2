#pragma once
// The graph's back buffer (a Format_RGB32 QImage) and the pixel work on it, addressed in
// logical pixels at any device-pixel ratio. Logical column x starts at device column
// floor(x * ratio + offset), where the offset is the fraction of a device pixel that the
// scrolls so far have left over: every scroll moves whole device pixels, the fractions add
// up instead of drifting, and a picture scrolled into place is the picture drawn in place.
// Width-1 lines follow the Windows rule of leaving out the end point and are the same
// number of device pixels thick wherever they fall; wider ones are the toolkit's geometric
// pen. User-interface thread only.

#include "ColorRefQt.h"

#include <QImage>
#include <QLine>
#include <QPoint>
#include <QRgb>

#include <cstdint>
#include <vector>

class PixelRaster {
public:
    // Device positions are kept in fixed point, so that a scroll by whole device pixels moves
    // every later position by exactly that many pixels.
    static constexpr int kFractionBits = 16;

    // A surface for width x height logical pixels; the old one is kept when it fits. 0 when
    // the size is empty or the image cannot be made, which leaves no surface.
    int Resize(int width, int height, qreal ratio);
    bool IsNull() const { return m_img.isNull(); }
    const QImage &Image() const { return m_img; }

    // Moves the picture the given number of logical pixels to the left; the device columns
    // it uncovers at the right keep their old content.
    void ScrollLeft(int pixels);

    // First device column of logical column x, first device row of logical row y.
    std::int64_t DeviceX(std::int64_t x) const { return FloorShift(x * m_nScale + m_nOffset, kFractionBits); }
    std::int64_t DeviceY(std::int64_t y) const { return FloorShift(y * m_nScale, kFractionBits); }

    // Floor of value / 2^bits: the shift of a negative value rounds down.
    static constexpr std::int64_t FloorShift(std::int64_t value, int bits) { return value >> bits; }

    // Every drawing operation below leaves the device columns left of this one alone.
    void SetClipLeft(std::int64_t column) { m_nClipLeft = column; }

    void Fill(QRgb color);
    // A width-1 line across the whole width at logical row y.
    void DrawRow(std::int64_t y, QRgb color);
    // A width-1 line down the whole height at logical column x.
    void DrawColumn(std::int64_t x, QRgb color);
    // One logical pixel per step along the longer axis, from the start point up to, but not
    // including, the end point. A line of zero length draws nothing.
    void DrawThinLine(QPoint from, QPoint to, QRgb color);
    // Lines `width` logical pixels wide with round ends, centred on the pixel centres of their
    // end points, stroked together by a geometric pen without antialiasing: where two touch,
    // they join as one stroke. A line of zero length is a dot.
    void DrawWideLines(const std::vector<QLine> &lines, int width, QRgb color);

private:
    // The image's pixels for one drawing operation: asking the image for them once per
    // operation rather than once per row keeps long lines cheap.
    struct Pixels {
        QRgb *bits;
        std::int64_t stride; // in pixels
        std::int64_t clipLeft;
        std::int64_t width;
        std::int64_t height;
    };

    Pixels Open();
    static void FillDevice(const Pixels &pixels, std::int64_t left, std::int64_t top, std::int64_t right,
                           std::int64_t bottom, QRgb color);

    QImage m_img;
    std::int64_t m_nScale = 0;  // device pixels per logical pixel, in 1/65536
    std::int64_t m_nOffset = 0; // the scrolls' leftover fraction of a device pixel, in 1/65536
    std::int64_t m_nThin = 1;   // device pixels across a width-1 line
    std::int64_t m_nClipLeft = 0;
};
