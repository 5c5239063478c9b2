#pragma once
// The options sheet: pages General, Display 1, Display 2 and Extension with OK, Cancel
// and Apply.
// The main window owns it for the whole run and shows it modally on demand; the pages
// write the settings themselves and the sheet reports each page that did through
// optionsApplied. User-interface thread.

#include "COptionPage.h"

#include <QDialog>

#include <array>
#include <functional>
#include <string>
#include <vector>

class CPrpOptionP1;
class CPrpOptionP2;
class CPrpOptionP3;
class CPrpOptionP4;
class QDialogButtonBox;
class QTabWidget;

class CPrsOption : public QDialog {
    Q_OBJECT

public:
    using InterfaceSource = std::function<int(std::vector<std::string> &)>;

    explicit CPrsOption(QWidget *parent = nullptr);

    // Where the General page lists the network interfaces, each time the sheet is shown.
    void SetInterfaceSource(InterfaceSource source);

    int DoModal();
    bool IsShown() const { return m_bShown; }
    // Closes a shown sheet as Cancel does; for the main window closing while it is shown.
    void DestroyWindow();

public slots:
    void accept() override; // OK: applies, and closes only when every page accepted
    void done(int result) override;

signals:
    // A page has written its settings; `page` is its OptionPageNumber.
    void optionsApplied(int page);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void CreateButtons();
    // From the pages: a page saw a change (enables Apply), and a page has applied.
    void OnPageChanged();
    void OnPageApplied(int page, int wasModified);
    void OnApplyNow();
    void OnTabChanged(int index);
    void ActivatePage(int index);
    void ChainTabOrder(const COptionPage *page);
    int ApplyPages();
    void SetCurrentTab(int index);

    QTabWidget *m_pTabs = nullptr;
    QDialogButtonBox *m_pButtons = nullptr;
    CPrpOptionP1 *m_pPageGeneral = nullptr;
    CPrpOptionP2 *m_pPageDisplay1 = nullptr;
    CPrpOptionP3 *m_pPageDisplay2 = nullptr;
    CPrpOptionP4 *m_pPageExtension = nullptr;
    std::array<COptionPage *, kPageExtension> m_apPages {};
    int m_nActivePage = 0;
    bool m_bShown = false;
};
