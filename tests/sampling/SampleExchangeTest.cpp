// The sample queue on its own: two producers and a drain at once, in order, and no
// allocation by a drain that finds nothing. Also run under ThreadSanitizer.

#include "CCounterSampler.h"
#include "SamplerTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

namespace {

thread_local std::size_t t_allocations = 0;

} // namespace

void *operator new(std::size_t size)
{
    ++t_allocations;
    if (void *memory = std::malloc(size ? size : 1))
        return memory;
    std::abort();
}
// The library's temporary buffers come from the nothrow form: it must take the same heap.
void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    ++t_allocations;
    return std::malloc(size ? size : 1);
}
void operator delete(void *memory) noexcept
{
    std::free(memory);
}
void operator delete(void *memory, std::size_t) noexcept
{
    std::free(memory);
}

TEST(SampleExchange, DrainingAnEmptyQueueAllocatesNothingAndClearsTheOutput)
{
    CCounterSampler sampler;
    std::vector<CounterSample> out(3);
    const std::size_t before = t_allocations;
    sampler.TakeSamples(out);
    EXPECT_EQ(t_allocations, before);
    EXPECT_TRUE(out.empty());
}

TEST(SampleExchange, ConcurrentProducersAndADrainLoseAndReorderNothing)
{
    constexpr int kEach = 5000;
    CCounterSampler sampler;
    auto produce = [&sampler](int producer) {
        plat::FmtCounterValue value;
        for (value.largeValue = 0; value.largeValue < kEach; ++value.largeValue)
            sampler.AppendSample(CounterSample::Make(producer, plat::PDH_FMT_LARGE, value));
    };
    std::thread first(produce, 0), second(produce, 1);
    std::vector<CounterSample> all, batch;
    const bool complete = WaitUntil(
        [&] {
            sampler.TakeSamples(batch);
            all.insert(all.end(), batch.begin(), batch.end());
            return all.size() >= 2 * kEach;
        },
        std::chrono::seconds(10));
    first.join();
    second.join();
    ASSERT_TRUE(complete);
    EXPECT_EQ(all.size(), std::size_t(2 * kEach));
    std::int64_t next[2] = {0, 0};
    for (const CounterSample &sample : all)
        ASSERT_EQ(sample.LargeValue(), next[sample.m_nIndex]++);
}
