// Counts made-up traffic of one interface ("veth-t0": 1000 bytes received and 1 sent per
// cycle) into the database beside INI and commits every third cycle, printing the database's
// received total after each commit: "start PID N" first, then "committed N".
// Usage: totals_writer INI [CYCLES]   (without CYCLES: until killed, at most a million)

#include "CTrafficTotals.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace {

unsigned long long Received(CTrafficTotals &totals, std::int64_t now)
{
    TotalsSummary summary;
    totals.Summarize(1, now, summary);
    return static_cast<unsigned long long>(summary.monthAll.received);
}

} // namespace

int main(int argc, char **argv)
{
    long cycles = 1000000;
    if (argc < 2 || (argc > 2 && std::from_chars(argv[2], argv[2] + std::strlen(argv[2]), cycles).ec != std::errc()))
        return 2;
    const std::int64_t now = std::time(nullptr);
    CTrafficTotals totals;
    totals.Open(argv[1], now);
    std::printf("start %d %llu\n", static_cast<int>(::getpid()), Received(totals, now));
    std::fflush(stdout);
    for (long cycle = 0; cycle <= cycles; ++cycle) {
        totals.Count({{"veth-t0", "veth-t0", 1, std::uint64_t(cycle) * 1000, std::uint64_t(cycle)}}, now);
        if (cycle > 0 && cycle % 3 == 0 && totals.Commit(now)) {
            std::printf("committed %llu\n", Received(totals, now));
            std::fflush(stdout);
        }
    }
    return totals.Commit(now) ? 0 : 1;
}
