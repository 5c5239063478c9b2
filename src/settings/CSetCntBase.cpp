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
    CIniSection time(kTime, path);
    m_nCounterWait = ReadIniInt(time, "COUNTER_WAIT", 500, -1);
    m_nDisplayWait = ReadIniInt(time, "DISPLAY_WAIT", 500, -1);
    time.Commit();
    CIniSection base(kCntBase, path);
    m_nType = ReadIniInt(base, "TYPE", 0, -1);
    m_strInsName = ReadIniString(base, "INS_NAME", kIniBlank, kIniAbsent, kIniBufferSize);
    if (m_strInsName == kIniBlank)
        m_strInsName.clear();
    m_nInsIndex = ReadIniInt(base, "INS_INDEX", -1, -2);
    m_crBack = ReadIniColor(base, "BACKCOLOR", MakeRgb(0, 0, 0), kIniColorMarker);
    m_nGridSizeH = ReadIniInt(base, "GRIDSIZE_H", 1, -2);
    m_nGridSizeV = ReadIniInt(base, "GRIDSIZE_V", 1, -2);
    m_crGridH = ReadIniColor(base, "GRIDCOLOR_H", kDarkRed, kIniColorMarker);
    m_crGridV = ReadIniColor(base, "GRIDCOLOR_V", kDarkRed, kIniColorMarker);
    base.Commit();
    return 1;
}

int CSetCntBase::Save(const std::string &path)
{
    std::scoped_lock lock(m_lock);
    CIniSection time(kTime, path);
    WriteIniInt(time, "COUNTER_WAIT", m_nCounterWait);
    WriteIniInt(time, "DISPLAY_WAIT", m_nDisplayWait);
    time.Commit();
    CIniSection base(kCntBase, path);
    WriteIniInt(base, "TYPE", m_nType);
    WriteIniString(base, "INS_NAME", m_strInsName.empty() ? kIniBlank : m_strInsName);
    WriteIniInt(base, "INS_INDEX", m_nInsIndex);
    WriteIniColor(base, "BACKCOLOR", m_crBack);
    WriteIniInt(base, "GRIDSIZE_H", m_nGridSizeH);
    WriteIniInt(base, "GRIDSIZE_V", m_nGridSizeV);
    WriteIniColor(base, "GRIDCOLOR_H", m_crGridH);
    WriteIniColor(base, "GRIDCOLOR_V", m_crGridV);
    base.Commit();
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
