#pragma once
// The Extension page: how rates are written, which interfaces are counted, the live rates
// in the notification area, the graph's scale and the traffic totals. Applying stores them
// in [CORVALA_EXTRA], which writes only the values that changed. User-interface thread.

#include "COptionPage.h"

#include "CSetExtra.h"

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;

class CPrpOptionP4 : public COptionPage {
    Q_OBJECT

public:
    explicit CPrpOptionP4(QWidget *parent = nullptr);

    int OnSetActive() override;
    int OnApply() override;

protected:
    void CreateControls(QWidget *window, const DialogUnits &units) override;
    void ForgetControls() override;
    int ReadFields() override;
    void WriteFields() override;

private:
    void CreateLists(QWidget *window, const DialogUnits &units);
    void CreateChecks(QWidget *window, const DialogUnits &units);
    void CreateTotals(QWidget *window, const DialogUnits &units);
    QCheckBox *CreateCheck(QWidget *window, const DialogUnits &units, CSetExtra::Key key, const char *text, int y);
    void CreateList(QWidget *window, const DialogUnits &units, CSetExtra::Key key, const char *label,
                          int x, int y, int width);
    int ShownValue(CSetExtra::Key key) const;
    void Show(CSetExtra::Key key, int value);
    void EnableTotals();
    void CheckModified();

    // The list or check box of each key; none for CAP_MIB, which has the edit.
    std::array<QWidget *, CSetExtra::kKeyCount> m_apControls {};
    QLineEdit *m_editCapMib = nullptr;
    int m_nCapMib = 0;
};
