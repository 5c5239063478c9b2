#include "CPrpOptionP3.h"

#include "CColorButton.h"
#include "CSetSystem.h"
#include "CSpinButtonCtrl.h"
#include "IniPath.h"
#include "PageLayout.h"
#include "PickColor.h"

#include <QLabel>

namespace {

constexpr const char *kCaption = "表示 2";
constexpr const char *kColorGroup = "その他の色";
constexpr const char *kBackLabel = "背景色 :";
constexpr const char *kGridHLabel = "グリッド色 (水平) :";
constexpr const char *kGridVLabel = "グリッド色 (垂直) :";
constexpr const char *kSizeGroup = "グリッドの大きさ";
constexpr const char *kSizeHLabel = "水平線の間隔 :";
constexpr const char *kSizeVLabel = "垂直線の間隔 :";

constexpr int kMinSpacing = 4;
constexpr int kMaxSpacing = 20;

} // namespace

CPrpOptionP3::CPrpOptionP3(QWidget *parent)
    : COptionPage(QString::fromUtf8(kCaption), 203, 145, parent)
{
}

void CPrpOptionP3::CreateControls(QWidget *window, const DialogUnits &units)
{
    CreateColors(window, units);
    CreateSpacings(window, units);
}

void CPrpOptionP3::CreateColors(QWidget *window, const DialogUnits &units)
{
    CreateGroupBox(QString::fromUtf8(kColorGroup), window, units, 5, 5, 190, 65);
    m_btnBack = CreateSwatch(window, units, kBackLabel, 15, QStringLiteral("btnBack"));
    m_btnGridH = CreateSwatch(window, units, kGridHLabel, 30, QStringLiteral("btnGridH"));
    m_btnGridV = CreateSwatch(window, units, kGridVLabel, 45, QStringLiteral("btnGridV"));
}

void CPrpOptionP3::CreateSpacings(QWidget *window, const DialogUnits &units)
{
    CreateGroupBox(QString::fromUtf8(kSizeGroup), window, units, 5, 75, 190, 50);
    m_spinGridH = CreateSpacing(window, units, kSizeHLabel, 90, QStringLiteral("GridH"));
    m_spinGridV = CreateSpacing(window, units, kSizeVLabel, 105, QStringLiteral("GridV"));
}

CColorButton *CPrpOptionP3::CreateSwatch(QWidget *window, const DialogUnits &units,
                                         const char *label, int y, const QString &name)
{
    CreateStaticText(label, Qt::AlignLeft | Qt::AlignVCenter, window, units, 10, y, 55, 10);
    auto *swatch = new CColorButton(window);
    swatch->setObjectName(name);
    NameByLabel(swatch, label);
    PlaceControl(swatch, units, 70, y, 30, 10);
    connect(swatch, &CColorButton::clicked, this, [this, swatch] {
        PickColor(this, *swatch, [this] { CheckModified(); });
    });
    return swatch;
}

CSpinButtonCtrl *CPrpOptionP3::CreateSpacing(QWidget *window, const DialogUnits &units,
                                             const char *label, int y, const QString &name)
{
    CreateStaticText(label, Qt::AlignLeft | Qt::AlignVCenter, window, units, 10, y, 55, 10);
    // The up-down writes its position into this buddy; the page reads the up-down.
    auto *value = new QLabel(window);
    value->setObjectName(QStringLiteral("st") + name);
    NameByLabel(value, label);
    value->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    value->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PlaceControl(value, units, 70, y, 30, 10);
    auto *spin = new CSpinButtonCtrl(window);
    spin->setObjectName(QStringLiteral("spin") + name);
    NameByLabel(spin, label);
    PlaceControl(spin, units, 105, y, 9, 10);
    spin->SetBuddy(value);
    connect(spin, &CSpinButtonCtrl::deltaPos, this, &CPrpOptionP3::OnSpacingDelta);
    return spin;
}

void CPrpOptionP3::ForgetControls()
{
    m_spinGridV = m_spinGridH = nullptr;
    m_btnGridV = m_btnGridH = m_btnBack = nullptr;
}

int CPrpOptionP3::OnSetActive()
{
    if (!m_bInitialized) {
        const CSetCntBase &base = theSetSystem.m_CntBase;
        m_btnBack->SetColor(base.GetBackColor());
        m_btnGridH->SetColor(base.GetGridColorH());
        m_btnGridV->SetColor(base.GetGridColorV());
        m_spinGridH->SetPos(base.GetGridSizeH());
        m_spinGridH->SetRange(kMinSpacing, kMaxSpacing);
        m_spinGridV->SetPos(base.GetGridSizeV());
        m_spinGridV->SetRange(kMinSpacing, kMaxSpacing);
        m_bInitialized = 1;
    }
    return COptionPage::OnSetActive();
}

int CPrpOptionP3::CheckModified()
{
    if (!m_bInitialized)
        return 0;
    // The spacings are not compared: every up-down click marks the page by itself.
    const CSetCntBase &base = theSetSystem.m_CntBase;
    if (m_btnBack->GetColor() != base.GetBackColor() || m_btnGridH->GetColor() != base.GetGridColorH()
        || m_btnGridV->GetColor() != base.GetGridColorV())
        SetModified();
    return ReadFields();
}

void CPrpOptionP3::OnSpacingDelta()
{
    SetModified();
    CheckModified();
}

int CPrpOptionP3::OnApply()
{
    const int wasModified = m_bModified;
    if (m_bModified) {
        CSetCntBase &base = theSetSystem.m_CntBase;
        base.SetBackColor(m_btnBack->GetColor());
        base.SetGridColorH(m_btnGridH->GetColor());
        base.SetGridColorV(m_btnGridV->GetColor());
        base.SetGridSizeH(m_spinGridH->GetPos());
        base.SetGridSizeV(m_spinGridV->GetPos());
        base.Save(GetIniPath());
    }
    emit applied(kPageDisplay2, wasModified);
    return 1;
}
