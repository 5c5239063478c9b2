// Counts made-up traffic of one interface ("veth-t0": 1000 bytes received and 1 sent per
// cycle) into the database beside INI and commits every third cycle, printing the database's
// received total after each commit: "start PID N" first, then "committed N".
// Usage: totals_writer INI CYCLES

#include "CTrafficTotals.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <unistd.h>

int main(int argc, char **argv)
{
    long cycles = 0;
    if (argc != 3 || std::from_chars(argv[2], argv[2] + std::strlen(argv[2]), cycles).ec != std::errc())
        return 2;
    const std::int64_t now = std::time(nullptr);
    CTrafficTotals totals;
    totals.Open(argv[1], now);
    const auto received = [&totals, now] {
        TotalsSummary summary;
        totals.Summarize(1, now, summary);
        return static_cast<unsigned long long>(summary.monthAll.received);
    };
    std::printf("start %d %llu\n", static_cast<int>(::getpid()), received());
    std::fflush(stdout);
    for (long cycle = 0; cycle <= cycles; ++cycle) {
        totals.Count({{"veth-t0", "veth-t0", 1, std::uint64_t(cycle) * 1000, std::uint64_t(cycle)}}, now);
        if (cycle > 0 && cycle % 3 == 0 && totals.Commit(now)) {
            std::printf("committed %llu\n", received());
            std::fflush(stdout);
        }
    }
    return totals.Commit(now) ? 0 : 1;
}
