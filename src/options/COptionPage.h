#pragma once
// Common ground of the options pages. The page object lives as long as the sheet and
// keeps m_bModified for the whole run; its controls (the page window) are built when the
// page is first shown in one showing of the sheet and dropped when the sheet closes.
// User-interface thread.

#include <QWidget>

class DialogUnits;

// The pages' numbers, in sheet order: what a page reports when it has applied.
enum OptionPageNumber { kPageGeneral = 1, kPageDisplay1, kPageDisplay2, kPageExtension };

class COptionPage : public QWidget {
    Q_OBJECT

public:
    // templateWidth and templateHeight are the page's size in dialog units.
    COptionPage(const QString &caption, int templateWidth, int templateHeight,
                QWidget *parent = nullptr);

    bool HasWindow() const { return m_pWindow != nullptr; }
    void CreatePageWindow();
    void DestroyPageWindow();
    // The controls that Tab visits, in template order; none without a page window.
    QList<QWidget *> TabStops() const;
    void FocusFirstControl();

    // Called by the sheet each time the page becomes the current one; after the first
    // time in a page window's life it writes the exchanged fields back to the controls.
    virtual int OnSetActive();
    // Called by the sheet before another page, OK or Apply takes over; 0 keeps the page.
    virtual int OnKillActive();
    // Writes the page's values and saves them; 0 refuses and keeps the sheet open.
    virtual int OnApply() = 0;

signals:
    // A difference from the settings was seen (the sheet enables Apply).
    void changed();
    // The page has applied; wasModified tells whether it wrote anything.
    void applied(int page, int wasModified);

protected:
    virtual void CreateControls(QWidget *window, const DialogUnits &units) = 0;
    // The controls are about to go with the page window: forget every pointer to them.
    virtual void ForgetControls() = 0;
    // The field exchange, controls to members (0 on refusal) and members to controls.
    virtual int ReadFields();
    virtual void WriteFields();

    // Marks the page as differing from the settings and tells the sheet.
    void SetModified();

    int m_bInitialized = 0; // controls filled from the settings since the page window was built
    int m_bModified = 0;    // a difference from the settings was seen; never cleared

private:
    QWidget *m_pWindow = nullptr;
    bool m_bFirstSetActive = true;
};
