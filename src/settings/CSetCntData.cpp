#include "CSetCntData.h"

#include "IniCodec.h"

void CSetCntData::SetDefaults(const std::string &section, ColorRef color, const std::string &cntName,
                              const std::string &unitName, int format)
{
    m_strSection = section;
    m_crDefColor = color;
    m_strDefCntName = cntName;
    m_strDefUnitName = unitName;
    m_nDefFormat = format;
}

int CSetCntData::Load(const std::string &path)
{
    std::scoped_lock lock(m_lock);
    CIniSection ini(m_strSection.c_str(), path);
    m_nEnable = ReadIniInt(ini, "ENABLE", 0, -1) != 0 ? 1 : 0;
    m_strCntName = ReadIniString(ini, "CNT_NAME", m_strDefCntName, kIniAbsent, kIniBufferSize);
    m_strUnitName = ReadIniString(ini, "UNIT_NAME", m_strDefUnitName, kIniAbsent, kIniBufferSize);
    m_nFormat = ReadIniInt(ini, "FORMAT", m_nDefFormat, -1);
    m_nWidth = ReadIniInt(ini, "WIDTH", 1, 0);
    m_crColor = ReadIniColor(ini, "COLOR", m_crDefColor, kIniColorMarker);
    ini.Commit();
    if (m_strCntName == kIniBlank)
        m_strCntName.clear();
    if (m_strUnitName == kIniBlank)
        m_strUnitName.clear();
    return 1;
}

int CSetCntData::Save(const std::string &path)
{
    std::scoped_lock lock(m_lock);
    CIniSection ini(m_strSection.c_str(), path);
    WriteIniInt(ini, "ENABLE", m_nEnable != 0 ? 1 : 0);
    WriteIniString(ini, "CNT_NAME", m_strCntName.empty() ? kIniBlank : m_strCntName);
    WriteIniString(ini, "UNIT_NAME", m_strUnitName.empty() ? kIniBlank : m_strUnitName);
    WriteIniInt(ini, "FORMAT", m_nFormat);
    WriteIniInt(ini, "WIDTH", m_nWidth);
    WriteIniColor(ini, "COLOR", m_crColor);
    ini.Commit();
    return 1;
}

void CSetCntData::Reset()
{
    std::scoped_lock lock(m_lock);
    m_strDefCntName = kIniBlank;
    m_strDefUnitName = kIniBlank;
    m_nDefFormat = -1;
    m_nEnable = 0;
    m_strCntName.clear();
    m_strUnitName.clear();
    m_nFormat = 0;
    m_nWidth = 0;
    m_crColor = 0;
}

int CSetCntData::GetEnable() const { return Get(m_nEnable); }
int CSetCntData::SetEnable(int enable) { return Set(m_nEnable, enable); }
std::string CSetCntData::GetCntName() const { return Get(m_strCntName); }
std::string CSetCntData::GetUnitName() const { return Get(m_strUnitName); }
int CSetCntData::GetFormat() const { return Get(m_nFormat); }
int CSetCntData::GetWidth() const { return Get(m_nWidth); }
int CSetCntData::SetWidth(int width) { return Set(m_nWidth, width); }
ColorRef CSetCntData::GetColor() const { return Get(m_crColor); }
int CSetCntData::SetColor(ColorRef color) { return Set(m_crColor, color); }
