#pragma once
// The update interval's up-down: steps by m_nStep instead of one, and a step that would
// leave the range continues at its other end (2950 + 100 gives 50, 100 - 100 gives 3000).
// Positions in between are kept as typed: 75 steps to 175. User-interface thread.

#include "CSpinButtonCtrl.h"

class CStepSpinCtrl : public CSpinButtonCtrl {
    Q_OBJECT

public:
    explicit CStepSpinCtrl(QWidget *parent = nullptr);

    void SetStep(int nStep); // ignored unless positive
    void SetRange(int nMin, int nMax) override;

protected:
    // Handles its own before-move notice; the page never sees it.
    void OnDeltaPos(int pos, int &delta) override;

private:
    int m_nStep = 1;
    int m_nMin = 0;
    int m_nMax = 100;
};
