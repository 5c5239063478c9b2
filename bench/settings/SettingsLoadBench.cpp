// theSetSystem.Load at start-up: on a missing file (every key read, then written back with
// its default: one reading and one atomic replacement of the file for the whole load) and on
// a complete file (reads only). Files of many megabytes: startup_big_files.sh beside this.

#include "CSetSystem.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string BenchDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "corvala-bench-XXXXXX").string();
    return ::mkdtemp(pattern.data()) ? pattern : std::string();
}

void LoadMissingFile(benchmark::State &state)
{
    const std::string dir = BenchDir();
    const std::string path = dir + "/corvala.ini";
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(path);
        CSetSystem settings;
        state.ResumeTiming();
        benchmark::DoNotOptimize(settings.Load(path));
    }
    std::filesystem::remove_all(dir);
}

void LoadCompleteFile(benchmark::State &state)
{
    const std::string dir = BenchDir();
    const std::string path = dir + "/corvala.ini";
    CSetSystem().Load(path);
    for (auto _ : state) {
        CSetSystem settings;
        benchmark::DoNotOptimize(settings.Load(path));
    }
    std::filesystem::remove_all(dir);
}

} // namespace

BENCHMARK(LoadMissingFile)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadCompleteFile)->Unit(benchmark::kMillisecond);
