#include "CounterRate.h"
#include "NetCounters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

using plat::NetCounter;

namespace {

plat::LinkCounters Stats(std::uint64_t rxBytes, std::uint64_t txBytes, std::uint64_t rxPackets,
                         std::uint64_t txPackets, std::uint64_t multicast)
{
    return {rxBytes, txBytes, rxPackets, txPackets, multicast};
}

} // namespace

TEST(NetCounters, FindsEveryCounterByNameInAnyCase)
{
    const auto &names = plat::NetCounterNames();
    ASSERT_EQ(names.size(), 10u);
    for (std::size_t i = 0; i < names.size(); ++i) {
        NetCounter counter {};
        std::string upper(names[i]);
        for (char &c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        ASSERT_TRUE(plat::FindNetCounter(upper, counter)) << upper;
        EXPECT_EQ(static_cast<std::size_t>(counter), i);
    }
    NetCounter counter {};
    EXPECT_FALSE(plat::FindNetCounter("Bytes Received", counter));
    EXPECT_FALSE(plat::FindNetCounter("Current Bandwidth", counter));
}

TEST(NetCounters, EachCounterIsTheDeltaOfItsKernelStatistics)
{
    const plat::LinkCounters before = Stats(1000, 2000, 10, 20, 3);
    const plat::LinkCounters after = Stats(1500, 2700, 17, 29, 5);
    const struct {
        NetCounter counter;
        std::uint64_t expected;
    } cases[] = {
        {NetCounter::BytesReceived, 500},           {NetCounter::BytesSent, 700},
        {NetCounter::BytesTotal, 1200},             {NetCounter::PacketsReceived, 7},
        {NetCounter::PacketsSent, 9},               {NetCounter::Packets, 16},
        {NetCounter::PacketsReceivedUnicast, 5},    {NetCounter::PacketsSentUnicast, 9},
        {NetCounter::PacketsReceivedNonUnicast, 2}, {NetCounter::PacketsSentNonUnicast, 0},
    };
    for (const auto &c : cases) {
        std::uint64_t delta = 99;
        ASSERT_TRUE(plat::NetCounterDelta(c.counter, before, after, delta)) << int(c.counter);
        EXPECT_EQ(delta, c.expected) << int(c.counter);
    }
}

TEST(NetCounters, ADropFailsOnlyTheCountersMadeOfThatStatistic)
{
    // The interface was re-created: received bytes started again from zero.
    const plat::LinkCounters before = Stats(1000, 2000, 10, 20, 3);
    const plat::LinkCounters after = Stats(40, 2100, 12, 21, 3);
    std::uint64_t delta = 0;
    EXPECT_FALSE(plat::NetCounterDelta(NetCounter::BytesReceived, before, after, delta));
    EXPECT_FALSE(plat::NetCounterDelta(NetCounter::BytesTotal, before, after, delta));
    EXPECT_TRUE(plat::NetCounterDelta(NetCounter::BytesSent, before, after, delta));
    EXPECT_EQ(delta, 100u);
    EXPECT_TRUE(plat::NetCounterDelta(NetCounter::Packets, before, after, delta));
    EXPECT_EQ(delta, 3u);

    // More multicast than packets within one interval has no honest unicast count.
    const plat::LinkCounters skewed = Stats(1000, 2000, 11, 20, 6);
    EXPECT_FALSE(plat::NetCounterDelta(NetCounter::PacketsReceivedUnicast, before, skewed, delta));
    EXPECT_TRUE(plat::NetCounterDelta(NetCounter::PacketsReceivedNonUnicast, before, skewed, delta));
    EXPECT_EQ(delta, 3u);

    // 64-bit totals near the top still subtract exactly.
    const std::uint64_t top = std::numeric_limits<std::uint64_t>::max();
    EXPECT_TRUE(plat::NetCounterDelta(NetCounter::BytesSent, Stats(0, top - 10, 0, 0, 0),
                                      Stats(0, top, 0, 0, 0), delta));
    EXPECT_EQ(delta, 10u);
}

TEST(CounterRate, GivesThePerSecondRateInEachFormat)
{
    plat::FmtCounterValue value;
    // 768 bytes in half a second.
    ASSERT_EQ(plat::FormatCounterRate(768, 500000000, plat::PDH_FMT_LARGE, value), plat::PDH_OK);
    EXPECT_EQ(value.largeValue, 1536);
    EXPECT_EQ(value.status, plat::PDH_OK);
    ASSERT_EQ(plat::FormatCounterRate(768, 500000000, plat::PDH_FMT_LONG, value), plat::PDH_OK);
    EXPECT_EQ(value.longValue, 1536);
    ASSERT_EQ(plat::FormatCounterRate(1, 3000000000, plat::PDH_FMT_DOUBLE, value), plat::PDH_OK);
    EXPECT_DOUBLE_EQ(value.doubleValue, 1.0 / 3.0);
    // 1023.9 per second is truncated, not rounded.
    ASSERT_EQ(plat::FormatCounterRate(10239, 10000000000, plat::PDH_FMT_LARGE, value), plat::PDH_OK);
    EXPECT_EQ(value.largeValue, 1023);
    ASSERT_EQ(plat::FormatCounterRate(5, 1000000000, plat::PDH_FMT_LONG | plat::PDH_FMT_NOSCALE, value),
              plat::PDH_OK);
    EXPECT_EQ(value.longValue, 5);
}

TEST(CounterRate, SaturatesAtTheLimitsOfItsType)
{
    plat::FmtCounterValue value;
    // 10 GB in one second does not fit a long.
    ASSERT_EQ(plat::FormatCounterRate(10000000000, 1000000000, plat::PDH_FMT_LONG, value), plat::PDH_OK);
    EXPECT_EQ(value.longValue, std::numeric_limits<std::int32_t>::max());
    ASSERT_EQ(plat::FormatCounterRate(std::numeric_limits<std::uint64_t>::max(), 1, plat::PDH_FMT_LARGE, value),
              plat::PDH_OK);
    EXPECT_EQ(value.largeValue, std::numeric_limits<std::int64_t>::max());
    ASSERT_EQ(plat::FormatCounterRate(std::numeric_limits<std::uint64_t>::max(), 1, plat::PDH_FMT_DOUBLE, value),
              plat::PDH_OK);
    EXPECT_TRUE(std::isfinite(value.doubleValue));
}

TEST(CounterRate, RefusesUnknownFormatsAndEmptyIntervals)
{
    plat::FmtCounterValue value;
    for (const std::uint32_t format : {0u, 0x800u, 0x300u, 0x100u | 0x2000u})
        EXPECT_EQ(plat::FormatCounterRate(1, 1, format, value), plat::PDH_INVALID_ARGUMENT) << format;
    EXPECT_EQ(plat::FormatCounterRate(1, 0, plat::PDH_FMT_LARGE, value), plat::PDH_INVALID_DATA);
    EXPECT_EQ(value.status, plat::PDH_INVALID_DATA);
}
