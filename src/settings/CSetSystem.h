#pragma once
// The one process-wide settings object and its sections. Loaded once at start-up; after
// that each section is saved alone by whoever changes it.

#include "CSetCntBase.h"
#include "CSetCntData.h"
#include "CSetColorDlg.h"
#include "CSetExtra.h"
#include "CSetWndPos.h"
#include "Platform.h"

#include <array>

// One counter definition per counter of the "Network Interface" object.
inline constexpr int kCounterCount = static_cast<int>(plat::kNetCounterCount);

class CSetSystem : public CSetBase {
public:
    int Load(const std::string &path) override;
    int Save(const std::string &path) override;
    void Reset() override;

    CSetWndPos m_WndPos;
    std::array<CSetCntData, kCounterCount> m_CntData;
    CSetCntBase m_CntBase;
    CSetColorDlg m_ColorDlg;
    CSetExtra m_Extra;

private:
    template <typename Op> int ForEachSection(Op op);
};

// Whether counter definition `index` (0..9) belongs to the group that `type` shows:
// 0 the byte counters 0..2, any other value the packet counters 3..9.
bool IsCounterInGroup(int index, int type);

extern CSetSystem theSetSystem;
