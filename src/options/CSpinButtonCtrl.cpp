#include "CSpinButtonCtrl.h"

#include "IntegerExchange.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>

CSpinButtonCtrl::CSpinButtonCtrl(QWidget *parent)
    : QWidget(parent)
{
    // Like the platform's up-down, the control never takes the focus from its buddy.
    setFocusPolicy(Qt::NoFocus);
    m_pUp = CreateArrow(Qt::UpArrow, 1);
    m_pDown = CreateArrow(Qt::DownArrow, -1);
}

QToolButton *CSpinButtonCtrl::CreateArrow(Qt::ArrowType arrow, int direction)
{
    auto *button = new QToolButton(this);
    button->setObjectName(direction > 0 ? QStringLiteral("up") : QStringLiteral("down"));
    button->setArrowType(arrow);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRepeat(true);
    // pressed, not clicked: the first step comes at once and each auto-repeat presses again.
    connect(button, &QToolButton::pressed, this, [this, direction] { Step(direction); });
    return button;
}

void CSpinButtonCtrl::SetBuddy(QWidget *buddy)
{
    m_pBuddy = buddy;
    const QRect area = buddy->geometry();
    const int ownWidth = std::min(width(), area.width());
    buddy->setGeometry(area.x(), area.y(), area.width() - ownWidth, area.height());
    setGeometry(area.right() - ownWidth + 1, area.y(), ownWidth, area.height());
    if (buddy->focusPolicy() != Qt::NoFocus)
        buddy->installEventFilter(this);
}

void CSpinButtonCtrl::SetPos(int pos)
{
    m_nPos = pos;
    WriteBuddy();
}

void CSpinButtonCtrl::SetRange(int lower, int upper)
{
    m_nLower = lower;
    m_nUpper = upper;
}

void CSpinButtonCtrl::GetRange(int &lower, int &upper) const
{
    lower = m_nLower;
    upper = m_nUpper;
}

void CSpinButtonCtrl::OnDeltaPos(int pos, int &delta)
{
    emit deltaPos(pos, delta);
}

bool CSpinButtonCtrl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pBuddy && event->type() == QEvent::KeyPress && isEnabled()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CSpinButtonCtrl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int upper = height() / 2;
    m_pUp->setGeometry(0, 0, width(), upper);
    m_pDown->setGeometry(0, upper, width(), height() - upper);
}

void CSpinButtonCtrl::Step(int direction)
{
    ReadBuddy();
    // A position outside the range (a hand-edited setting) steps from the nearer end.
    const int pos = std::clamp(m_nPos, m_nLower, std::max(m_nLower, m_nUpper));
    int delta = direction;
    OnDeltaPos(pos, delta);
    int next = pos + delta;
    if (next > m_nUpper)
        next = m_nLower;
    else if (next < m_nLower)
        next = m_nUpper;
    SetPos(next);
}

void CSpinButtonCtrl::ReadBuddy()
{
    // A number typed into an edit buddy is where the next step starts; other text is
    // ignored and the last position stands.
    if (const auto *edit = qobject_cast<QLineEdit *>(m_pBuddy))
        ParseInteger(edit->text().toStdString(), m_nPos);
}

void CSpinButtonCtrl::WriteBuddy()
{
    const QString text = QString::number(m_nPos);
    if (auto *label = qobject_cast<QLabel *>(m_pBuddy))
        label->setText(text);
    else if (auto *edit = qobject_cast<QLineEdit *>(m_pBuddy))
        edit->setText(text);
}
