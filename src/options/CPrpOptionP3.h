#pragma once
// The Display 2 page: the graph's background and grid colours and the grid spacing.
// Applying stores the five values and saves [CNTBASE]. User-interface thread.

#include "COptionPage.h"

#include "ColorRef.h"

class CColorButton;
class CSpinButtonCtrl;

class CPrpOptionP3 : public COptionPage {
    Q_OBJECT

public:
    explicit CPrpOptionP3(QWidget *parent = nullptr);

    int OnSetActive() override;
    int OnApply() override;

protected:
    void CreateControls(QWidget *window, const DialogUnits &units) override;
    void ForgetControls() override;

private:
    void CreateColors(QWidget *window, const DialogUnits &units);
    void CreateSpacings(QWidget *window, const DialogUnits &units);
    CColorButton *CreateSwatch(QWidget *window, const DialogUnits &units, const char *label, int y,
                               const QString &name);
    CSpinButtonCtrl *CreateSpacing(QWidget *window, const DialogUnits &units, const char *label,
                                   int y, const QString &name);
    int CheckModified();
    void OnSpacingDelta();

    // H is GRIDSIZE_H, the distance between the vertical grid lines, and V the other way.
    CSpinButtonCtrl *m_spinGridV = nullptr;
    CSpinButtonCtrl *m_spinGridH = nullptr;
    CColorButton *m_btnGridV = nullptr;
    CColorButton *m_btnGridH = nullptr;
    CColorButton *m_btnBack = nullptr;
};
