#include "ValueText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

CounterSample Sample(std::uint32_t format, double value)
{
    plat::FmtCounterValue raw;
    raw.largeValue = static_cast<std::int64_t>(value);
    if (format == plat::PDH_FMT_DOUBLE)
        raw.doubleValue = value;
    else if (format == plat::PDH_FMT_LONG)
        raw.longValue = static_cast<std::int32_t>(value);
    return CounterSample::Make(0, format, raw);
}

} // namespace

TEST(ValueText, StepsOf1024WithThousandthsRoundedDown)
{
    const std::pair<std::int64_t, const char *> cases[] = {
        {0, "0 B/s"},           {1000, "1000 B/s"},          {1023, "1023 B/s"},
        {1024, "1.000 KB/s"},   {1536, "1.500 KB/s"},        {1048575, "1023.999 KB/s"},
        {1048576, "1.000 MB/s"}, {1572864, "1.500 MB/s"},    {1073741824, "1024.000 MB/s"},
        {std::numeric_limits<std::int64_t>::max(), "8796093022207.999 MB/s"},
        {-5000000, "-5000000 B/s"},
    };
    for (const auto &[value, text] : cases)
        EXPECT_EQ(FormatValueText(value, "B/s"), text) << value;
    EXPECT_EQ(FormatValueText(2048, "P/s"), "2.000 KP/s");
}

TEST(ValueText, SamplesBecomeIntegersByTheirFormat)
{
    const std::tuple<std::uint32_t, double, std::int64_t, const char *> cases[] = {
        {plat::PDH_FMT_LONG, -1, -1, "-1 B/s"},
        {plat::PDH_FMT_LARGE, 3e9, 3000000000, "2861.022 MB/s"},
        {plat::PDH_FMT_DOUBLE, 1023.9, 1023, "1023 B/s"},
        {plat::PDH_FMT_DOUBLE, 1024.0, 1024, "1.000 KB/s"},
        {plat::PDH_FMT_DOUBLE, -1.5, -1, "-1 B/s"},
        {plat::PDH_FMT_DOUBLE, 1e30, std::numeric_limits<std::int64_t>::max(), "8796093022207.999 MB/s"},
    };
    for (const auto &[format, raw, expected, text] : cases) {
        std::int64_t value = 42;
        ASSERT_TRUE(SampleToValue(Sample(format, raw), value)) << raw;
        EXPECT_EQ(value, expected);
        EXPECT_EQ(FormatValueText(value, "B/s"), text);
    }
    std::int64_t value = 42;
    EXPECT_FALSE(SampleToValue(Sample(plat::PDH_FMT_DOUBLE, std::nan("")), value));
    EXPECT_FALSE(SampleToValue(Sample(0x800, 7), value));
    EXPECT_EQ(value, 42) << "a refused sample leaves the value alone";
}

TEST(ValueText, ReadoutOptionsAndTheirBoundaries)
{
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    const ValueTextOptions bytes, bits {true}, kilo {false, 1000}, bitsKilo {true, 1000}, one {false, 1024, 1},
        none {true, 1024, 0};
    const std::tuple<std::int64_t, const char *, ValueTextOptions, const char *> cases[] = {
        {1536, "B/s", bytes, "1.500 KB/s"},
        {1536, "B/s", bits, "12.000 Kbit/s"},
        {1536, "B/s", bitsKilo, "12.288 kbit/s"},
        {1536, "B/s", kilo, "1.536 kB/s"},
        {1536, "B/s", one, "1.5 KB/s"},
        {1536, "B/s", none, "12 Kbit/s"},
        {1536, "P/s", bitsKilo, "1.536 kP/s"},
        {127, "B/s", bits, "1016 bit/s"},
        {128, "B/s", bits, "1.000 Kbit/s"},
        {124, "B/s", bitsKilo, "992 bit/s"},
        {125, "B/s", bitsKilo, "1.000 kbit/s"},
        {999, "B/s", kilo, "999 B/s"},
        {999999, "B/s", kilo, "999.999 kB/s"},
        {1000000, "B/s", kilo, "1.000 MB/s"},
        {999999999, "B/s", kilo, "999.999 MB/s"},
        {1000000000, "B/s", kilo, "1.000 GB/s"},
        {12500000000, "B/s", bitsKilo, "100.000 Gbit/s"},
        {3221225472, "B/s", bytes, "3072.000 MB/s"},
        {3221225472, "B/s", one, "3.0 GB/s"},
        {3221225472, "B/s", bits, "24.000 Gbit/s"},
        {kMax / 8 + 1, "B/s", bits, "8589934591.999 Gbit/s"},
        {-5, "B/s", bits, "-40 bit/s"},
    };
    for (const auto &[value, unit, options, text] : cases)
        EXPECT_EQ(FormatValueText(value, unit, options), text) << value << " " << unit;

    // Totals: bytes whatever the rate unit, in steps up to T, also with the default options.
    const std::tuple<std::uint64_t, ValueTextOptions, const char *> totals[] = {
        {1536, bits, "1.500 KB"}, {3221225472, bytes, "3.000 GB"}, {5ull << 40, one, "5.0 TB"},
        {1000000000000, kilo, "1.000 TB"}, {~0ull, bytes, "8388607.999 TB"}};
    for (const auto &[value, options, text] : totals)
        EXPECT_EQ(FormatByteCount(value, options), text) << value;

    // The graph plots the defaults' rates as they are, and other units in steps.
    const std::tuple<std::int64_t, const char *, ValueTextOptions, std::int32_t, const char *> graph[] = {
        {3000000000, "B/s", bytes, 2147483647, "2047.999 MB/s"},
        {1536, "B/s", one, 1536, "1.5 KB/s"},
        {12500000000, "B/s", bitsKilo, 100000000, "100.000 Gbit/s"},
        {12500000000, "B/s", bits, 97656250, "93.131 Gbit/s"},
        {1536, "B/s", kilo, 1, "1.000 kB/s"},
        {2000, "P/s", bitsKilo, 2000, "2.000 kP/s"},
        {kMax, "B/s", bits, 2147483647, "2047.999 Gbit/s"},
    };
    for (const auto &[value, unit, options, plotted, top] : graph) {
        EXPECT_EQ(GraphValue(value, unit, options), plotted) << value << " " << unit;
        EXPECT_EQ(FormatGraphValueText(plotted, unit, options), top) << value << " " << unit;
    }
}
