#pragma once
// [COLOR_DIALOG]: the sixteen custom colours of the colour chooser.

#include "CSetBase.h"
#include "ColorRef.h"

#include <array>

class CSetColorDlg : public CSetBase {
public:
    static constexpr int kCount = 16;

    int Load(const std::string &path) override;
    int Save(const std::string &path) override;
    void Reset() override;

    ColorRef GetCustomColor(int index) const; // white outside 0..15
    int SetCustomColor(int index, ColorRef color);

private:
    std::array<ColorRef, kCount> m_crColors {}; // guarded by m_lock
};
