#pragma once
// [RECENT_WNDPOS]: the main window's last placement and its topmost state.

#include "CSetBase.h"

#include <cstdint>

// The eleven words of a window placement, in their stored order.
struct WndPlacement {
    std::uint32_t length = 0;
    std::int32_t flags = 0;
    std::int32_t showCmd = 0;
    std::int32_t minX = 0, minY = 0;
    std::int32_t maxX = 0, maxY = 0;
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

inline constexpr std::uint32_t kPlacementLength = 44;

class CSetWndPos : public CSetBase {
public:
    int Load(const std::string &path) override;
    int Save(const std::string &path) override;
    void Reset() override;

    // 1 when a placement is stored (a normal-rectangle coordinate is 0 or more), else 0;
    // the structure is filled either way. 0 without a structure.
    int GetPlacement(WndPlacement *placement) const;
    int SetPlacement(const WndPlacement *placement);
    int GetTopMost() const;
    int SetTopMost(int topMost);

private:
    WndPlacement m_placement;   // guarded by m_lock
    int m_nTopMost = 0;         // guarded by m_lock
};
