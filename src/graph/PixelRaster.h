#pragma once
// Direct pixel work on the graph's back buffer (a Format_RGB32 QImage) in logical pixels:
// the scroll, rectangle fills and width-1 lines that follow the Windows rule of leaving
// out the end point. QPainter's pens do not: a square cap covers both ends and a flat cap
// drops the pixel with the larger coordinate whatever the direction.

#include "ColorRef.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRgb>

constexpr QRgb RgbOf(ColorRef color)
{
    return qRgb(static_cast<int>(RedOf(color)), static_cast<int>(GreenOf(color)),
                static_cast<int>(BlueOf(color)));
}

// Moves every scanline the given number of logical pixels to the left; the columns it
// uncovers at the right keep their old content.
void ScrollLeft(QImage &image, int pixels);

// Fills the part of the rectangle that lies inside the image.
void FillRect(QImage &image, const QRect &rect, QRgb color);

// One pixel per step along the longer axis, from the start point up to, but not including,
// the end point. A line of zero length draws nothing.
void DrawThinLine(QImage &image, QPoint from, QPoint to, QRgb color);
