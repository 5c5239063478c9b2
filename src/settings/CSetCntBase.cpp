#include "CSetCntBase.h"

#include "IniCodec.h"

namespace {

constexpr const char *kTime = "TIME";
constexpr const char *kCntBase = "CNTBASE";
constexpr ColorRef kDarkRed = MakeRgb(127, 0, 0);

} // namespace

int CSetCntBase::Load(const std::string &path)
{
    std::scoped_lock lock(m_lock);
    m_nCounterWait = ReadIniInt(kTime, "COUNTER_WAIT", 500, -1, path);
    m_nDisplayWait = ReadIniInt(kTime, "DISPLAY_WAIT", 500, -1, path);
    m_nType = ReadIniInt(kCntBase, "TYPE", 0, -1, path);
    m_strInsName = ReadIniString(kCntBase, "INS_NAME", kIniBlank, kIniAbsent, path, kIniBufferSize);
    if (m_strInsName == kIniBlank)
        m_strInsName.clear();
    m_nInsIndex = ReadIniInt(kCntBase, "INS_INDEX", -1, -2, path);
    m_crBack = ReadIniColor(kCntBase, "BACKCOLOR", MakeRgb(0, 0, 0), kIniColorMarker, path);
    m_nGridSizeH = ReadIniInt(kCntBase, "GRIDSIZE_H", 1, -2, path);
    m_nGridSizeV = ReadIniInt(kCntBase, "GRIDSIZE_V", 1, -2, path);
    m_crGridH = ReadIniColor(kCntBase, "GRIDCOLOR_H", kDarkRed, kIniColorMarker, path);
    m_crGridV = ReadIniColor(kCntBase, "GRIDCOLOR_V", kDarkRed, kIniColorMarker, path);
    return 1;
}

int CSetCntBase::Save(const std::string &path)
{
    std::scoped_lock lock(m_lock);
    WriteIniInt(kTime, "COUNTER_WAIT", m_nCounterWait, path);
    WriteIniInt(kTime, "DISPLAY_WAIT", m_nDisplayWait, path);
    WriteIniInt(kCntBase, "TYPE", m_nType, path);
    WriteIniString(kCntBase, "INS_NAME", m_strInsName.empty() ? kIniBlank : m_strInsName, path);
    WriteIniInt(kCntBase, "INS_INDEX", m_nInsIndex, path);
    WriteIniColor(kCntBase, "BACKCOLOR", m_crBack, path);
    WriteIniInt(kCntBase, "GRIDSIZE_H", m_nGridSizeH, path);
    WriteIniInt(kCntBase, "GRIDSIZE_V", m_nGridSizeV, path);
    WriteIniColor(kCntBase, "GRIDCOLOR_H", m_crGridH, path);
    WriteIniColor(kCntBase, "GRIDCOLOR_V", m_crGridV, path);
    return 1;
}

void CSetCntBase::Reset()
{
    std::scoped_lock lock(m_lock);
    m_nCounterWait = 90;
    m_nDisplayWait = 500;
    m_nType = 0;
    m_strInsName.clear();
    m_nInsIndex = -1;
    m_crBack = MakeRgb(0, 0, 0);
    m_nGridSizeH = 1;
    m_nGridSizeV = 1;
    m_crGridH = kDarkRed;
    m_crGridV = kDarkRed;
}

int CSetCntBase::GetCounterWait() const { return Get(m_nCounterWait); }
int CSetCntBase::SetCounterWait(int wait) { return Set(m_nCounterWait, wait); }
int CSetCntBase::GetDisplayWait() const { return Get(m_nDisplayWait); }
int CSetCntBase::SetDisplayWait(int wait) { return Set(m_nDisplayWait, wait); }
int CSetCntBase::GetType() const { return Get(m_nType); }
int CSetCntBase::SetType(int type) { return Set(m_nType, type); }
std::string CSetCntBase::GetInsName() const { return Get(m_strInsName); }
int CSetCntBase::SetInsName(const char *name)
{
    return name ? Set(m_strInsName, std::string(name)) : 0;
}
int CSetCntBase::GetInsIndex() const { return Get(m_nInsIndex); }
int CSetCntBase::SetInsIndex(int index) { return Set(m_nInsIndex, index); }
ColorRef CSetCntBase::GetBackColor() const { return Get(m_crBack); }
int CSetCntBase::SetBackColor(ColorRef color) { return Set(m_crBack, color); }
int CSetCntBase::GetGridSizeH() const { return Get(m_nGridSizeH); }
int CSetCntBase::SetGridSizeH(int size) { return Set(m_nGridSizeH, size); }
int CSetCntBase::GetGridSizeV() const { return Get(m_nGridSizeV); }
int CSetCntBase::SetGridSizeV(int size) { return Set(m_nGridSizeV, size); }
ColorRef CSetCntBase::GetGridColorH() const { return Get(m_crGridH); }
int CSetCntBase::SetGridColorH(ColorRef color) { return Set(m_crGridH, color); }
ColorRef CSetCntBase::GetGridColorV() const { return Get(m_crGridV); }
int CSetCntBase::SetGridColorV(ColorRef color) { return Set(m_crGridV, color); }
