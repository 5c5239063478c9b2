#pragma once
// Conversions between the stored 0x00BBGGRR colour and QColor. Only red, green and blue
// cross over: the options store solid colours.

#include "ColorRef.h"

#include <QColor>

inline QColor ToQColor(ColorRef color)
{
    return QColor(static_cast<int>(RedOf(color)), static_cast<int>(GreenOf(color)),
                  static_cast<int>(BlueOf(color)));
}

inline ColorRef ToColorRef(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return MakeRgb(static_cast<unsigned>(rgb.red()), static_cast<unsigned>(rgb.green()),
                   static_cast<unsigned>(rgb.blue()));
}
