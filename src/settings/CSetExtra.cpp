#include "CSetExtra.h"

#include "IniCodec.h"

namespace {

constexpr const char *kSection = "CORVALA_EXTRA";

// A value is valid from `minimum` to `maximum`, or with `endsOnly` at exactly one of them.
struct KeyRule {
    const char *name;
    int def;
    int minimum;
    int maximum;
    bool endsOnly;
};

// 16777215 MiB is 16 PiB a month: beyond any plan, and its bytes still fit 64 bits.
constexpr KeyRule kRules[CSetExtra::kKeyCount] = {
    {"RATE_UNIT", 0, 0, 1, false},
    {"RATE_BASE", CSetExtra::kBaseBinary, CSetExtra::kBaseDecimal, CSetExtra::kBaseBinary, true},
    {"RATE_DECIMALS", 3, 0, 3, false},
    {"TRAY_TIP", 0, 0, 1, false},
    {"TRAY_ICON", 0, 0, 1, false},
    {"GRAPH_TIP", 0, 0, 1, false},
    {"GRAPH_SCALE", 0, 0, 1, false},
    {"SOURCE", 0, 0, 2, false},
    {"TOTALS", 0, 0, 1, false},
    {"CAP_MIB", 0, 0, 16777215, false},
    {"CAP_DAY", 1, 1, 28, false},
};

const KeyRule &RuleOf(CSetExtra::Key key)
{
    return kRules[static_cast<std::size_t>(key)];
}

bool IsKey(CSetExtra::Key key)
{
    return key >= 0 && key < CSetExtra::kKeyCount;
}

} // namespace

CSetExtra::Values CSetExtra::Defaults()
{
    Values values {};
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = kRules[i].def;
    return values;
}

const char *CSetExtra::KeyName(Key key)
{
    return IsKey(key) ? RuleOf(key).name : "";
}

int CSetExtra::DefaultOf(Key key)
{
    return IsKey(key) ? RuleOf(key).def : 0;
}

int CSetExtra::MinimumOf(Key key)
{
    return IsKey(key) ? RuleOf(key).minimum : 0;
}

int CSetExtra::MaximumOf(Key key)
{
    return IsKey(key) ? RuleOf(key).maximum : 0;
}

bool CSetExtra::IsValid(Key key, int value)
{
    if (!IsKey(key))
        return false;
    const KeyRule &rule = RuleOf(key);
    if (rule.endsOnly)
        return value == rule.minimum || value == rule.maximum;
    return value >= rule.minimum && value <= rule.maximum;
}

int CSetExtra::Load(const std::string &path)
{
    std::scoped_lock lock(m_lock);
    CIniSection ini(kSection, path);
    for (int i = 0; i < kKeyCount; ++i) {
        const auto key = static_cast<Key>(i);
        int value = 0;
        if (!PeekIniInt(ini, KeyName(key), value) || !IsValid(key, value))
            value = DefaultOf(key);
        m_anValues[static_cast<std::size_t>(i)] = value;
    }
    m_anStored = m_anValues;
    return 1;
}

int CSetExtra::Save(const std::string &path)
{
    std::scoped_lock lock(m_lock);
    CIniSection ini(kSection, path);
    for (std::size_t i = 0; i < m_anValues.size(); ++i) {
        if (m_anValues[i] != m_anStored[i])
            WriteIniInt(ini, kRules[i].name, m_anValues[i]);
    }
    ini.Commit();
    m_anStored = m_anValues;
    return 1;
}

void CSetExtra::Reset()
{
    std::scoped_lock lock(m_lock);
    m_anValues = Defaults();
}

int CSetExtra::GetValue(Key key) const
{
    return IsKey(key) ? Get(m_anValues[static_cast<std::size_t>(key)]) : 0;
}

int CSetExtra::SetValue(Key key, int value)
{
    return IsValid(key, value) ? Set(m_anValues[static_cast<std::size_t>(key)], value) : 0;
}
