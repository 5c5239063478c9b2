#pragma once
// An up-down control: two arrow buttons at the right edge of a buddy (a label or an edit)
// into which it writes its position as a plain number. It steps by one and wraps: a step
// past one end of the range lands on the other end. User-interface thread.

#include <QWidget>

class QToolButton;

class CSpinButtonCtrl : public QWidget {
    Q_OBJECT

public:
    explicit CSpinButtonCtrl(QWidget *parent = nullptr);

    // Moves this control to the buddy's right edge and narrows the buddy by its width, so
    // place this control first. Up and Down in a focusable buddy step the control too.
    void SetBuddy(QWidget *buddy);
    // Any position is kept and shown as it is, also one outside the range: a stored value
    // that the range does not cover survives an apply unchanged until the user steps.
    void SetPos(int pos);
    int GetPos() const { return m_nPos; }
    // The range does not move the position (pages set the position before the range).
    virtual void SetRange(int lower, int upper);
    void GetRange(int &lower, int &upper) const;

signals:
    // Sent before each step with the position about to change and the proposed change.
    void deltaPos(int pos, int delta);

protected:
    // Before-move hook; it may replace the change. This one passes the notice to the owner.
    virtual void OnDeltaPos(int pos, int &delta);
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QToolButton *CreateArrow(Qt::ArrowType arrow, int direction);
    void Step(int direction);
    void ReadBuddy();
    void WriteBuddy();

    QToolButton *m_pUp = nullptr;
    QToolButton *m_pDown = nullptr;
    QWidget *m_pBuddy = nullptr;
    int m_nPos = 0;
    int m_nLower = 0;
    int m_nUpper = 100;
};
