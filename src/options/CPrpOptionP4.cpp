#include "CPrpOptionP4.h"

#include "CSetSystem.h"
#include "IniPath.h"
#include "IntegerExchange.h"
#include "OptionMessage.h"
#include "PageLayout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <utility>
#include <vector>

namespace {

constexpr const char *kCaption = "拡張";
constexpr const char *kRateGroup = "速度の表示";
constexpr const char *kUnitLabel = "単位 :";
constexpr const char *kBaseLabel = "単位の刻み :";
constexpr const char *kDecimalsLabel = "小数点以下の桁数 :";
constexpr const char *kShowGroup = "通知領域とグラフ";
constexpr const char *kTrafficGroup = "通信量";
constexpr const char *kSourceLabel = "対象 :";
constexpr const char *kCapLabel = "月間の上限 :";
constexpr const char *kCapUnit = "MiB (0: なし)";
constexpr const char *kDayLabel = "月の開始日 :";
constexpr const char *kDayUnit = "日";

struct CheckRow {
    CSetExtra::Key key;
    const char *text;
    int y;
};
constexpr CheckRow kCheckRows[] = {
    {CSetExtra::kTrayTip, "通知領域のツールチップに速度を表示 (&T)", 81},
    {CSetExtra::kTrayIcon, "通知領域のアイコンに速度を表示 (&I)", 92},
    {CSetExtra::kGraphTip, "グラフにポインタ位置の値を表示 (&V)", 103},
    {CSetExtra::kGraphScale, "グラフに目盛りの値を表示 (&S)", 114},
};
constexpr const char *kTotalsText = "今日と今月の通信量を積算 (&A)";

using Items = std::vector<std::pair<QString, int>>;

// Every value the key takes, as decimal numbers.
Items NumberItems(CSetExtra::Key key)
{
    Items items;
    for (int n = CSetExtra::MinimumOf(key); n <= CSetExtra::MaximumOf(key); ++n)
        items.emplace_back(QString::number(n), n);
    return items;
}

// What each list offers, in list order: the text and the value stored for it.
Items ItemsOf(CSetExtra::Key key)
{
    switch (key) {
    case CSetExtra::kRateUnit:
        return {{QString::fromUtf8("バイト (B/s)"), CSetExtra::kUnitBytes},
                {QString::fromUtf8("ビット (bit/s)"), CSetExtra::kUnitBits}};
    case CSetExtra::kRateBase:
        return {{QStringLiteral("%1 (K, M)").arg(CSetExtra::kBaseBinary), CSetExtra::kBaseBinary},
                {QStringLiteral("%1 (k, M, G)").arg(CSetExtra::kBaseDecimal), CSetExtra::kBaseDecimal}};
    case CSetExtra::kRateDecimals:
        return NumberItems(key);
    case CSetExtra::kSource:
        return {{QString::fromUtf8("全般ページで選択したもの"), CSetExtra::kSourceNamed},
                {QString::fromUtf8("物理インターフェースの合計"), CSetExtra::kSourcePhysicalSum},
                {QString::fromUtf8("既定のルートのもの"), CSetExtra::kSourceDefaultRoute}};
    case CSetExtra::kCapDay:
        return NumberItems(key);
    default:
        return {};
    }
}

CSetExtra &Extra()
{
    return theSetSystem.m_Extra;
}

} // namespace

CPrpOptionP4::CPrpOptionP4(QWidget *parent)
    : COptionPage(QString::fromUtf8(kCaption), 201, 209, parent)
{
}

void CPrpOptionP4::CreateControls(QWidget *window, const DialogUnits &units)
{
    CreateLists(window, units);
    CreateChecks(window, units);
    CreateTotals(window, units);
}

void CPrpOptionP4::CreateLists(QWidget *window, const DialogUnits &units)
{
    CreateGroupBox(QString::fromUtf8(kRateGroup), window, units, 5, 5, 190, 60);
    CreateList(window, units, CSetExtra::kRateUnit, kUnitLabel, 95, 17, 90);
    CreateList(window, units, CSetExtra::kRateBase, kBaseLabel, 95, 31, 90);
    CreateList(window, units, CSetExtra::kRateDecimals, kDecimalsLabel, 95, 45, 90);
}

void CPrpOptionP4::CreateChecks(QWidget *window, const DialogUnits &units)
{
    CreateGroupBox(QString::fromUtf8(kShowGroup), window, units, 5, 69, 190, 57);
    for (const CheckRow &row : kCheckRows)
        CreateCheck(window, units, row.key, row.text, row.y);
}

void CPrpOptionP4::CreateTotals(QWidget *window, const DialogUnits &units)
{
    CreateGroupBox(QString::fromUtf8(kTrafficGroup), window, units, 5, 130, 190, 75);
    CreateList(window, units, CSetExtra::kSource, kSourceLabel, 55, 142, 130);
    QCheckBox *totals = CreateCheck(window, units, CSetExtra::kTotals, kTotalsText, 158);
    connect(totals, &QCheckBox::toggled, this, &CPrpOptionP4::EnableTotals);
    CreateStaticText(kCapLabel, Qt::AlignLeft | Qt::AlignVCenter, window, units, 25, 172, 50, 10);
    m_editCapMib = new QLineEdit(window);
    m_editCapMib->setObjectName(QStringLiteral("editCAP_MIB"));
    NameByLabel(m_editCapMib, kCapLabel);
    PlaceControl(m_editCapMib, units, 78, 171, 45, 12);
    CreateStaticText(kCapUnit, Qt::AlignLeft | Qt::AlignVCenter, window, units, 126, 172, 59, 10);
    connect(m_editCapMib, &QLineEdit::textChanged, this, &CPrpOptionP4::CheckModified);
    CreateList(window, units, CSetExtra::kCapDay, kDayLabel, 78, 186, 30);
    CreateStaticText(kDayUnit, Qt::AlignLeft | Qt::AlignVCenter, window, units, 111, 187, 15, 10);
}

QCheckBox *CPrpOptionP4::CreateCheck(QWidget *window, const DialogUnits &units, CSetExtra::Key key,
                                     const char *text, int y)
{
    auto *check = new QCheckBox(QString::fromUtf8(text), window);
    check->setObjectName(QStringLiteral("chk") + CSetExtra::KeyName(key));
    NameByLabel(check, text);
    PlaceControl(check, units, 15, y, 170, 10);
    connect(check, &QCheckBox::clicked, this, &CPrpOptionP4::CheckModified);
    m_apControls[static_cast<std::size_t>(key)] = check;
    return check;
}

// A label from the group's left edge (or indented under a check box) up to the list.
void CPrpOptionP4::CreateList(QWidget *window, const DialogUnits &units, CSetExtra::Key key, const char *label,
                              int x, int y, int width)
{
    const int labelX = key == CSetExtra::kCapDay ? 25 : 15;
    CreateStaticText(label, Qt::AlignLeft | Qt::AlignVCenter, window, units, labelX, y + 1, x - labelX - 3, 10);
    auto *list = new QComboBox(window);
    list->setObjectName(QStringLiteral("cb") + CSetExtra::KeyName(key));
    NameByLabel(list, label);
    for (const auto &[text, value] : ItemsOf(key))
        list->addItem(text, value);
    PlaceControl(list, units, x, y, width, 12);
    list->resize(list->width(), list->sizeHint().height());
    connect(list, &QComboBox::activated, this, &CPrpOptionP4::CheckModified);
    m_apControls[static_cast<std::size_t>(key)] = list;
}

void CPrpOptionP4::ForgetControls()
{
    m_apControls.fill(nullptr);
    m_editCapMib = nullptr;
}

int CPrpOptionP4::ReadFields()
{
    return ExchangeIntFromEdit(m_editCapMib, m_nCapMib);
}

void CPrpOptionP4::WriteFields()
{
    m_editCapMib->setText(QString::number(m_nCapMib));
}

int CPrpOptionP4::OnSetActive()
{
    if (!m_bInitialized) {
        for (int i = 0; i < CSetExtra::kKeyCount; ++i)
            Show(static_cast<CSetExtra::Key>(i), Extra().GetValue(static_cast<CSetExtra::Key>(i)));
        m_nCapMib = Extra().GetCapMib();
        WriteFields();
        EnableTotals();
        m_bInitialized = 1;
    }
    return COptionPage::OnSetActive();
}

int CPrpOptionP4::ShownValue(CSetExtra::Key key) const
{
    if (key == CSetExtra::kCapMib)
        return m_nCapMib;
    QWidget *control = m_apControls[static_cast<std::size_t>(key)];
    if (auto *check = qobject_cast<QCheckBox *>(control))
        return check->isChecked() ? 1 : 0;
    return static_cast<QComboBox *>(control)->currentData().toInt();
}

void CPrpOptionP4::Show(CSetExtra::Key key, int value)
{
    QWidget *control = m_apControls[static_cast<std::size_t>(key)];
    if (auto *check = qobject_cast<QCheckBox *>(control))
        check->setChecked(value != 0);
    else if (auto *list = qobject_cast<QComboBox *>(control))
        list->setCurrentIndex(list->findData(value));
}

void CPrpOptionP4::EnableTotals()
{
    const bool on = static_cast<QCheckBox *>(m_apControls[CSetExtra::kTotals])->isChecked();
    m_editCapMib->setEnabled(on);
    m_apControls[CSetExtra::kCapDay]->setEnabled(on);
}

void CPrpOptionP4::CheckModified()
{
    if (!m_bInitialized)
        return;
    // While the cap is typed it is read quietly; leaving the page or applying says why
    // a text is refused.
    ParseInteger(m_editCapMib->text().toStdString(), m_nCapMib);
    for (int i = 0; i < CSetExtra::kKeyCount; ++i) {
        const auto key = static_cast<CSetExtra::Key>(i);
        if (ShownValue(key) != Extra().GetValue(key)) {
            SetModified();
            return;
        }
    }
}

int CPrpOptionP4::OnApply()
{
    const int wasModified = m_bModified;
    ReadFields();
    if (!CSetExtra::IsValid(CSetExtra::kCapMib, m_nCapMib)) {
        ShowRangeMessage(this, CSetExtra::MinimumOf(CSetExtra::kCapMib), CSetExtra::MaximumOf(CSetExtra::kCapMib));
        return 0;
    }
    if (m_bModified) {
        for (int i = 0; i < CSetExtra::kKeyCount; ++i)
            Extra().SetValue(static_cast<CSetExtra::Key>(i), ShownValue(static_cast<CSetExtra::Key>(i)));
        Extra().Save(GetIniPath());
    }
    emit applied(kPageExtension, wasModified);
    return 1;
}
