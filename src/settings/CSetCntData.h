#pragma once
// [CNTDATA_n]: one counter definition: which counter to sample, how to fetch and label
// its value, and how its line is drawn.

#include "CSetBase.h"
#include "ColorRef.h"

class CSetCntData : public CSetBase {
public:
    // The section name and built-in defaults; set at start-up before the first Load, while
    // no other thread exists, so it takes no lock.
    void SetDefaults(const std::string &section, ColorRef color, const std::string &cntName,
                     const std::string &unitName, int format);

    int Load(const std::string &path) override;
    int Save(const std::string &path) override;
    void Reset() override;

    int GetEnable() const;
    int SetEnable(int enable);
    std::string GetCntName() const;
    std::string GetUnitName() const;
    int GetFormat() const;
    int GetWidth() const;
    int SetWidth(int width);
    ColorRef GetColor() const;
    int SetColor(ColorRef color);

private:
    std::string m_strSection;
    ColorRef m_crDefColor = 0;
    std::string m_strDefCntName;
    std::string m_strDefUnitName;
    int m_nDefFormat = 0;

    // Guarded by m_lock.
    int m_nEnable = 0;
    std::string m_strCntName;
    std::string m_strUnitName;
    int m_nFormat = 0;
    int m_nWidth = 0;
    ColorRef m_crColor = 0;
};
