#include "CColorButton.h"

#include "ColorRefQt.h"

#include <QPainter>
#include <qdrawutil.h>

CColorButton::CColorButton(QWidget *parent)
    : QPushButton(parent)
    , m_crColor(ToColorRef(palette().color(QPalette::Button)))
{
}

void CColorButton::SetColor(ColorRef crColor)
{
    m_crColor = crColor;
    update();
}

void CColorButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor fill = isEnabled() ? ToQColor(m_crColor) : palette().color(QPalette::Button);
    painter.fillRect(rect(), fill);
    // The Windows panel edge: two lines on each side, light above and left when raised.
    qDrawWinPanel(&painter, rect(), palette(), isDown());
}
