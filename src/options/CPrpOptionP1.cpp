#include "CPrpOptionP1.h"

#include "CSetSystem.h"
#include "CStepSpinCtrl.h"
#include "IniPath.h"
#include "IntegerExchange.h"
#include "OptionMessage.h"
#include "PageLayout.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr const char *kCaption = "全般";
constexpr const char *kInterfaceGroup = "表示するネットワークインターフェース";
constexpr const char *kIntervalGroup = "更新頻度";
constexpr const char *kIntervalUnit = "(ミリ秒) (%1 ～ %2)"; // the interval's range

constexpr int kMinInterval = 50;
constexpr int kMaxInterval = 3000;
constexpr int kIntervalStep = 100;
constexpr int kTwoSamplesFrom = 1000; // ms

// From one second on, the counters are sampled twice per update.
int CounterWaitFor(int interval)
{
    return interval < kTwoSamplesFrom ? interval : interval / 2;
}

} // namespace

CPrpOptionP1::CPrpOptionP1(QWidget *parent)
    : COptionPage(QString::fromUtf8(kCaption), 201, 209, parent)
{
}

void CPrpOptionP1::SetInterfaceSource(std::function<int(std::vector<std::string> &)> source)
{
    m_fnEnumInterfaces = std::move(source);
}

void CPrpOptionP1::CreateControls(QWidget *window, const DialogUnits &units)
{
    CreateGroupBox(QString::fromUtf8(kInterfaceGroup), window, units, 5, 5, 190, 40);
    m_cbInterface = new QComboBox(window);
    m_cbInterface->setObjectName(QStringLiteral("cbInterface"));
    NameByLabel(m_cbInterface, kInterfaceGroup);
    PlaceControl(m_cbInterface, units, 15, 20, 170, 12);
    m_cbInterface->resize(m_cbInterface->width(), m_cbInterface->sizeHint().height());
    CreateGroupBox(QString::fromUtf8(kIntervalGroup), window, units, 5, 50, 190, 40);
    m_editInterval = new QLineEdit(window);
    m_editInterval->setObjectName(QStringLiteral("editInterval"));
    NameByLabel(m_editInterval, kIntervalGroup);
    PlaceControl(m_editInterval, units, 15, 65, 35, 14);
    m_spinInterval = new CStepSpinCtrl(window);
    m_spinInterval->setObjectName(QStringLiteral("spinInterval"));
    NameByLabel(m_spinInterval, kIntervalGroup);
    PlaceControl(m_spinInterval, units, 130, 65, 9, 14);
    m_spinInterval->SetBuddy(m_editInterval);
    const QString unit = QString::fromUtf8(kIntervalUnit).arg(kMinInterval).arg(kMaxInterval);
    CreateStaticText(unit.toUtf8().constData(), Qt::AlignCenter, window, units, 50, 65, 65, 14);
    connect(m_cbInterface, &QComboBox::currentIndexChanged, this, &CPrpOptionP1::OnControlChanged);
    connect(m_editInterval, &QLineEdit::textChanged, this, &CPrpOptionP1::OnControlChanged);
}

void CPrpOptionP1::ForgetControls()
{
    m_spinInterval = nullptr;
    m_cbInterface = nullptr;
    m_editInterval = nullptr;
}

int CPrpOptionP1::ReadFields()
{
    return ExchangeIntFromEdit(m_editInterval, m_nInterval);
}

void CPrpOptionP1::WriteFields()
{
    m_editInterval->setText(QString::number(m_nInterval));
}

int CPrpOptionP1::OnSetActive()
{
    if (!m_bInitialized) {
        FillInterfaces();
        SelectStoredInterface();
        m_nInterval = theSetSystem.m_CntBase.GetDisplayWait();
        m_spinInterval->SetRange(kMinInterval, kMaxInterval);
        m_spinInterval->SetPos(m_nInterval);
        m_spinInterval->SetStep(kIntervalStep);
        m_bInitialized = 1;
    }
    return COptionPage::OnSetActive();
}

void CPrpOptionP1::FillInterfaces()
{
    m_astrInterfaces.clear();
    if (m_fnEnumInterfaces)
        m_fnEnumInterfaces(m_astrInterfaces);
    // The system names them in its code page (UTF-8 on Linux).
    for (std::size_t i = 0; i < m_astrInterfaces.size(); ++i)
        m_cbInterface->addItem(QString::fromLocal8Bit(m_astrInterfaces[i]), static_cast<int>(i));
    // A combo box selects its first item by itself; the list starts with no selection.
    m_cbInterface->setCurrentIndex(-1);
}

void CPrpOptionP1::SelectStoredInterface()
{
    const std::string stored = theSetSystem.m_CntBase.GetInsName();
    if (stored.empty())
        return;
    for (int item = 0; item < m_cbInterface->count(); ++item) {
        const auto index = static_cast<std::size_t>(m_cbInterface->itemData(item).toInt());
        if (m_astrInterfaces[index] == stored) {
            m_cbInterface->setCurrentIndex(item);
            return;
        }
    }
}

bool CPrpOptionP1::GetSelectedName(std::string &name) const
{
    const int item = m_cbInterface->currentIndex();
    if (item < 0)
        return false;
    name = m_astrInterfaces[static_cast<std::size_t>(m_cbInterface->itemData(item).toInt())];
    return true;
}

void CPrpOptionP1::OnControlChanged()
{
    if (m_bInitialized)
        CheckModified();
}

int CPrpOptionP1::CheckModified()
{
    // A refused text has shown its message; the last good interval is compared instead.
    const int result = ReadFields();
    std::string name;
    if (!GetSelectedName(name))
        return result;
    const CSetCntBase &base = theSetSystem.m_CntBase;
    if (name != base.GetInsName() || m_nInterval != base.GetDisplayWait())
        SetModified();
    return result;
}

int CPrpOptionP1::OnApply()
{
    const int wasModified = m_bModified;
    ReadFields();
    if (m_nInterval < kMinInterval || m_nInterval > kMaxInterval) {
        ShowRangeMessage(this, kMinInterval, kMaxInterval);
        return 0;
    }
    if (m_bModified && !StoreSettings())
        return 0;
    emit applied(kPageGeneral, wasModified);
    return 1;
}

int CPrpOptionP1::StoreSettings()
{
    std::string name;
    if (!GetSelectedName(name) || name.empty())
        return 0;
    CSetCntBase &base = theSetSystem.m_CntBase;
    base.SetInsName(name.c_str());
    base.SetDisplayWait(m_nInterval);
    base.SetCounterWait(CounterWaitFor(m_nInterval));
    base.Save(GetIniPath());
    return 1;
}
