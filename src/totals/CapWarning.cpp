#include "CapWarning.h"

int CapLevelOf(std::uint64_t used, int capMib)
{
    if (capMib <= 0)
        return 0;
    const std::uint64_t cap = static_cast<std::uint64_t>(capMib) << 20;
    if (used >= cap)
        return 100;
    // used >= 80 % of cap, exactly: cap * 80 stays below 2^58 for any int capMib.
    return used >= (cap * 80 + 99) / 100 ? 80 : 0;
}
