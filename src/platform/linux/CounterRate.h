#pragma once
// Turns a count over an interval into a per-second value in one of the PDH formats.

#include "Platform.h"

#include <cstdint>

namespace plat {

// Format bits that change nothing for a rate and are therefore accepted and ignored.
inline constexpr std::uint32_t PDH_FMT_NOSCALE = 0x1000;
inline constexpr std::uint32_t PDH_FMT_NOCAP100 = 0x8000;

// `delta` events over `intervalNs` nanoseconds as a rate per second. Long and 64-bit values
// are rounded to the nearest integer and saturate at their type's limits. PDH_INVALID_ARGUMENT
// for a format that is not exactly one of long, double and 64-bit; PDH_INVALID_DATA for an
// empty interval. `value.status` repeats the result.
PdhStatus FormatCounterRate(std::uint64_t delta, std::uint64_t intervalNs, std::uint32_t format,
                            FmtCounterValue &value);

} // namespace plat
