// The totals database on a large file (ten years of days for 10 or 100 interfaces): opening
// it with its check, one commit, reading a billing month; and the per-cycle cost of reading
// the counters, counting and summing with the database's totals already read.

#include "CTrafficTotals.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <filesystem>
#include <string>

namespace {

const std::int64_t kNow = std::time(nullptr);

// A database of `interfaces` x 3650 days, made once per size in the temporary folder.
std::string LargeDatabase(int interfaces)
{
    const auto path = std::filesystem::temp_directory_path() / ("corvala-bench-" + std::to_string(interfaces) + ".db");
    if (std::filesystem::exists(path))
        return path.string();
    CTotalsStore store;
    store.Open(path.string(), kNow);
    std::vector<DayCount> rows;
    for (int day = 0; day < 3650; ++day) {
        LocalDate date;
        LocalDateOf(kNow - std::int64_t(day) * 86400, date);
        for (int i = 0; i < interfaces; ++i)
            rows.push_back({"52:54:00:00:00:" + std::to_string(i), "eth" + std::to_string(i), date, {123456789, 9876543}});
    }
    store.Commit(rows);
    return path.string();
}

void BM_OpenLarge(benchmark::State &state)
{
    const std::string path = LargeDatabase(int(state.range(0)));
    state.counters["MiB"] = double(std::filesystem::file_size(path)) / (1 << 20);
    for (auto _ : state) {
        CTotalsStore store;
        benchmark::DoNotOptimize(store.Open(path, kNow));
    }
}
BENCHMARK(BM_OpenLarge)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_CommitTenInterfaces(benchmark::State &state)
{
    CTotalsStore store;
    store.Open(LargeDatabase(10), kNow);
    LocalDate today;
    LocalDateOf(kNow, today);
    std::vector<DayCount> counts;
    for (int i = 0; i < 10; ++i)
        counts.push_back({"52:54:00:00:00:" + std::to_string(i), "eth" + std::to_string(i), today, {1500, 60}});
    for (auto _ : state)
        benchmark::DoNotOptimize(store.Commit(counts));
}
BENCHMARK(BM_CommitTenInterfaces)->Unit(benchmark::kMillisecond);

void BM_ReadBillingMonth(benchmark::State &state)
{
    CTotalsStore store;
    store.Open(LargeDatabase(int(state.range(0))), kNow);
    LocalDate today;
    LocalDateOf(kNow, today);
    std::vector<InterfaceTotals> totals;
    for (auto _ : state)
        benchmark::DoNotOptimize(store.ReadTotals(today, BillingMonthOf(today, 1), totals));
}
BENCHMARK(BM_ReadBillingMonth)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);

void BM_CountAndSummarizeOneCycle(benchmark::State &state)
{
    const auto ini = std::filesystem::temp_directory_path() / "corvala-bench-cycle.ini";
    CTrafficTotals totals;
    totals.Open(ini.string(), kNow);
    TotalsSummary summary;
    std::uint64_t bytes = 0;
    for (auto _ : state) {
        bytes += 1500;
        totals.Count({{"52:54:00:00:00:01", "eth0", 2, bytes, bytes / 20}}, kNow);
        totals.Summarize(1, kNow, summary);
        benchmark::DoNotOptimize(summary.todayAll.received);
    }
}
BENCHMARK(BM_CountAndSummarizeOneCycle);

// The reading each cycle makes: the octet counters of one interface by name (loopback).
void BM_ReadOneInterface(benchmark::State &state)
{
    plat::COctetReader reader;
    const std::vector<std::string> names {"lo"};
    std::vector<plat::InterfaceOctets> octets;
    for (auto _ : state)
        benchmark::DoNotOptimize(reader.Read(names, octets));
}
BENCHMARK(BM_ReadOneInterface);

} // namespace
