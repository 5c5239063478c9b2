#include "CounterRate.h"

#include <cmath>
#include <limits>

namespace plat {
namespace {

PdhStatus Fail(PdhStatus status, FmtCounterValue &value)
{
    value.status = status;
    value.largeValue = 0;
    return status;
}

// To the nearest integer: every interval runs a little longer than the pause between the
// readings, so truncating would show a steady count one below what it is (2N - 1 for N
// events in half a second). Non-negative and finite by construction; only the upper limit
// needs care, because converting a double beyond it to an integer is undefined.
template <typename Int> Int Round(double rate)
{
    constexpr double kLimit = static_cast<double>(std::numeric_limits<Int>::max());
    const double rounded = std::round(rate);
    if (rounded >= kLimit)
        return std::numeric_limits<Int>::max();
    return static_cast<Int>(rounded);
}

} // namespace

PdhStatus FormatCounterRate(std::uint64_t delta, std::uint64_t intervalNs, std::uint32_t format,
                            FmtCounterValue &value)
{
    const std::uint32_t kind = format & ~(PDH_FMT_NOSCALE | PDH_FMT_NOCAP100);
    if (kind != PDH_FMT_LONG && kind != PDH_FMT_DOUBLE && kind != PDH_FMT_LARGE)
        return Fail(PDH_INVALID_ARGUMENT, value);
    if (intervalNs == 0)
        return Fail(PDH_INVALID_DATA, value);
    const double rate = static_cast<double>(delta) * 1e9 / static_cast<double>(intervalNs);
    value.status = PDH_OK;
    value.largeValue = 0;
    if (kind == PDH_FMT_LONG)
        value.longValue = Round<std::int32_t>(rate);
    else if (kind == PDH_FMT_DOUBLE)
        value.doubleValue = rate;
    else
        value.largeValue = Round<std::int64_t>(rate);
    return PDH_OK;
}

} // namespace plat
