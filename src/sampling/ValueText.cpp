#include "ValueText.h"

#include "CSetExtra.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr std::int64_t kKilo = 1024;
constexpr std::int64_t kTop64 = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kBottom64 = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kPowersOfTen[] = {1, 10, 100, 1000};

bool IsByteUnit(const std::string &unit)
{
    return !unit.empty() && unit.front() == 'B';
}

// value x factor, held within the 64-bit range.
std::int64_t SaturatingTimes(std::int64_t value, std::int64_t factor)
{
    if (value > kTop64 / factor)
        return kTop64;
    if (value < kBottom64 / factor)
        return kBottom64;
    return value * factor;
}

// The unit as shown: bits mode writes a byte counter's "B" as "bit".
std::string ShownUnit(const std::string &unit, const ValueTextOptions &options)
{
    return options.bits && IsByteUnit(unit) ? "bit" + unit.substr(1) : unit;
}

// `value` already in the shown unit. Each step's decimals come from the whole count of the
// step below it, so that K and M read exactly as they always have.
// `topStep`: how many steps (K, M, G, T) may be taken; 0 for as many as rates take.
std::string FormatShown(std::int64_t value, const std::string &unit, const ValueTextOptions &options, int topStep = 0)
{
    const std::int64_t base = options.base == 1000 ? 1000 : kKilo;
    const int decimals = std::clamp(options.decimals, 0, 3);
    const char *steps = base == 1000 ? "kMGT" : "KMGT";
    if (topStep == 0)
        topStep = options.IsDefault() ? 2 : 3;
    char text[64];
    if (value < base) {
        std::snprintf(text, sizeof text, "%lld ", static_cast<long long>(value));
        return text + unit;
    }
    int step = 1;
    std::int64_t below = 1; // base^(step - 1)
    while (step < topStep && value / below / base >= base) {
        below *= base;
        ++step;
    }
    const auto whole = static_cast<long long>(value / below / base);
    const auto fraction = static_cast<long long>(value / below % base * kPowersOfTen[decimals] / base);
    const char letter = steps[step - 1];
    if (decimals == 0)
        std::snprintf(text, sizeof text, "%lld %c", whole, letter);
    else
        std::snprintf(text, sizeof text, "%lld.%0*lld %c", whole, decimals, fraction, letter);
    return text + unit;
}

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
    return FormatShown(value, unit, ValueTextOptions());
}

ValueTextOptions ValueTextOptionsOf(const CSetExtra &extra)
{
    ValueTextOptions options;
    options.bits = extra.GetRateUnit() == CSetExtra::kUnitBits;
    options.base = extra.GetRateBase();
    options.decimals = extra.GetRateDecimals();
    return options;
}

std::string FormatValueText(std::int64_t value, const std::string &unit, const ValueTextOptions &options)
{
    const bool bits = options.bits && IsByteUnit(unit);
    return FormatShown(bits ? SaturatingTimes(value, 8) : value, ShownUnit(unit, options), options);
}

std::string FormatByteCount(std::uint64_t bytes, const ValueTextOptions &options)
{
    const auto value = static_cast<std::int64_t>(std::min<std::uint64_t>(bytes, kTop64));
    return FormatShown(value, "B", options, 4);
}

std::int64_t GraphUnitDivisor(const std::string &unit, const ValueTextOptions &options)
{
    const bool scaled = IsByteUnit(unit) && (options.bits || options.base == 1000);
    return scaled ? (options.base == 1000 ? 1000 : kKilo) : 1;
}

std::int32_t GraphValue(std::int64_t value, const std::string &unit, const ValueTextOptions &options)
{
    const bool bits = options.bits && IsByteUnit(unit);
    const std::int64_t shown = (bits ? SaturatingTimes(value, 8) : value) / GraphUnitDivisor(unit, options);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(shown, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

std::string FormatGraphValueText(std::int64_t graphValue, const std::string &unit,
                                 const ValueTextOptions &options)
{
    const std::int64_t shown = SaturatingTimes(graphValue, GraphUnitDivisor(unit, options));
    return FormatShown(shown, ShownUnit(unit, options), options);
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
