#include "CounterRate.h"
#include "NetCounters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

using plat::NetCounter;

TEST(NetCounters, FindsEveryCounterByNameInAnyCase)
{
    NetCounter counter {};
    ASSERT_TRUE(plat::FindNetCounter("PACKETS RECEIVED NON-UNICAST/SEC", counter));
    EXPECT_EQ(counter, NetCounter::PacketsReceivedNonUnicast);
    ASSERT_TRUE(plat::FindNetCounter("bytes received/sec", counter));
    EXPECT_EQ(counter, NetCounter::BytesReceived);
    EXPECT_FALSE(plat::FindNetCounter("Bytes Received", counter));
    EXPECT_FALSE(plat::FindNetCounter("Current Bandwidth", counter));
}

TEST(NetCounters, EachCounterIsTheDeltaOfItsKernelStatistics)
{
    // rx bytes, tx bytes, rx packets, tx packets, received multicast
    const plat::LinkCounters before {1000, 2000, 10, 20, 3}, after {1500, 2700, 17, 29, 5};
    const std::pair<NetCounter, std::uint64_t> cases[] = {
        {NetCounter::BytesReceived, 500},           {NetCounter::BytesSent, 700},
        {NetCounter::BytesTotal, 1200},             {NetCounter::PacketsReceived, 7},
        {NetCounter::PacketsSent, 9},               {NetCounter::Packets, 16},
        {NetCounter::PacketsReceivedUnicast, 5},    {NetCounter::PacketsSentUnicast, 9},
        {NetCounter::PacketsReceivedNonUnicast, 2}, {NetCounter::PacketsSentNonUnicast, 0},
    };
    for (const auto &[counter, expected] : cases) {
        std::uint64_t delta = 99;
        ASSERT_TRUE(plat::NetCounterDelta(counter, before, after, delta)) << int(counter);
        EXPECT_EQ(delta, expected) << int(counter);
    }
}

TEST(NetCounters, ADropFailsOnlyTheCountersMadeOfThatStatistic)
{
    // Received, then sent bytes started again from zero (a driver reset): the other
    // direction still counts its 100 bytes.
    const plat::LinkCounters before {1000, 2000, 10, 20, 3};
    const std::tuple<plat::LinkCounters, NetCounter, NetCounter> drops[] = {
        {{40, 2100, 12, 21, 3}, NetCounter::BytesReceived, NetCounter::BytesSent},
        {{1100, 60, 12, 21, 3}, NetCounter::BytesSent, NetCounter::BytesReceived},
    };
    std::uint64_t delta = 0;
    for (const auto &[after, dropped, other] : drops) {
        EXPECT_FALSE(plat::NetCounterDelta(dropped, before, after, delta)) << int(dropped);
        EXPECT_FALSE(plat::NetCounterDelta(NetCounter::BytesTotal, before, after, delta)) << int(dropped);
        EXPECT_TRUE(plat::NetCounterDelta(other, before, after, delta) && delta == 100) << int(dropped);
    }
    // More multicast than packets in one interval leaves no honest unicast count.
    const plat::LinkCounters skewed {1000, 2000, 11, 20, 6};
    EXPECT_FALSE(plat::NetCounterDelta(NetCounter::PacketsReceivedUnicast, before, skewed, delta));
    // 64-bit totals near the top still subtract exactly.
    const std::uint64_t top = std::numeric_limits<std::uint64_t>::max();
    EXPECT_TRUE(plat::NetCounterDelta(NetCounter::BytesSent, {0, top - 10, 0, 0, 0}, {0, top, 0, 0, 0}, delta)
                && delta == 10);
}

TEST(CounterRate, PerSecondInEachFormatRoundedAndSaturated)
{
    plat::FmtCounterValue value;
    ASSERT_EQ(plat::FormatCounterRate(768, 500000000, plat::PDH_FMT_LARGE, value), plat::PDH_OK);
    EXPECT_EQ(value.largeValue, 1536) << "768 in half a second";
    // Each interval runs a little past the pause: N events in 500.2 ms are still 2N a second.
    for (const std::uint64_t events : {1u, 50u, 102u, 500u}) {
        ASSERT_EQ(plat::FormatCounterRate(events, 500200000, plat::PDH_FMT_LARGE, value), plat::PDH_OK);
        EXPECT_EQ(value.largeValue, std::int64_t(2 * events)) << events << " events";
        ASSERT_EQ(plat::FormatCounterRate(events, 500200000, plat::PDH_FMT_LONG, value), plat::PDH_OK);
        EXPECT_EQ(value.longValue, std::int32_t(2 * events)) << events << " events";
    }
    ASSERT_EQ(plat::FormatCounterRate(10239, 10000000000, plat::PDH_FMT_LONG, value), plat::PDH_OK);
    EXPECT_EQ(value.longValue, 1024) << "1023.9 rounded";
    ASSERT_EQ(plat::FormatCounterRate(10234, 10000000000, plat::PDH_FMT_LARGE, value), plat::PDH_OK);
    EXPECT_EQ(value.largeValue, 1023) << "1023.4 rounded";
    ASSERT_EQ(plat::FormatCounterRate(1, 3000000000, plat::PDH_FMT_DOUBLE, value), plat::PDH_OK);
    EXPECT_DOUBLE_EQ(value.doubleValue, 1.0 / 3.0);
    ASSERT_EQ(plat::FormatCounterRate(10000000000, 1000000000, plat::PDH_FMT_LONG, value), plat::PDH_OK);
    EXPECT_EQ(value.longValue, std::numeric_limits<std::int32_t>::max());
    ASSERT_EQ(
        plat::FormatCounterRate(std::numeric_limits<std::uint64_t>::max(), 1, plat::PDH_FMT_LARGE, value),
        plat::PDH_OK);
    EXPECT_EQ(value.largeValue, std::numeric_limits<std::int64_t>::max());
}

TEST(CounterRate, RefusesUnknownFormatsAndEmptyIntervals)
{
    plat::FmtCounterValue value;
    for (const std::uint32_t format : {0u, 0x800u, 0x300u, 0x2100u})
        EXPECT_EQ(plat::FormatCounterRate(1, 1, format, value), plat::PDH_INVALID_ARGUMENT) << format;
    EXPECT_EQ(plat::FormatCounterRate(1, 0, plat::PDH_FMT_LARGE, value), plat::PDH_INVALID_DATA);
}
