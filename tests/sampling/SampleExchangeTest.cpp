// The sample queue on its own: both sides at once, in order, and no allocation by a drain
// that finds nothing. Also run under ThreadSanitizer.

#include "CCounterSampler.h"
#include "FakeCounterSource.h"
#include "SamplerTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <thread>

namespace {

thread_local std::size_t t_allocations = 0;

CounterSample Numbered(int producer, std::int64_t serial)
{
    plat::FmtCounterValue value;
    value.largeValue = serial;
    return CounterSample::Make(producer, plat::PDH_FMT_LARGE, value);
}

} // namespace

// Counts this thread's allocations, for the drain that must not allocate.
void *operator new(std::size_t size)
{
    ++t_allocations;
    if (void *memory = std::malloc(size ? size : 1))
        return memory;
    std::abort();
}
void operator delete(void *memory) noexcept
{
    std::free(memory);
}
void operator delete(void *memory, std::size_t) noexcept
{
    std::free(memory);
}

TEST(SampleExchange, DrainingAnEmptyQueueAllocatesNothingAndEmptiesTheOutput)
{
    CCounterSampler sampler(theSetSystem, FakeCounterSource::Api());
    std::vector<CounterSample> out(3);
    out.reserve(16);
    const std::size_t before = t_allocations;
    sampler.TakeSamples(out);
    EXPECT_EQ(t_allocations, before);
    EXPECT_TRUE(out.empty()) << "old contents do not survive a drain";
}

TEST(SampleExchange, ConcurrentProducersAndADrainLoseAndReorderNothing)
{
    constexpr int kPerProducer = 5000;
    CCounterSampler sampler(theSetSystem, FakeCounterSource::Api());
    auto produce = [&sampler](int producer) {
        for (int i = 0; i < kPerProducer; ++i)
            sampler.AppendSample(Numbered(producer, i));
    };
    std::thread first(produce, 0), second(produce, 1);
    std::vector<CounterSample> all, batch;
    const bool complete = WaitUntil(
        [&] {
            sampler.TakeSamples(batch);
            all.insert(all.end(), batch.begin(), batch.end());
            return all.size() >= 2 * kPerProducer;
        },
        std::chrono::milliseconds(10000));
    first.join();
    second.join();
    ASSERT_TRUE(complete);
    EXPECT_EQ(all.size(), std::size_t(2 * kPerProducer));
    std::int64_t next[2] = {0, 0};
    for (const CounterSample &sample : all) {
        ASSERT_TRUE(sample.m_nIndex == 0 || sample.m_nIndex == 1);
        EXPECT_EQ(sample.LargeValue(), next[sample.m_nIndex]++);
    }
}
