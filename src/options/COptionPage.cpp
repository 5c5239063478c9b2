#include "COptionPage.h"

#include "DialogUnits.h"

COptionPage::COptionPage(const QString &caption, int templateWidth, int templateHeight,
                         QWidget *parent)
    : QWidget(parent)
{
    setWindowTitle(caption);
    setFont(DialogUnits::DialogFont());
    const DialogUnits units(font());
    setMinimumSize(units.X(templateWidth), units.Y(templateHeight));
}

void COptionPage::CreatePageWindow()
{
    if (m_pWindow)
        return;
    m_pWindow = new QWidget(this);
    m_pWindow->setGeometry(QRect(QPoint(0, 0), minimumSize()));
    CreateControls(m_pWindow, DialogUnits(font()));
    m_pWindow->show();
    m_bFirstSetActive = true;
}

void COptionPage::DestroyPageWindow()
{
    if (!m_pWindow)
        return;
    ForgetControls();
    // Deleted later: the close that gets here may come from an event still travelling
    // through one of these controls (Escape pressed in an edit).
    m_pWindow->hide();
    m_pWindow->deleteLater();
    m_pWindow = nullptr;
    m_bInitialized = 0;
}

QList<QWidget *> COptionPage::TabStops() const
{
    QList<QWidget *> stops;
    if (!m_pWindow)
        return stops;
    // The controls are created in template order, which is the order of the children.
    for (QWidget *control : m_pWindow->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (control->focusPolicy() & Qt::TabFocus)
            stops.append(control);
    return stops;
}

void COptionPage::FocusFirstControl()
{
    for (QWidget *control : TabStops()) {
        if (control->isEnabled()) {
            control->setFocus();
            return;
        }
    }
}

int COptionPage::OnSetActive()
{
    if (m_bFirstSetActive)
        m_bFirstSetActive = false;
    else
        WriteFields();
    return 1;
}

int COptionPage::OnKillActive()
{
    return ReadFields();
}

int COptionPage::ReadFields()
{
    return 1;
}

void COptionPage::WriteFields()
{
}

void COptionPage::SetModified()
{
    m_bModified = 1;
    emit changed();
}
