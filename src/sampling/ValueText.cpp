#include "ValueText.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr std::int64_t kKilo = 1024;
constexpr std::int64_t kMega = 1024 * 1024;

std::int64_t ClampToInt64(double value)
{
    // 2^63 is exact in a double; everything below it converts without overflow.
    constexpr double kTop = 9223372036854775808.0;
    if (value >= kTop)
        return std::numeric_limits<std::int64_t>::max();
    if (value <= -kTop)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

} // namespace

std::string FormatValueText(std::int64_t value, const std::string &unit)
{
    char text[64];
    const auto v = static_cast<long long>(value);
    if (value < kKilo)
        std::snprintf(text, sizeof text, "%lld ", v);
    else if (value < kMega)
        std::snprintf(text, sizeof text, "%lld.%03lld K", v / kKilo, (v % kKilo) * 1000 / kKilo);
    else
        std::snprintf(text, sizeof text, "%lld.%03lld M", v / kMega, (v / kKilo % kKilo) * 1000 / kKilo);
    return text + unit;
}

bool SampleToValue(const CounterSample &sample, std::int64_t &value)
{
    switch (sample.m_nFormat) {
    case plat::PDH_FMT_LONG:
        value = sample.LongValue();
        return true;
    case plat::PDH_FMT_DOUBLE:
        if (std::isnan(sample.DoubleValue()))
            return false;
        value = ClampToInt64(sample.DoubleValue()); // the conversion truncates toward zero
        return true;
    case plat::PDH_FMT_LARGE:
        value = sample.LargeValue();
        return true;
    default:
        return false;
    }
}
