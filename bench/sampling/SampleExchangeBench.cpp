// The sample exchange: one cycle's ten samples appended by the sampling side and drained by
// the display side, and the display side's drain of an empty queue (most of its ticks).

#include "CCounterSampler.h"

#include <benchmark/benchmark.h>

#include <list>

namespace {

void BM_AppendTenAndDrain(benchmark::State &state)
{
    CCounterSampler sampler;
    std::vector<CounterSample> taken;
    plat::FmtCounterValue value;
    value.largeValue = 1536;
    for (auto _ : state) {
        std::list<CounterSample> cycle;
        for (int i = 0; i < kCounterCount; ++i)
            cycle.push_back(CounterSample::Make(i, plat::PDH_FMT_LARGE, value));
        sampler.AppendSamples(cycle);
        sampler.TakeSamples(taken);
        benchmark::DoNotOptimize(taken.data());
    }
}
BENCHMARK(BM_AppendTenAndDrain);

void BM_DrainEmpty(benchmark::State &state)
{
    CCounterSampler sampler;
    std::vector<CounterSample> taken;
    for (auto _ : state) {
        sampler.TakeSamples(taken);
        benchmark::DoNotOptimize(taken.data());
    }
}
BENCHMARK(BM_DrainEmpty);

} // namespace
