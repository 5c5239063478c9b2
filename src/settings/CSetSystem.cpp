#include "CSetSystem.h"

#include "Platform.h"

#include <cstdio>

CSetSystem theSetSystem;

namespace {

// Beside each of the object's counter names, in its order.
struct CounterDefault {
    const char *unitName;
    ColorRef color;
};

constexpr ColorRef kRed = MakeRgb(255, 0, 0);
constexpr ColorRef kBlue = MakeRgb(0, 0, 255);
constexpr ColorRef kGreen = MakeRgb(0, 255, 0);

constexpr CounterDefault kCounterDefaults[kCounterCount] = {
    {"B/s", kRed},
    {"B/s", kBlue},
    {"B/s", kGreen},
    {"P/s", kRed},
    {"P/s", kBlue},
    {"P/s", kGreen},
    {"P/s", MakeRgb(255, 255, 0)},
    {"P/s", MakeRgb(0, 255, 255)},
    {"P/s", MakeRgb(255, 0, 255)},
    {"P/s", MakeRgb(255, 127, 0)},
};

} // namespace

bool IsCounterInGroup(int index, int type)
{
    return type == 0 ? index >= 0 && index <= 2 : index >= 3 && index < kCounterCount;
}

template <typename Op> int CSetSystem::ForEachSection(Op op)
{
    if (!op(m_WndPos))
        return 0;
    for (CSetCntData &data : m_CntData)
        if (!op(data))
            return 0;
    return op(m_CntBase) && op(m_ColorDlg) && op(m_Extra) ? 1 : 0;
}

int CSetSystem::Load(const std::string &path)
{
    // One reading of the file serves every section, and what they write back goes to the
    // file in one go. A file too large for the store is refused here, where start-up can
    // say so, rather than left unsaved.
    const plat::ProfileBatch batch(path);
    if (plat::IsProfileFileTooLarge(path))
        return 0;
    if (!m_WndPos.Load(path))
        return 0;
    for (int n = 1; n <= kCounterCount; ++n) {
        char section[16];
        std::snprintf(section, sizeof section, "CNTDATA_%d", n);
        const CounterDefault &def = kCounterDefaults[n - 1];
        m_CntData[static_cast<std::size_t>(n - 1)].SetDefaults(section, def.color, plat::kNetCounterNames[static_cast<std::size_t>(n - 1)],
                                                                def.unitName, int(plat::PDH_FMT_LARGE));
    }
    for (CSetCntData &data : m_CntData)
        if (!data.Load(path))
            return 0;
    return m_CntBase.Load(path) && m_ColorDlg.Load(path) && m_Extra.Load(path) ? 1 : 0;
}

int CSetSystem::Save(const std::string &path)
{
    return ForEachSection([&path](CSetBase &section) { return section.Save(path) != 0; });
}

void CSetSystem::Reset()
{
    ForEachSection([](CSetBase &section) {
        section.Reset();
        return true;
    });
}
