#include "CSetWndPos.h"

#include "IniCodec.h"

namespace {

constexpr const char *kSection = "RECENT_WNDPOS";

struct PlacementKey {
    const char *key;
    std::int32_t WndPlacement::*word;
};

constexpr PlacementKey kPlacementKeys[] = {
    {"MAIN_FLAGS", &WndPlacement::flags}, {"MAIN_SHOW", &WndPlacement::showCmd},
    {"MAIN_MIN_X", &WndPlacement::minX},  {"MAIN_MIN_Y", &WndPlacement::minY},
    {"MAIN_MAX_X", &WndPlacement::maxX},  {"MAIN_MAX_Y", &WndPlacement::maxY},
    {"MAIN_NML_L", &WndPlacement::left},  {"MAIN_NML_T", &WndPlacement::top},
    {"MAIN_NML_R", &WndPlacement::right}, {"MAIN_NML_B", &WndPlacement::bottom},
};

} // namespace

int CSetWndPos::Load(const std::string &path)
{
    std::scoped_lock lock(m_lock);
    CIniSection ini(kSection, path);
    m_placement.length = kPlacementLength;
    for (const auto &[key, word] : kPlacementKeys)
        m_placement.*word = ReadIniInt(ini, key, -1, -2);
    m_nTopMost = ReadIniInt(ini, "TOP_MOST", 0, -1) != 0 ? 1 : 0;
    ini.Commit();
    return 1;
}

int CSetWndPos::Save(const std::string &path)
{
    std::scoped_lock lock(m_lock);
    CIniSection ini(kSection, path);
    for (const auto &[key, word] : kPlacementKeys)
        WriteIniInt(ini, key, m_placement.*word);
    WriteIniInt(ini, "TOP_MOST", m_nTopMost != 0 ? 1 : 0);
    ini.Commit();
    return 1;
}

void CSetWndPos::Reset()
{
    std::scoped_lock lock(m_lock);
    m_placement = WndPlacement{};
    m_placement.length = kPlacementLength;
    m_nTopMost = 0;
}

int CSetWndPos::GetPlacement(WndPlacement *placement) const
{
    if (!placement)
        return 0;
    std::scoped_lock lock(m_lock);
    *placement = m_placement;
    return m_placement.left >= 0 || m_placement.top >= 0 || m_placement.right >= 0
                   || m_placement.bottom >= 0
               ? 1
               : 0;
}

int CSetWndPos::SetPlacement(const WndPlacement *placement)
{
    if (!placement)
        return 0;
    std::scoped_lock lock(m_lock);
    m_placement = *placement;
    return 1;
}

int CSetWndPos::GetTopMost() const
{
    std::scoped_lock lock(m_lock);
    return m_nTopMost;
}

int CSetWndPos::SetTopMost(int topMost)
{
    std::scoped_lock lock(m_lock);
    m_nTopMost = topMost;
    return 1;
}
