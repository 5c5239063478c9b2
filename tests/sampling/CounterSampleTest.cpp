#include "CounterSample.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

CounterSample Sample(int index, std::uint32_t format, std::int64_t large, double real = 0)
{
    plat::FmtCounterValue value;
    if (format == plat::PDH_FMT_DOUBLE)
        value.doubleValue = real;
    else if (format == plat::PDH_FMT_LONG)
        value.longValue = static_cast<std::int32_t>(large);
    else
        value.largeValue = large;
    return CounterSample::Make(index, format, value);
}

std::uint64_t Bits(const CounterSample &sample)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, sample.m_abValue, sizeof bits);
    return bits;
}

} // namespace

TEST(CounterSample, DefaultIsIndexZeroLongZero)
{
    const CounterSample sample;
    EXPECT_EQ(sample.m_nIndex, 0);
    EXPECT_EQ(sample.m_nFormat, plat::PDH_FMT_LONG);
    EXPECT_EQ(Bits(sample), 0u);
}

TEST(CounterSample, MakeKeepsTheMemberOfTheFormatAndNothingElse)
{
    EXPECT_EQ(Sample(3, plat::PDH_FMT_LONG, -5).LongValue(), -5);
    EXPECT_EQ(Bits(Sample(3, plat::PDH_FMT_LONG, -5)) >> 32, 0u) << "the other four bytes are 0";
    EXPECT_EQ(Sample(4, plat::PDH_FMT_DOUBLE, 0, 1023.9).DoubleValue(), 1023.9);
    EXPECT_EQ(Sample(5, plat::PDH_FMT_LARGE, 1LL << 40).LargeValue(), 1LL << 40);
    EXPECT_EQ(Bits(Sample(6, 0x800, 77)), 0u);
}

TEST(CounterSample, CopiesCarryOnlyTheBytesTheirFormatDefines)
{
    const CounterSample large = Sample(1, plat::PDH_FMT_LARGE, -1);
    CounterSample target = large;
    EXPECT_EQ(target.LargeValue(), -1);
    EXPECT_EQ(target.m_nIndex, 1);

    // A long assigned over a 64-bit sample does not inherit its upper half.
    target = Sample(2, plat::PDH_FMT_LONG, 9);
    EXPECT_EQ(target.m_nFormat, plat::PDH_FMT_LONG);
    EXPECT_EQ(Bits(target), Bits(Sample(2, plat::PDH_FMT_LONG, 9)));

    CounterSample odd = large;
    odd.m_nFormat = 0x800;
    const CounterSample copy(odd);
    EXPECT_EQ(copy.m_nFormat, 0x800u);
    EXPECT_EQ(Bits(copy), 0u) << "no value travels with an unknown format";
}
