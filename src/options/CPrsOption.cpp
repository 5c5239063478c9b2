#include "CPrsOption.h"

#include "CPrpOptionP1.h"
#include "CPrpOptionP2.h"
#include "CPrpOptionP3.h"
#include "CPrpOptionP4.h"
#include "DialogUnits.h"
#include "OwnedDialog.h"

#include <QDialogButtonBox>
#include <QIcon>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr const char *kCaption = "オプション";

} // namespace

CPrsOption::CPrsOption(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    MakeOwnedDialog(this);
    setWindowTitle(QString::fromUtf8(kCaption));
    setFont(DialogUnits::DialogFont());
    m_pTabs = new QTabWidget(this);
    m_pPageGeneral = new CPrpOptionP1(this);
    m_pPageDisplay1 = new CPrpOptionP2(this);
    m_pPageDisplay2 = new CPrpOptionP3(this);
    m_pPageExtension = new CPrpOptionP4(this);
    m_apPages = {m_pPageGeneral, m_pPageDisplay1, m_pPageDisplay2, m_pPageExtension};
    for (COptionPage *page : m_apPages) {
        m_pTabs->addTab(page, page->windowTitle());
        connect(page, &COptionPage::changed, this, &CPrsOption::OnPageChanged);
        connect(page, &COptionPage::applied, this, &CPrsOption::OnPageApplied);
    }
    CreateButtons();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pTabs);
    layout->addWidget(m_pButtons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(m_pTabs, &QTabWidget::currentChanged, this, &CPrsOption::OnTabChanged);
}

void CPrsOption::CreateButtons()
{
    m_pButtons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    connect(m_pButtons, &QDialogButtonBox::accepted, this, &CPrsOption::accept);
    connect(m_pButtons, &QDialogButtonBox::rejected, this, &CPrsOption::reject);
    connect(m_pButtons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
            &CPrsOption::OnApplyNow);
    for (QAbstractButton *button : m_pButtons->buttons())
        button->setIcon(QIcon()); // plain text buttons, as a property sheet has
}

void CPrsOption::SetInterfaceSource(InterfaceSource source)
{
    m_pPageGeneral->SetInterfaceSource(std::move(source));
}

int CPrsOption::DoModal()
{
    return m_bShown ? 0 : exec();
}

void CPrsOption::DestroyWindow()
{
    if (m_bShown)
        reject();
}

void CPrsOption::OnPageChanged()
{
    m_pButtons->button(QDialogButtonBox::Apply)->setEnabled(true);
}

void CPrsOption::OnPageApplied(int page, int wasModified)
{
    if (wasModified)
        emit optionsApplied(page);
}

void CPrsOption::accept()
{
    if (ApplyPages())
        QDialog::accept();
}

void CPrsOption::done(int result)
{
    QDialog::done(result);
    // Each showing starts afresh: the pages fill their controls again next time.
    for (COptionPage *page : m_apPages)
        page->DestroyPageWindow();
    m_bShown = false;
}

void CPrsOption::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous() || m_bShown)
        return;
    m_bShown = true;
    m_pButtons->button(QDialogButtonBox::Apply)->setEnabled(false);
    SetCurrentTab(0);
    ActivatePage(0);
    // The sheet opens with the focus in the first page's first control, not on the tabs.
    m_apPages[0]->FocusFirstControl();
}

void CPrsOption::OnApplyNow()
{
    ApplyPages();
}

void CPrsOption::OnTabChanged(int index)
{
    if (index == m_nActivePage || !m_bShown)
        return;
    // The page being left may refuse (a text that is no integer); it is put back first,
    // so that its message and the focus land on a visible page.
    SetCurrentTab(m_nActivePage);
    if (!m_apPages[static_cast<std::size_t>(m_nActivePage)]->OnKillActive())
        return;
    SetCurrentTab(index);
    ActivatePage(index);
}

void CPrsOption::ActivatePage(int index)
{
    m_nActivePage = index;
    COptionPage *page = m_apPages[static_cast<std::size_t>(index)];
    page->CreatePageWindow();
    page->OnSetActive();
    ChainTabOrder(page);
}

// Tab goes from the tab strip through the page's controls to OK, Cancel and Apply, and
// from there back to the tab strip, as in a property sheet.
void CPrsOption::ChainTabOrder(const COptionPage *page)
{
    QList<QWidget *> chain {m_pTabs->tabBar()};
    chain += page->TabStops();
    for (auto which : {QDialogButtonBox::Ok, QDialogButtonBox::Cancel, QDialogButtonBox::Apply})
        chain.append(m_pButtons->button(which));
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
    // The button box hands the focus it gets to its first button: left behind in the chain
    // after Apply, it would send Tab from Apply back to OK.
    m_pButtons->setFocusProxy(nullptr);
}

int CPrsOption::ApplyPages()
{
    if (!m_apPages[static_cast<std::size_t>(m_nActivePage)]->OnKillActive())
        return 0;
    // In page order; the first refusal ends the apply and the sheet stays where it is.
    for (COptionPage *page : m_apPages)
        if (page->HasWindow() && !page->OnApply())
            return 0;
    m_pButtons->button(QDialogButtonBox::Apply)->setEnabled(false);
    return 1;
}

void CPrsOption::SetCurrentTab(int index)
{
    const QSignalBlocker blocker(m_pTabs);
    m_pTabs->setCurrentIndex(index);
}
