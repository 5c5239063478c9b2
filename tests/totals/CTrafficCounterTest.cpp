// The counting rules, each case a run of cycles and the counts it must leave pending.

#include "CTrafficCounter.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint64_t kMax = ~std::uint64_t(0);

struct Cycle {
    LocalDate day;
    std::vector<plat::InterfaceOctets> readings; // identity, name, instance, rx, tx
};
struct Case {
    const char *what;
    std::vector<Cycle> cycles;
    std::vector<DayCount> pending; // in identity, day order
};

const LocalDate kDay1 {2024, 3, 30}, kDay2 {2024, 3, 31};

std::string Text(const DayCount &count)
{
    return count.identity + " " + count.name + " " + DateText(count.day) + " " + std::to_string(count.count.received)
           + " " + std::to_string(count.count.sent) + "\n";
}

} // namespace

TEST(CTrafficCounter, AddsOnlyWhatTheCountersSayHappened)
{
    const Case cases[] = {
        {"a first reading only sets the start", {{kDay1, {{"m", "eth0", 2, 500, 70}}}}, {}},
        {"deltas add up", {{kDay1, {{"m", "eth0", 2, 500, 70}}}, {kDay1, {{"m", "eth0", 2, 800, 90}}},
          {kDay1, {{"m", "eth0", 2, 1800, 95}}}}, {{"m", "eth0", kDay1, {1300, 25}}}},
        {"a counter going back adds nothing, then counts on from there",
         {{kDay1, {{"m", "eth0", 2, 5000, 70}}}, {kDay1, {{"m", "eth0", 2, 100, 80}}},
          {kDay1, {{"m", "eth0", 2, 150, 85}}}}, {{"m", "eth0", kDay1, {50, 5}}}},
        {"a re-created interface adds nothing", {{kDay1, {{"m", "eth0", 2, 100, 10}}},
          {kDay1, {{"m", "eth0", 9, 900, 90}}}, {kDay1, {{"m", "eth0", 9, 901, 91}}}}, {{"m", "eth0", kDay1, {1, 1}}}},
        {"a vanished interface's return adds nothing", {{kDay1, {{"m", "eth0", 2, 100, 10}}}, {kDay1, {}},
          {kDay1, {{"m", "eth0", 2, 900, 90}}}}, {}},
        {"a pause adds exactly what happened during it", {{kDay1, {{"m", "eth0", 2, 0, 0}}},
          {kDay1, {{"m", "eth0", 2, 40000000000, 3}}}}, {{"m", "eth0", kDay1, {40000000000, 3}}}},
        {"a rename keeps the total and takes the new name", {{kDay1, {{"m", "eth0", 2, 10, 10}}},
          {kDay1, {{"m", "eth0", 2, 20, 10}}}, {kDay1, {{"m", "wan", 2, 25, 12}}}}, {{"m", "wan", kDay1, {15, 2}}}},
        {"counts go to the day of the reading", {{kDay1, {{"m", "eth0", 2, 10, 10}}},
          {kDay1, {{"m", "eth0", 2, 20, 10}}}, {kDay2, {{"m", "eth0", 2, 25, 10}}}},
         {{"m", "eth0", kDay1, {10, 0}}, {"m", "eth0", kDay2, {5, 0}}}},
        {"interfaces count apart", {{kDay1, {{"a", "x", 1, 1, 1}, {"b", "y", 2, 5, 5}}},
          {kDay1, {{"b", "y", 2, 7, 5}, {"a", "x", 1, 4, 1}}}}, {{"a", "x", kDay1, {3, 0}}, {"b", "y", kDay1, {2, 0}}}},
        {"sums stop at the largest count", {{kDay1, {{"m", "eth0", 2, 0, 0}}}, {kDay1, {{"m", "eth0", 2, kMax, 1}}},
          {kDay1, {{"m", "eth0", 3, 0, 0}}}, {kDay1, {{"m", "eth0", 3, kMax, 1}}}},
         {{"m", "eth0", kDay1, {kMaxCount, 2}}}},
    };
    for (const Case &c : cases) {
        CTrafficCounter counter;
        for (const Cycle &cycle : c.cycles)
            counter.AddReadings(cycle.readings, cycle.day);
        // Counts put back after a failed commit are kept.
        std::vector<DayCount> taken = counter.TakePending();
        EXPECT_TRUE(counter.Pending().empty()) << c.what;
        counter.RestorePending(taken);
        std::string actual, expected;
        for (const auto &[key, count] : counter.Pending())
            actual += Text(count);
        for (const DayCount &count : c.pending)
            expected += Text(count);
        EXPECT_EQ(actual, expected) << c.what;
    }
}
