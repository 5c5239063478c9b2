#pragma once
// The General page: the network interface to sample and the update interval (50 to 3000
// milliseconds). Applying stores INS_NAME, DISPLAY_WAIT and COUNTER_WAIT and saves
// [TIME] and [CNTBASE]. User-interface thread.

#include "COptionPage.h"

#include <functional>
#include <string>
#include <vector>

class CStepSpinCtrl;
class QComboBox;
class QLineEdit;

class CPrpOptionP1 : public COptionPage {
    Q_OBJECT

public:
    explicit CPrpOptionP1(QWidget *parent = nullptr);

    void SetInterfaceSource(std::function<int(std::vector<std::string> &)> source);

    int OnSetActive() override;
    int OnApply() override;

protected:
    void CreateControls(QWidget *window, const DialogUnits &units) override;
    void ForgetControls() override;
    int ReadFields() override;
    void WriteFields() override;

private:
    void FillInterfaces();
    void SelectStoredInterface();
    bool GetSelectedName(std::string &name) const;
    int CheckModified();
    void OnControlChanged();
    int StoreSettings();

    CStepSpinCtrl *m_spinInterval = nullptr;
    QComboBox *m_cbInterface = nullptr;
    QLineEdit *m_editInterval = nullptr;
    int m_nInterval = 1000;
    std::vector<std::string> m_astrInterfaces;
    std::function<int(std::vector<std::string> &)> m_fnEnumInterfaces;
};
