// The totals database through the program's own operations: counting, committing, reading
// back after a restart, the cap warning, and files that are broken or not ours.

#include "CTrafficTotals.h"
#include "TempDir.h"
#include "TotalsFiles.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

namespace {

const std::int64_t kNow = std::time(nullptr);

std::uint64_t MonthReceived(CTrafficTotals &totals)
{
    TotalsSummary summary;
    EXPECT_TRUE(totals.Summarize(1, kNow, summary));
    return summary.monthAll.received;
}

int BrokenFilesBeside(const TempDir &dir)
{
    int count = 0;
    for (const auto &entry : std::filesystem::directory_iterator(dir.Path()))
        count += entry.path().filename().string().rfind("corvala.db.broken-", 0) == 0;
    return count;
}

} // namespace

TEST(TotalsStore, CountsSurviveARestartAndACapWarningIsGivenOnce)
{
    TempDir dir;
    const std::string ini = dir.File("corvala.ini");
    {
        CTrafficTotals totals;
        ASSERT_EQ(totals.Open(ini, kNow), CTotalsStore::OpenResult::Opened);
        totals.Count({{"m", "eth0", 2, 1000, 10}}, kNow);
        totals.Count({{"m", "eth0", 2, 1000 + (900 << 20), 20}}, kNow);
        EXPECT_EQ(MonthReceived(totals), 900u << 20) << "pending counts are shown";
        ASSERT_TRUE(totals.Commit(kNow));
        TotalsSummary summary;
        ASSERT_TRUE(totals.Summarize(1, kNow, summary));
        EXPECT_EQ(summary.interfaces.at(0).name + " " + std::to_string(summary.todayAll.received) + " "
                      + std::to_string(summary.todayAll.sent),
                  "eth0 " + std::to_string(900 << 20) + " 10");
        EXPECT_EQ(totals.TakeCapWarning(summary, 1000), 80);
        EXPECT_EQ(totals.TakeCapWarning(summary, 1000), 0);
    }
    EXPECT_TRUE(std::filesystem::exists(dir.File("corvala.db")));
    CTrafficTotals restarted;
    ASSERT_EQ(restarted.Open(ini, kNow), CTotalsStore::OpenResult::Opened);
    EXPECT_EQ(MonthReceived(restarted), 900u << 20);
    restarted.Count({{"m", "wan", 5, 0, 0}}, kNow);
    restarted.Count({{"m", "wan", 5, 200 << 20, 0}}, kNow);
    TotalsSummary summary;
    ASSERT_TRUE(restarted.Summarize(1, kNow, summary));
    ASSERT_EQ(summary.interfaces.size(), 1u) << "a rename continues the total";
    EXPECT_EQ(summary.interfaces[0].name, "wan");
    EXPECT_EQ(restarted.TakeCapWarning(summary, 2000), 0) << "80 % was given before the restart";
    EXPECT_EQ(restarted.TakeCapWarning(summary, 1000), 100);
    EXPECT_TRUE(restarted.Commit(kNow));
    EXPECT_EQ(MonthReceived(restarted), 1100u << 20);
}

TEST(TotalsStore, ABrokenOrForeignDatabaseIsSetAsideAndANewOneStarted)
{
    const std::pair<const char *, std::string> cases[] = {
        {"not a database", "[CNTBASE]\nTYPE=0\n"},
        {"another program's database", "foreign"},
        {"damaged pages", "damaged"},
        {"an empty file is a new database", ""},
    };
    for (const auto &[what, content] : cases) {
        TempDir dir;
        const std::string path = dir.File("corvala.db");
        CTotalsStore store;
        ASSERT_EQ(store.Open(path, kNow), CTotalsStore::OpenResult::Opened) << what;
        std::vector<DayCount> rows;
        for (int i = 0; i < 3000; ++i)
            rows.push_back({"id" + std::to_string(i), "if", {2024, 1, 1}, {1, 1}});
        ASSERT_TRUE(store.Commit(rows)) << what;
        store.Close();
        std::string bytes = ReadFile(path);
        if (content == "foreign")
            bytes.replace(68, 4, "ABCD"); // the application id
        else if (content == "damaged")
            bytes.replace(bytes.size() / 2, 4096, 4096, '\x55');
        else
            bytes = content;
        WriteFile(path, bytes);
        const bool empty = content.empty();
        EXPECT_EQ(store.Open(path, kNow), empty ? CTotalsStore::OpenResult::Opened : CTotalsStore::OpenResult::Replaced)
            << what;
        EXPECT_EQ(BrokenFilesBeside(dir), empty ? 0 : 1) << what;
        EXPECT_TRUE(store.Commit(rows)) << what;
    }
}

TEST(TotalsStore, ReadersNeverCreateADatabase)
{
    TempDir dir;
    EXPECT_FALSE(CTotalsStore().OpenReadOnly(dir.File("corvala.db")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("corvala.db")));
    EXPECT_EQ(DatabasePathFor("C:\\Tools\\CORVALA.INI"), "C:\\Tools\\CORVALA.db");
    EXPECT_EQ(DatabasePathFor("/opt/corvala"), "/opt/corvala.db");
}
