#include "DialogUnits.h"

#include <QFontMetrics>

DialogUnits::DialogUnits(const QFont &font)
{
    // The average width is measured over the 52 Latin letters, as the dialog manager does.
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    if (letters > 0)
        m_baseX = (letters / 26 + 1) / 2;
    if (metrics.height() > 0)
        m_baseY = metrics.height();
}

QFont DialogUnits::DialogFont(int points)
{
    QFont font(QString::fromUtf8(kDialogFontFace));
    font.setPointSize(points);
    return font;
}
