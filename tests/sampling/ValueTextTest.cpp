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
