#include "CSetColorDlg.h"

#include "IniCodec.h"

#include <cstdio>

namespace {

constexpr const char *kSection = "COLOR_DIALOG";
constexpr ColorRef kWhite = MakeRgb(255, 255, 255);

std::string KeyOf(int index)
{
    char key[16];
    std::snprintf(key, sizeof key, "COLOR_%02d", index + 1);
    return key;
}

bool InRange(int index)
{
    return index >= 0 && index < CSetColorDlg::kCount;
}

} // namespace

int CSetColorDlg::Load(const std::string &path)
{
    std::scoped_lock lock(m_lock);
    CIniSection ini(kSection, path);
    for (int i = 0; i < kCount; ++i)
        m_crColors[static_cast<std::size_t>(i)] = ReadIniColor(ini, KeyOf(i).c_str(), kWhite, kIniColorMarker);
    ini.Commit();
    return 1;
}

int CSetColorDlg::Save(const std::string &path)
{
    std::scoped_lock lock(m_lock);
    CIniSection ini(kSection, path);
    for (int i = 0; i < kCount; ++i)
        WriteIniColor(ini, KeyOf(i).c_str(), m_crColors[static_cast<std::size_t>(i)]);
    ini.Commit();
    return 1;
}

void CSetColorDlg::Reset()
{
    std::scoped_lock lock(m_lock);
    m_crColors.fill(kWhite);
}

ColorRef CSetColorDlg::GetCustomColor(int index) const
{
    return InRange(index) ? Get(m_crColors[static_cast<std::size_t>(index)]) : kWhite;
}

int CSetColorDlg::SetCustomColor(int index, ColorRef color)
{
    return InRange(index) ? Set(m_crColors[static_cast<std::size_t>(index)], color) : 0;
}
