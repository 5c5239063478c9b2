#pragma once
// Dialog units to pixels, with the base units of the dialog font ("ＭＳ Ｐゴシック" 9 pt):
// x px = x * average character width / 4, y px = y * character height / 8.

#include <QFont>
#include <QRect>

inline constexpr const char *kDialogFontFace = "ＭＳ Ｐゴシック";

class DialogUnits {
public:
    static QFont DialogFont(int points = 9);

    DialogUnits() : DialogUnits(DialogFont()) {}
    explicit DialogUnits(const QFont &font);

    int X(int units) const { return units * m_baseX / 4; }
    int Y(int units) const { return units * m_baseY / 8; }
    QRect Rect(int x, int y, int width, int height) const
    {
        return QRect(X(x), Y(y), X(width), Y(height));
    }

private:
    int m_baseX = 6;
    int m_baseY = 12;
};
