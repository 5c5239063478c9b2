#pragma once
// Conversions between the stored 0x00BBGGRR colour and Qt's colours. Only red, green and
// blue cross over: the stored colours are solid. Qt code only.

#include "ColorRef.h"

#include <QColor>
#include <QRgb>

constexpr QRgb RgbOf(ColorRef color)
{
    return qRgb(static_cast<int>(RedOf(color)), static_cast<int>(GreenOf(color)),
                static_cast<int>(BlueOf(color)));
}

inline QColor ToQColor(ColorRef color)
{
    return QColor(RgbOf(color));
}

inline ColorRef ToColorRef(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return MakeRgb(static_cast<unsigned>(rgb.red()), static_cast<unsigned>(rgb.green()),
                   static_cast<unsigned>(rgb.blue()));
}
