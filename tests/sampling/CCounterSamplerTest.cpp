// The sampling thread against a recording fake of the counter functions: when values come,
// in which order, what a rebuild and a stop do, and how the settings are read.

#include "CCounterSampler.h"
#include "FakeCounterSource.h"
#include "SamplerTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using Call = FakeCounterSource::Call;

namespace {

class CounterSampler : public ::testing::Test {
protected:
    void SetUp() override { LoadSettings(""); }
    // Settings from `text`, the rest defaults; INS_NAME eth9, COUNTER_WAIT 20 unless given.
    void LoadSettings(const std::string &text)
    {
        WriteFile(m_dir.File("corvala.ini"), "[TIME]\nCOUNTER_WAIT=20\n[CNTBASE]\nINS_NAME=eth9\n" + text);
        m_settings.Load(m_dir.File("corvala.ini"));
    }
    // Everything queued so far, added to what earlier calls took.
    const std::vector<CounterSample> &Taken()
    {
        std::vector<CounterSample> batch;
        m_sampler.TakeSamples(batch);
        m_taken.insert(m_taken.end(), batch.begin(), batch.end());
        return m_taken;
    }
    bool WaitForSamples(std::size_t count) { return WaitUntil([&] { return Taken().size() >= count; }, 5s); }
    bool WaitForCalls(Call call, std::size_t count)
    {
        return WaitUntil([&] { return m_fake.Count(call) >= count; }, 5s);
    }
    // The ten zero samples close the queue.
    void ExpectZeroSamplesLast()
    {
        ASSERT_GE(Taken().size(), std::size_t(kCounterCount));
        for (int i = 0; i < kCounterCount; ++i) {
            const CounterSample &sample = m_taken[m_taken.size() - kCounterCount + std::size_t(i)];
            EXPECT_EQ(sample.m_nIndex, i);
            EXPECT_EQ(sample.m_nFormat, plat::PDH_FMT_LONG);
            EXPECT_EQ(sample.LargeValue(), 0);
        }
    }

    TempDir m_dir;
    FakeCounterSource m_fake; // outlives the sampler and its thread
    CSetSystem m_settings;
    CCounterSampler m_sampler {m_settings, FakeCounterSource::Api()};
    std::vector<CounterSample> m_taken;
};

} // namespace

TEST_F(CounterSampler, FirstValuesComeOnePauseAfterTheBuild)
{
    m_settings.m_CntBase.SetCounterWait(150);
    ASSERT_EQ(m_sampler.Start(), 1);
    ASSERT_TRUE(WaitForSamples(1));
    const auto collects = m_fake.Events(Call::Collect);
    ASSERT_GE(collects.size(), 2u);
    EXPECT_GE(collects[1].at - collects[0].at, 150ms) << "the build's collection is only the base";
    EXPECT_GE(m_fake.Events(Call::Fetch).front().at, collects[1].at);
}

TEST_F(CounterSampler, SamplesFollowTheFetchesInIndexOrderAndEndWithTenZeros)
{
    ASSERT_EQ(m_sampler.Start(), 1);
    ASSERT_TRUE(WaitForSamples(3 * kCounterCount));
    m_sampler.Stop();
    std::vector<FakeCounterSource::Event> fetched;
    for (const auto &event : m_fake.Events(Call::Fetch))
        if (event.ok)
            fetched.push_back(event);
    ASSERT_EQ(Taken().size(), fetched.size() + kCounterCount);
    for (std::size_t i = 0; i < fetched.size(); ++i) {
        const std::string name = m_settings.m_CntData[i % kCounterCount].GetCntName();
        EXPECT_EQ(m_taken[i].m_nIndex, int(i % kCounterCount));
        EXPECT_EQ(fetched[i].path, "\\Network Interface(eth9)\\" + name);
        EXPECT_EQ(m_taken[i].m_nFormat, plat::PDH_FMT_LARGE);
        EXPECT_EQ(m_taken[i].LargeValue(), fetched[i].value.largeValue);
    }
    ExpectZeroSamplesLast();
    EXPECT_TRUE(m_sampler.HasEnded());
    EXPECT_EQ(m_fake.LiveHandles(), 0u) << "every counter removed and the query closed";
}

TEST_F(CounterSampler, ADrainBetweenTwoFetchesFindsOnlyWholeCycles)
{
    std::vector<std::vector<int>> drained; // sampling thread until Stop, then this one
    m_fake.m_onFetch = [this, &drained] {
        std::vector<CounterSample> batch;
        m_sampler.TakeSamples(batch);
        if (!batch.empty())
            drained.emplace_back();
        for (const CounterSample &sample : batch)
            drained.back().push_back(sample.m_nIndex);
    };
    ASSERT_EQ(m_sampler.Start(), 1);
    ASSERT_TRUE(WaitForCalls(Call::Fetch, 3 * kCounterCount));
    m_sampler.Stop();
    ASSERT_FALSE(drained.empty());
    for (const std::vector<int> &batch : drained) {
        ASSERT_EQ(batch.size(), std::size_t(kCounterCount)) << "one whole cycle per drain";
        for (std::size_t i = 0; i < batch.size(); ++i)
            EXPECT_EQ(batch[i], int(i));
    }
}

TEST_F(CounterSampler, EachDefinitionIsFetchedWithItsOwnFormat)
{
    LoadSettings("[CNTDATA_1]\nFORMAT=256\n[CNTDATA_2]\nFORMAT=512\n[CNTDATA_3]\nFORMAT=999\n");
    ASSERT_EQ(m_sampler.Start(), 1);
    ASSERT_TRUE(WaitForSamples(3));
    const auto fetches = m_fake.Events(Call::Fetch);
    EXPECT_EQ(fetches[0].format, plat::PDH_FMT_LONG);
    EXPECT_EQ(m_taken[0].LongValue(), fetches[0].value.longValue);
    EXPECT_EQ(m_taken[0].LargeValue() >> 32, 0) << "the upper half of a long sample stays 0";
    EXPECT_EQ(m_taken[1].DoubleValue(), fetches[1].value.doubleValue);
    EXPECT_EQ(m_taken[2].m_nFormat, 999u);
    EXPECT_EQ(m_taken[2].LargeValue(), 0) << "an unknown format carries no value";
}

// A counter that is there but gives no value (its interface is gone) shows 0, not its last
// rate; one that was never added gives nothing.
TEST_F(CounterSampler, BlankNamesAndFailedAddsGiveNoSamplesFailedFetchesGiveZeros)
{
    LoadSettings("[CNTDATA_2]\nCNT_NAME=\"%BLANK%\"\n[CNTDATA_5]\nCNT_NAME=\"%BLANK%\"\n");
    m_fake.m_strFailAdd = "\\Packets/sec";
    m_fake.m_strFailFetch = "\\Packets Sent Unicast/sec";
    ASSERT_EQ(m_sampler.Start(), 1);
    ASSERT_TRUE(WaitForSamples(3 * 7));
    EXPECT_EQ(m_fake.Count(Call::Add), 8u);
    std::size_t zeros = 0;
    for (const CounterSample &sample : Taken()) {
        EXPECT_TRUE(sample.m_nIndex != 1 && sample.m_nIndex != 4 && sample.m_nIndex != 5) << sample.m_nIndex;
        if (sample.m_nIndex == 7) {
            EXPECT_EQ(sample.m_nFormat, plat::PDH_FMT_LONG);
            EXPECT_EQ(sample.LargeValue(), 0);
            ++zeros;
        }
    }
    EXPECT_GE(zeros, 3u);
}

// The hook runs after each whole cycle is queued, the ten zeros of the end included, and
// never after Stop; it cannot be changed under a running thread.
TEST_F(CounterSampler, SampleHookFindsEachCycleQueued)
{
    std::vector<std::size_t> found; // written by the sampling thread until Stop returns
    ASSERT_EQ(m_sampler.SetSampleHook([&] {
        std::vector<CounterSample> batch;
        m_sampler.TakeSamples(batch);
        found.push_back(batch.size());
    }), 1);
    ASSERT_EQ(m_sampler.Start(), 1);
    EXPECT_EQ(m_sampler.SetSampleHook({}), 0);
    ASSERT_TRUE(WaitForCalls(Call::Fetch, 3 * kCounterCount));
    m_sampler.Stop();
    ASSERT_GE(found.size(), 3u);
    for (const std::size_t size : found)
        EXPECT_EQ(size, std::size_t(kCounterCount));
    EXPECT_EQ(m_sampler.SetSampleHook({}), 1);
}

TEST_F(CounterSampler, AllNamesBlankGivesOnlyTheZeroSamples)
{
    std::string text;
    for (int n = 1; n <= kCounterCount; ++n)
        text += "[CNTDATA_" + std::to_string(n) + "]\nCNT_NAME=\"%BLANK%\"\n";
    LoadSettings(text);
    ASSERT_EQ(m_sampler.Start(), 1);
    ASSERT_TRUE(WaitForCalls(Call::Collect, 4));
    m_sampler.Stop();
    EXPECT_EQ(m_fake.Count(Call::Add), 0u);
    EXPECT_EQ(Taken().size(), std::size_t(kCounterCount));
    ExpectZeroSamplesLast();
}

TEST_F(CounterSampler, EmptyInstanceNameLeavesTheInstanceOutOfThePath)
{
    m_settings.m_CntBase.SetInsName("");
    ASSERT_EQ(m_sampler.Start(), 1);
    ASSERT_TRUE(WaitForCalls(Call::Add, 1));
    EXPECT_EQ(m_fake.Events(Call::Add).front().path, "\\Network Interface\\Bytes Received/sec");
}

TEST_F(CounterSampler, RebuildReleasesTheQueryAndReadsTheChangedSettings)
{
    ASSERT_EQ(m_sampler.Start(), 1);
    ASSERT_TRUE(WaitForSamples(kCounterCount));
    EXPECT_FALSE(m_sampler.GetRebuildFlag()) << "the first build clears the request";

    LoadSettings("[CNTDATA_3]\nCNT_NAME=\"%BLANK%\"\n");
    m_settings.m_CntBase.SetInsName("wlan7");
    m_sampler.RequestRebuild();
    ASSERT_TRUE(WaitForCalls(Call::Open, 2));
    EXPECT_EQ(m_fake.Count(Call::Remove), std::size_t(kCounterCount));
    EXPECT_EQ(m_fake.Count(Call::Close), 1u);
    ASSERT_TRUE(WaitForCalls(Call::Add, kCounterCount + 9));
    const auto adds = m_fake.Events(Call::Add);
    for (std::size_t i = kCounterCount; i < adds.size(); ++i)
        EXPECT_NE(adds[i].path.find("(wlan7)"), std::string::npos) << adds[i].path;

    Taken(); // every sample of the old query is queued by now
    m_taken.clear();
    ASSERT_TRUE(WaitForSamples(2 * 9));
    for (const CounterSample &sample : m_taken)
        EXPECT_NE(sample.m_nIndex, 2) << "a name emptied at the rebuild stops its samples";
}

TEST_F(CounterSampler, CounterWaitChangeTakesEffectAtTheNextPause)
{
    ASSERT_EQ(m_sampler.Start(), 1);
    ASSERT_TRUE(WaitForCalls(Call::Collect, 3));
    const std::size_t seen = m_fake.Count(Call::Collect);
    m_settings.m_CntBase.SetCounterWait(250);
    ASSERT_TRUE(WaitForCalls(Call::Collect, seen + 3));
    const auto collects = m_fake.Events(Call::Collect);
    EXPECT_LT(collects[2].at - collects[1].at, 250ms);
    // The pause under way when the setting changed may still be the short one.
    for (std::size_t i = seen + 1; i < collects.size(); ++i)
        EXPECT_GE(collects[i].at - collects[i - 1].at, 250ms) << "collection " << i;
}

TEST_F(CounterSampler, FailedOpenEndsTheThreadWithOnlyTheZeroSamples)
{
    m_fake.m_bFailOpen = true;
    ASSERT_EQ(m_sampler.Start(), 1);
    ASSERT_TRUE(WaitUntil([&] { return m_sampler.HasEnded(); }, 5s));
    m_sampler.RequestRebuild();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(m_fake.Count(Call::Open), 1u) << "an ended thread does not rebuild";
    EXPECT_EQ(Taken().size(), std::size_t(kCounterCount));
    ExpectZeroSamplesLast();
}

TEST_F(CounterSampler, StopDuringALongPauseReturnsPromptly)
{
    m_settings.m_CntBase.SetCounterWait(60000);
    ASSERT_EQ(m_sampler.Start(), 1);
    ASSERT_TRUE(WaitForCalls(Call::Collect, 1));
    const auto before = std::chrono::steady_clock::now();
    m_sampler.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
    EXPECT_EQ(m_fake.Count(Call::Collect), 1u) << "a pause cut short by a stop collects nothing more";
    ExpectZeroSamplesLast();
}

TEST_F(CounterSampler, StartIsRefusedWhileRunningAndBuildsAnewAfterAStop)
{
    ASSERT_EQ(m_sampler.Start(), 1);
    EXPECT_EQ(m_sampler.Start(), 0);
    ASSERT_TRUE(WaitForCalls(Call::Open, 1));
    m_sampler.Stop();
    ASSERT_EQ(m_sampler.Start(), 1);
    EXPECT_TRUE(WaitForCalls(Call::Open, 2));
}
