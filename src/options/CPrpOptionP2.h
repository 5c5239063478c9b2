#pragma once
// The Display 1 page: the counter group shown (bytes or packets) and, for each of the ten
// counter definitions, whether it is drawn, its line colour and its line width. Applying
// saves all ten [CNTDATA_n] sections and [CNTBASE]. User-interface thread.

#include "COptionPage.h"
#include "CSetSystem.h"

#include <array>

class CColorButton;
class CSpinButtonCtrl;
class QButtonGroup;
class QCheckBox;
class QLabel;

class CPrpOptionP2 : public COptionPage {
    Q_OBJECT

public:
    static constexpr int kRows = kCounterCount; // one per counter definition

    explicit CPrpOptionP2(QWidget *parent = nullptr);

    int OnSetActive() override;
    int OnApply() override;

protected:
    void CreateControls(QWidget *window, const DialogUnits &units) override;
    void ForgetControls() override;
    int ReadFields() override;
    void WriteFields() override;

private:
    void CreateTypeGroup(QWidget *window, const DialogUnits &units);
    void CreateRow(QWidget *window, const DialogUnits &units, int row);
    void FillRow(int row);
    void EnableRows(int nType);
    bool RowDiffers(int row) const;
    int CheckModified();
    void OnTypeClicked(int nType);
    void OnWidthDelta();
    void StoreRow(int row);

    int m_nType = -1; // 0 bytes, 1 packets, -1 when neither radio is checked
    QButtonGroup *m_grpType = nullptr;
    std::array<CSpinButtonCtrl *, kRows> m_spinWidth {};
    std::array<QLabel *, kRows> m_stWidth {};
    std::array<QCheckBox *, kRows> m_chkShow {};
    std::array<CColorButton *, kRows> m_btnColor {};
};
