#include "CounterSample.h"

#include <gtest/gtest.h>

namespace {

CounterSample Large(int index, std::int64_t value)
{
    plat::FmtCounterValue raw;
    raw.largeValue = value;
    return CounterSample::Make(index, plat::PDH_FMT_LARGE, raw);
}

} // namespace

TEST(CounterSample, DefaultsToIndexZeroLongZero)
{
    const CounterSample sample;
    EXPECT_EQ(sample.m_nIndex, 0);
    EXPECT_EQ(sample.m_nFormat, plat::PDH_FMT_LONG);
    EXPECT_EQ(sample.LargeValue(), 0);
}

TEST(CounterSample, CopiesCarryOnlyTheBytesTheirFormatDefines)
{
    CounterSample target = Large(1, -1);
    EXPECT_EQ(target.LargeValue(), -1);

    plat::FmtCounterValue raw;
    raw.largeValue = -1; // a long written over it leaves the upper half set in the source
    raw.longValue = 9;
    target = CounterSample::Make(2, plat::PDH_FMT_LONG, raw);
    EXPECT_EQ(target.LongValue(), 9);
    EXPECT_EQ(target.LargeValue(), 9) << "a long sample's other four bytes are 0";

    CounterSample odd = Large(3, 77);
    odd.m_nFormat = 0x800;
    const CounterSample copy(odd);
    EXPECT_EQ(copy.m_nIndex, 3);
    EXPECT_EQ(copy.LargeValue(), 0) << "no value travels with an unknown format";
}
