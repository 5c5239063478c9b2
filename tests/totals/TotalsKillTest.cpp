// A writer killed at random points a hundred times: the database passes the integrity check
// each time and has lost at most the counts not yet committed. And the database's files while
// counting: untouched until a commit.

#include "CTrafficTotals.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace {

constexpr unsigned long long kPerCommit = 3000; // three cycles of 1000 bytes

std::string IntegrityCheck(const std::string &path)
{
    sqlite3 *db = nullptr;
    std::string result = "cannot open";
    const auto firstValue = [](void *out, int, char **values, char **) {
        *static_cast<std::string *>(out) = values[0] ? values[0] : "";
        return 0;
    };
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK)
        sqlite3_exec(db, "PRAGMA integrity_check", firstValue, &result, nullptr);
    sqlite3_close(db);
    return result;
}

// Starts the writer on `ini`, reads `lines` of its output, waits `delayUs` and kills it.
// The last total it printed (read to the end after the kill), or -1 when it printed none.
long long KillWriterAfter(const std::string &ini, int lines, unsigned delayUs, unsigned long long &start)
{
    FILE *in = ::popen((std::string(TOTALS_WRITER) + " '" + ini + "' 1000000").c_str(), "r");
    long long last = -1;
    int pid = 0;
    char line[128];
    for (int read = 0; in && std::fgets(line, sizeof line, in); ++read) {
        unsigned long long value = 0;
        if (std::sscanf(line, "start %d %llu", &pid, &start) == 2 && pid > 0)
            continue;
        if (std::sscanf(line, "committed %llu", &value) == 1)
            last = static_cast<long long>(value);
        if (read + 1 == lines && pid > 0) {
            ::usleep(delayUs);
            ::kill(pid, SIGKILL);
        }
    }
    if (in)
        ::pclose(in);
    return last;
}

// Size and modification time of the database and its journal: what any write changes.
std::string DatabaseStamp(const TempDir &dir)
{
    std::string stamp;
    for (const char *name : {"corvala.db", "corvala.db-wal"}) {
        std::error_code error;
        const auto path = dir.Path() / name;
        stamp += std::to_string(std::filesystem::file_size(path, error)) + "@"
                 + std::to_string(std::filesystem::last_write_time(path, error).time_since_epoch().count()) + " ";
    }
    return stamp;
}

} // namespace

TEST(TotalsKill, AKilledWriterLosesOnlyItsUncommittedCounts)
{
    TempDir dir;
    std::mt19937 random(std::random_device {}());
    long long last = 0;
    // Each run's writer starts from what the database kept of the run before.
    for (int run = 0; run <= 100; ++run) {
        unsigned long long start = ~0ull;
        const long long before = last;
        last = KillWriterAfter(dir.File("corvala.ini"), 2 + int(random() % 4), unsigned(random() % 3000), start);
        // Committed after its last line at most once more; never counted twice.
        EXPECT_TRUE(start == static_cast<unsigned long long>(before) || start == before + kPerCommit)
            << "run " << run << ": " << start << " after " << before;
        ASSERT_GE(last, 0) << "run " << run;
        ASSERT_EQ(IntegrityCheck(dir.File("corvala.db")), "ok") << "run " << run;
    }
}

TEST(TotalsKill, CountingAndReadingWriteNothingUntilACommit)
{
    TempDir dir;
    CTrafficTotals totals;
    const std::int64_t now = std::time(nullptr);
    ASSERT_EQ(totals.Open(dir.File("corvala.ini"), now), CTotalsStore::OpenResult::Opened);
    TotalsSummary summary;
    totals.Summarize(1, now, summary);
    const std::string before = DatabaseStamp(dir);
    for (std::uint64_t cycle = 0; cycle < 3000; ++cycle) {
        totals.Count({{"m", "eth0", 1, cycle * 1500, cycle * 60}}, now);
        totals.Summarize(1, now, summary);
        totals.TakeCapWarning(summary, 0);
    }
    EXPECT_EQ(DatabaseStamp(dir), before) << "3000 cycles wrote to the database";
    ASSERT_TRUE(totals.Commit(now));
    const std::string committed = DatabaseStamp(dir);
    EXPECT_NE(committed, before);
    totals.Summarize(1, now, summary);
    ASSERT_TRUE(totals.Commit(now));
    EXPECT_EQ(DatabaseStamp(dir), committed) << "a commit with nothing pending wrote";
    EXPECT_EQ(summary.todayAll.received, 2999u * 1500);
}
