#include "CPrpOptionP2.h"

#include "CColorButton.h"
#include "CSetSystem.h"
#include "CSpinButtonCtrl.h"
#include "IniPath.h"
#include "PageLayout.h"
#include "PickColor.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

#include <iterator>

namespace {

constexpr const char *kCaption = "表示 1";
constexpr const char *kTypeGroup = "表示する内容";
constexpr const char *kBytes = "送受信バイト (&B)";
constexpr const char *kPackets = "送受信パケット (&P)";
constexpr const char *kDetailGroup = "表示する内容 詳細";
constexpr const char *kShowHeading = "----------- 表示項目 -----------";
constexpr const char *kColorHeading = "-- 色 --";
constexpr const char *kWidthHeading = "- 線幅 -";
constexpr const char *kRowTexts[CPrpOptionP2::kRows] = {
    "受信 Bytes/sec",
    "送信 Bytes/sec",
    "送受信 Bytes/sec",
    "受信 Packets/sec",
    "送信 Packets/sec",
    "送受信 Packets/sec",
    "受信 Packets/sec (Unicast)",
    "送信 Packets/sec (Unicast)",
    "受信 Packets/sec (Non-Unicast)",
    "送信 Packets/sec (Non-Unicast)",
};

constexpr int kMinWidth = 1;
constexpr int kMaxWidth = 10;

int RowY(int row)
{
    return 68 + 13 * row;
}

CSetCntData &Counter(int row)
{
    return theSetSystem.m_CntData[static_cast<std::size_t>(row)];
}

} // namespace

CPrpOptionP2::CPrpOptionP2(QWidget *parent)
    : COptionPage(QString::fromUtf8(kCaption), 199, 209, parent)
{
}

void CPrpOptionP2::CreateControls(QWidget *window, const DialogUnits &units)
{
    CreateTypeGroup(window, units);
    CreateGroupBox(QString::fromUtf8(kDetailGroup), window, units, 5, 45, 190, 160);
    CreateStaticText(kShowHeading, Qt::AlignCenter, window, units, 15, 55, 110, 10);
    CreateStaticText(kColorHeading, Qt::AlignCenter, window, units, 130, 55, 25, 10);
    CreateStaticText(kWidthHeading, Qt::AlignCenter, window, units, 160, 55, 25, 10);
    for (int row = 0; row < kRows; ++row)
        CreateRow(window, units, row);
}

void CPrpOptionP2::CreateTypeGroup(QWidget *window, const DialogUnits &units)
{
    CreateGroupBox(QString::fromUtf8(kTypeGroup), window, units, 5, 5, 190, 35);
    m_grpType = new QButtonGroup(window);
    const char *texts[] = {kBytes, kPackets};
    for (int type = 0; type < static_cast<int>(std::size(texts)); ++type) {
        auto *radio = new QRadioButton(QString::fromUtf8(texts[type]), window);
        radio->setObjectName(QStringLiteral("radioType%1").arg(type));
        NameByLabel(radio, texts[type]);
        PlaceControl(radio, units, type == 0 ? 15 : 105, 20, 70, 10);
        m_grpType->addButton(radio, type);
        connect(radio, &QRadioButton::clicked, this, [this, type] { OnTypeClicked(type); });
    }
}

void CPrpOptionP2::CreateRow(QWidget *window, const DialogUnits &units, int row)
{
    const auto r = static_cast<std::size_t>(row);
    const int y = RowY(row);
    const QString suffix = QString::number(row + 1);
    m_chkShow[r] = new QCheckBox(QString::fromUtf8(kRowTexts[r]), window);
    m_chkShow[r]->setObjectName(QStringLiteral("chkShow") + suffix);
    NameByLabel(m_chkShow[r], kRowTexts[r]);
    PlaceControl(m_chkShow[r], units, 15, y, 110, 10);
    m_btnColor[r] = new CColorButton(window);
    m_btnColor[r]->setObjectName(QStringLiteral("btnColor") + suffix);
    m_btnColor[r]->setAccessibleName(QString::fromUtf8(kRowTexts[r]) + QString::fromUtf8(" 色"));
    m_btnColor[r]->setFocusPolicy(Qt::ClickFocus); // not a tab stop
    PlaceControl(m_btnColor[r], units, 130, y, 25, 10);
    m_stWidth[r] = new QLabel(window);
    m_stWidth[r]->setObjectName(QStringLiteral("stWidth") + suffix);
    m_stWidth[r]->setAccessibleName(QString::fromUtf8(kRowTexts[r]) + QString::fromUtf8(" 線幅"));
    m_stWidth[r]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_stWidth[r]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PlaceControl(m_stWidth[r], units, 160, y, 25, 10);
    m_spinWidth[r] = new CSpinButtonCtrl(window);
    m_spinWidth[r]->setObjectName(QStringLiteral("spinWidth") + suffix);
    m_spinWidth[r]->setAccessibleName(m_stWidth[r]->accessibleName());
    PlaceControl(m_spinWidth[r], units, 185, y, 9, 10);
    m_spinWidth[r]->SetBuddy(m_stWidth[r]);

    connect(m_chkShow[r], &QCheckBox::clicked, this, &CPrpOptionP2::CheckModified);
    connect(m_btnColor[r], &CColorButton::clicked, this, [this, r] {
        PickColor(this, *m_btnColor[r], [this] { CheckModified(); });
    });
    connect(m_spinWidth[r], &CSpinButtonCtrl::deltaPos, this, &CPrpOptionP2::OnWidthDelta);
}

void CPrpOptionP2::ForgetControls()
{
    m_grpType = nullptr;
    m_spinWidth.fill(nullptr);
    m_stWidth.fill(nullptr);
    m_chkShow.fill(nullptr);
    m_btnColor.fill(nullptr);
}

int CPrpOptionP2::ReadFields()
{
    m_nType = m_grpType->checkedId();
    return 1;
}

void CPrpOptionP2::WriteFields()
{
    // An exclusive group cannot uncheck its last radio, so it lets go while writing: a
    // type other than 0 or 1 checks neither.
    m_grpType->setExclusive(false);
    for (QAbstractButton *radio : m_grpType->buttons())
        radio->setChecked(m_grpType->id(radio) == m_nType);
    m_grpType->setExclusive(true);
}

int CPrpOptionP2::OnSetActive()
{
    if (!m_bInitialized) {
        for (int row = 0; row < kRows; ++row)
            FillRow(row);
        m_nType = theSetSystem.m_CntBase.GetType();
        EnableRows(m_nType);
        WriteFields();
        m_bInitialized = 1;
    }
    return COptionPage::OnSetActive();
}

void CPrpOptionP2::FillRow(int row)
{
    const auto r = static_cast<std::size_t>(row);
    const CSetCntData &counter = Counter(row);
    m_btnColor[r]->SetColor(counter.GetColor());
    m_spinWidth[r]->SetPos(counter.GetWidth());
    m_spinWidth[r]->SetRange(kMinWidth, kMaxWidth);
    m_chkShow[r]->setChecked(counter.GetEnable() != 0);
}

void CPrpOptionP2::EnableRows(int nType)
{
    for (int row = 0; row < kRows; ++row) {
        const auto r = static_cast<std::size_t>(row);
        const bool enabled = IsCounterInGroup(row, nType);
        m_chkShow[r]->setEnabled(enabled);
        m_btnColor[r]->setEnabled(enabled);
        m_stWidth[r]->setEnabled(enabled);
        m_spinWidth[r]->setEnabled(enabled);
    }
}

bool CPrpOptionP2::RowDiffers(int row) const
{
    const auto r = static_cast<std::size_t>(row);
    const CSetCntData &counter = Counter(row);
    return m_btnColor[r]->GetColor() != counter.GetColor() || m_spinWidth[r]->GetPos() != counter.GetWidth()
           || m_chkShow[r]->isChecked() != (counter.GetEnable() != 0);
}

int CPrpOptionP2::CheckModified()
{
    if (!m_bInitialized)
        return 0;
    const int result = ReadFields();
    bool differs = theSetSystem.m_CntBase.GetType() != m_nType;
    for (int row = 0; row < kRows && !differs; ++row)
        differs = RowDiffers(row);
    if (differs)
        SetModified();
    return result;
}

void CPrpOptionP2::OnTypeClicked(int nType)
{
    EnableRows(nType);
    CheckModified();
}

void CPrpOptionP2::OnWidthDelta()
{
    // Every click counts as a change, even one that comes back to the stored width.
    SetModified();
    CheckModified();
}

int CPrpOptionP2::OnApply()
{
    const int wasModified = m_bModified;
    ReadFields();
    if (m_bModified) {
        for (int row = 0; row < kRows; ++row)
            StoreRow(row);
        theSetSystem.m_CntBase.SetType(m_nType);
        theSetSystem.m_CntBase.Save(GetIniPath());
    }
    WriteFields();
    emit applied(kPageDisplay1, wasModified);
    return 1;
}

void CPrpOptionP2::StoreRow(int row)
{
    const auto r = static_cast<std::size_t>(row);
    CSetCntData &counter = Counter(row);
    counter.SetColor(m_btnColor[r]->GetColor());
    counter.SetWidth(m_spinWidth[r]->GetPos());
    counter.SetEnable(m_chkShow[r]->isChecked() ? 1 : 0);
    counter.Save(GetIniPath());
}
