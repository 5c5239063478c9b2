// The value text of one sample, as the display timer makes it for every sample it takes.

#include "ValueText.h"

#include <benchmark/benchmark.h>

namespace {

void BM_FormatValueText(benchmark::State &state)
{
    const std::int64_t value = state.range(0);
    const std::string unit = "B/s";
    for (auto _ : state)
        benchmark::DoNotOptimize(FormatValueText(value, unit));
}
BENCHMARK(BM_FormatValueText)->ArgName("value")->Arg(1000)->Arg(1536)->Arg(1572864);

void BM_SampleToValueAndText(benchmark::State &state)
{
    plat::FmtCounterValue raw;
    raw.doubleValue = 1572864.25;
    const CounterSample sample = CounterSample::Make(0, plat::PDH_FMT_DOUBLE, raw);
    const std::string unit = "B/s";
    for (auto _ : state) {
        std::int64_t value = 0;
        SampleToValue(sample, value);
        benchmark::DoNotOptimize(FormatValueText(value, unit));
    }
}
BENCHMARK(BM_SampleToValueAndText);

} // namespace
