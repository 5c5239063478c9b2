#include "CStepSpinCtrl.h"

CStepSpinCtrl::CStepSpinCtrl(QWidget *parent)
    : CSpinButtonCtrl(parent)
{
    GetRange(m_nMin, m_nMax);
}

void CStepSpinCtrl::SetStep(int nStep)
{
    if (nStep > 0)
        m_nStep = nStep;
}

void CStepSpinCtrl::SetRange(int nMin, int nMax)
{
    m_nMin = nMin;
    m_nMax = nMax;
    CSpinButtonCtrl::SetRange(nMin, nMax);
}

void CStepSpinCtrl::OnDeltaPos(int pos, int &delta)
{
    const int target = delta > 0 ? pos + m_nStep : pos - m_nStep;
    // Past either end, the change is made to overshoot that end, so that the control's
    // wrap carries the position to the other end instead of stopping at the limit.
    if (target < m_nMin)
        delta = pos - target + m_nMin - m_nMax + 1;
    else if (target > m_nMax)
        delta = pos - target + m_nMax - m_nMin - 1;
    else
        delta *= m_nStep;
}
