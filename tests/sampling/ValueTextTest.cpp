#include "ValueText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

CounterSample Sample(std::uint32_t format, std::int64_t large, double real = 0)
{
    plat::FmtCounterValue value;
    value.largeValue = 0;
    if (format == plat::PDH_FMT_DOUBLE)
        value.doubleValue = real;
    else if (format == plat::PDH_FMT_LONG)
        value.longValue = static_cast<std::int32_t>(large);
    else
        value.largeValue = large;
    return CounterSample::Make(0, format, value);
}

} // namespace

TEST(ValueText, StepsOf1024WithThousandthsRoundedDown)
{
    const struct {
        std::int64_t value;
        const char *unit;
        const char *text;
    } cases[] = {
        {0, "B/s", "0 B/s"},
        {1000, "B/s", "1000 B/s"},
        {1023, "B/s", "1023 B/s"},
        {1024, "B/s", "1.000 KB/s"},
        {1536, "B/s", "1.500 KB/s"},
        {1025, "B/s", "1.000 KB/s"},
        {1048575, "B/s", "1023.999 KB/s"},
        {1048576, "B/s", "1.000 MB/s"},
        {1572864, "B/s", "1.500 MB/s"},
        {1073741824, "B/s", "1024.000 MB/s"},
        {2048, "P/s", "2.000 KP/s"},
        {5, "", "5 "},
        {std::numeric_limits<std::int64_t>::max(), "B/s", "8796093022207.999 MB/s"},
        {-1, "B/s", "-1 B/s"},
        {-5000000, "P/s", "-5000000 P/s"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatValueText(c.value, c.unit), c.text) << c.value;
}

TEST(SampleToValue, ConvertsEachFormatToA64BitInteger)
{
    const struct {
        CounterSample sample;
        std::int64_t expected;
    } cases[] = {
        {Sample(plat::PDH_FMT_LONG, -1), -1},
        {Sample(plat::PDH_FMT_LONG, std::numeric_limits<std::int32_t>::max()), std::numeric_limits<std::int32_t>::max()},
        {Sample(plat::PDH_FMT_LARGE, 3000000000LL), 3000000000LL},
        {Sample(plat::PDH_FMT_DOUBLE, 0, 1023.9), 1023},
        {Sample(plat::PDH_FMT_DOUBLE, 0, 1024.0), 1024},
        {Sample(plat::PDH_FMT_DOUBLE, 0, -1.5), -1},
        {Sample(plat::PDH_FMT_DOUBLE, 0, 1e30), std::numeric_limits<std::int64_t>::max()},
        {Sample(plat::PDH_FMT_DOUBLE, 0, -INFINITY), std::numeric_limits<std::int64_t>::min()},
    };
    for (const auto &c : cases) {
        std::int64_t value = 42;
        ASSERT_TRUE(SampleToValue(c.sample, value)) << c.expected;
        EXPECT_EQ(value, c.expected);
    }
    std::int64_t value = 42;
    EXPECT_FALSE(SampleToValue(Sample(plat::PDH_FMT_DOUBLE, 0, std::nan("")), value));
    EXPECT_FALSE(SampleToValue(Sample(0x800, 7), value));
    EXPECT_EQ(value, 42) << "a refused sample leaves the value alone";
}

TEST(ValueText, ADoubleSampleIsShownTruncated)
{
    std::int64_t value = 0;
    ASSERT_TRUE(SampleToValue(Sample(plat::PDH_FMT_DOUBLE, 0, 1023.9), value));
    EXPECT_EQ(FormatValueText(value, "B/s"), "1023 B/s");
    ASSERT_TRUE(SampleToValue(Sample(plat::PDH_FMT_DOUBLE, 0, 1024.0), value));
    EXPECT_EQ(FormatValueText(value, "B/s"), "1.000 KB/s");
}
