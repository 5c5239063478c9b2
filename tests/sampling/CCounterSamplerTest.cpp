// The sampling thread against a fake counter source: when values come, in which order, what
// a rebuild and a stop do, and how the settings are read.

#include "CCounterSampler.h"
#include "FakeCounterSource.h"
#include "SamplerTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace std::chrono_literals;
using Call = FakeCounterSource::Call;

namespace {

constexpr auto kPatience = 5000ms;

class CounterSampler : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_settings.Load(""); // defaults, no file
        m_settings.m_CntBase.SetInsName("eth9");
        m_settings.m_CntBase.SetCounterWait(20);
    }
    // Loads the settings from `text`; keys it lacks keep their defaults.
    void LoadSettings(const std::string &text)
    {
        WriteFile(m_dir.File("corvala.ini"), text);
        m_settings.Load(m_dir.File("corvala.ini"));
        m_settings.m_CntBase.SetCounterWait(20);
    }
    // Everything queued so far, added to what earlier calls took.
    const std::vector<CounterSample> &Taken()
    {
        std::vector<CounterSample> batch;
        m_sampler.TakeSamples(batch);
        m_taken.insert(m_taken.end(), batch.begin(), batch.end());
        return m_taken;
    }
    bool WaitForSamples(std::size_t count) { return WaitUntil([&] { return Taken().size() >= count; }, kPatience); }
    std::size_t Count(Call call) const { return m_fake.Events(call).size(); }
    static int IndexOfPath(const std::string &path, const CSetSystem &settings)
    {
        for (int i = 0; i < kCounterCount; ++i) {
            const std::string name = settings.m_CntData[static_cast<std::size_t>(i)].GetCntName();
            if (!name.empty() && path.size() > name.size() && path.substr(path.size() - name.size() - 1) == "\\" + name)
                return i;
        }
        return -1;
    }
    static bool IsZeroSample(const CounterSample &sample, int index)
    {
        static const unsigned char kZero[8] = {};
        return sample.m_nIndex == index && sample.m_nFormat == plat::PDH_FMT_LONG
               && std::memcmp(sample.m_abValue, kZero, 8) == 0;
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
    const auto fetches = m_fake.Events(Call::Fetch);
    ASSERT_GE(collects.size(), 2u);
    ASSERT_FALSE(fetches.empty());
    EXPECT_GE(collects[1].at - collects[0].at, 150ms) << "the build's collection is only the base";
    EXPECT_GE(fetches.front().at, collects[1].at) << "nothing is fetched before the second collection";
    EXPECT_EQ(m_fake.Events(Call::Add).size(), std::size_t(kCounterCount));
}

TEST_F(CounterSampler, SamplesFollowTheFetchesInIndexOrderWithTheirValues)
{
    ASSERT_EQ(m_sampler.Start(), 1);
    ASSERT_TRUE(WaitForSamples(3 * kCounterCount));
    m_sampler.Stop();
    const std::vector<CounterSample> &samples = Taken();
    std::vector<FakeCounterSource::Event> fetched;
    for (const auto &event : m_fake.Events(Call::Fetch))
        if (event.ok)
            fetched.push_back(event);
    ASSERT_EQ(samples.size(), fetched.size() + kCounterCount);
    for (std::size_t i = 0; i < fetched.size(); ++i) {
        EXPECT_EQ(samples[i].m_nIndex, static_cast<int>(i % kCounterCount));
        EXPECT_EQ(samples[i].m_nIndex, IndexOfPath(fetched[i].path, m_settings));
        EXPECT_EQ(samples[i].m_nFormat, plat::PDH_FMT_LARGE);
        EXPECT_EQ(samples[i].LargeValue(), fetched[i].value.largeValue);
    }
}

TEST_F(CounterSampler, EachDefinitionIsFetchedWithItsOwnFormat)
{
    LoadSettings("[CNTDATA_1]\nFORMAT=256\n[CNTDATA_2]\nFORMAT=512\n[CNTDATA_3]\nFORMAT=999\n");
    ASSERT_EQ(m_sampler.Start(), 1);
    ASSERT_TRUE(WaitForSamples(kCounterCount));
    const std::vector<CounterSample> &samples = Taken();
    const auto fetches = m_fake.Events(Call::Fetch);
    ASSERT_GE(fetches.size(), 3u);
    EXPECT_EQ(fetches[0].format, plat::PDH_FMT_LONG);
    EXPECT_EQ(samples[0].LongValue(), fetches[0].value.longValue);
    EXPECT_EQ(samples[0].LargeValue() >> 32, 0) << "the upper half of a long sample stays 0";
    EXPECT_EQ(samples[1].m_nFormat, plat::PDH_FMT_DOUBLE);
    EXPECT_EQ(samples[1].DoubleValue(), fetches[1].value.doubleValue);
    EXPECT_EQ(samples[2].m_nFormat, 999u);
    EXPECT_EQ(samples[2].LargeValue(), 0) << "an unknown format carries no value";
}

TEST_F(CounterSampler, EmptyCounterNamesAreNeitherAddedNorSampled)
{
    LoadSettings("[CNTDATA_2]\nCNT_NAME=\"%BLANK%\"\n[CNTDATA_5]\nCNT_NAME=\"%BLANK%\"\n");
    m_fake.FailAdd("\\Packets/sec");
    m_fake.FailFetch("\\Packets Sent Unicast/sec");
    ASSERT_EQ(m_sampler.Start(), 1);
    ASSERT_TRUE(WaitForSamples(3 * 6));
    EXPECT_EQ(Count(Call::Add), 8u);
    for (const CounterSample &sample : Taken()) {
        EXPECT_NE(sample.m_nIndex, 1) << "blank name";
        EXPECT_NE(sample.m_nIndex, 4) << "blank name";
        EXPECT_NE(sample.m_nIndex, 5) << "failed add";
        EXPECT_NE(sample.m_nIndex, 7) << "failed fetch";
    }
}

TEST_F(CounterSampler, AllNamesEmptyGivesOnlyTheZeroSamplesAtTheEnd)
{
    std::string text;
    for (int n = 1; n <= kCounterCount; ++n)
        text += "[CNTDATA_" + std::to_string(n) + "]\nCNT_NAME=\"%BLANK%\"\n";
    LoadSettings(text);
    ASSERT_EQ(m_sampler.Start(), 1);
    ASSERT_TRUE(WaitUntil([&] { return Count(Call::Collect) >= 4; }, kPatience));
    m_sampler.Stop();
    EXPECT_EQ(Count(Call::Add), 0u);
    ASSERT_EQ(Taken().size(), std::size_t(kCounterCount));
    for (int i = 0; i < kCounterCount; ++i)
        EXPECT_TRUE(IsZeroSample(Taken()[static_cast<std::size_t>(i)], i));
}

TEST_F(CounterSampler, EmptyInstanceNameBuildsPathsWithoutInstance)
{
    m_settings.m_CntBase.SetInsName("");
    ASSERT_EQ(m_sampler.Start(), 1);
    ASSERT_TRUE(WaitUntil([&] { return Count(Call::Add) == std::size_t(kCounterCount); }, kPatience));
    for (const auto &event : m_fake.Events(Call::MakePath))
        EXPECT_TRUE(event.noInstance);
    EXPECT_EQ(m_fake.Events(Call::Add).front().path, "\\Network Interface\\Bytes Received/sec");
}

TEST_F(CounterSampler, RebuildReleasesTheQueryAndReadsTheChangedSettings)
{
    ASSERT_EQ(m_sampler.Start(), 1);
    ASSERT_TRUE(WaitForSamples(kCounterCount));
    EXPECT_FALSE(m_sampler.GetRebuildFlag());

    LoadSettings("[CNTBASE]\nINS_NAME=wlan7\n[CNTDATA_3]\nCNT_NAME=\"%BLANK%\"\n");
    m_sampler.RequestRebuild();
    ASSERT_TRUE(WaitUntil([&] { return Count(Call::Open) == 2 && Count(Call::Fetch) > 0
                                       && m_fake.Events(Call::Fetch).back().path.find("wlan7") != std::string::npos; },
                          kPatience));
    const auto events = m_fake.Events();
    const auto secondOpen = std::find_if(events.rbegin(), events.rend(), [](const auto &e) { return e.call == Call::Open; });
    const std::size_t reopened = static_cast<std::size_t>(events.rend() - secondOpen - 1);
    EXPECT_EQ(std::count_if(events.begin(), events.begin() + std::ptrdiff_t(reopened),
                            [](const auto &e) { return e.call == Call::Remove && e.ok; }),
              kCounterCount);
    EXPECT_EQ(m_fake.LiveQueries(), 1u) << "the old query was closed";
    const auto adds = m_fake.Events(Call::Add);
    ASSERT_EQ(adds.size(), std::size_t(kCounterCount + 9));
    for (std::size_t i = kCounterCount; i < adds.size(); ++i)
        EXPECT_NE(adds[i].path.find("(wlan7)"), std::string::npos) << adds[i].path;

    Taken(); // the old query's samples are all queued by now
    m_taken.clear();
    ASSERT_TRUE(WaitForSamples(2 * 9));
    for (const CounterSample &sample : m_taken)
        EXPECT_NE(sample.m_nIndex, 2) << "a name emptied at the rebuild stops its samples";
}

TEST_F(CounterSampler, CounterWaitChangeTakesEffectAtTheNextPause)
{
    m_settings.m_CntBase.SetCounterWait(30);
    ASSERT_EQ(m_sampler.Start(), 1);
    ASSERT_TRUE(WaitUntil([&] { return Count(Call::Collect) >= 3; }, kPatience));
    const std::size_t seen = Count(Call::Collect);
    m_settings.m_CntBase.SetCounterWait(250);
    ASSERT_TRUE(WaitUntil([&] { return Count(Call::Collect) >= seen + 3; }, kPatience));
    const auto collects = m_fake.Events(Call::Collect);
    // The pause under way when the setting changed may still be the short one.
    for (std::size_t i = seen + 1; i < collects.size(); ++i)
        EXPECT_GE(collects[i].at - collects[i - 1].at, 250ms) << "collection " << i;
    EXPECT_LT(collects[2].at - collects[1].at, 250ms);
}

TEST_F(CounterSampler, StopQueuesTenZeroSamplesLastAndReleasesEverything)
{
    ASSERT_EQ(m_sampler.Start(), 1);
    ASSERT_TRUE(WaitForSamples(2 * kCounterCount));
    m_sampler.Stop();
    EXPECT_TRUE(m_sampler.HasEnded());
    const std::vector<CounterSample> &samples = Taken();
    ASSERT_GE(samples.size(), std::size_t(3 * kCounterCount));
    const std::size_t zeros = samples.size() - kCounterCount;
    for (std::size_t i = 0; i < zeros; ++i)
        EXPECT_EQ(samples[i].m_nFormat, plat::PDH_FMT_LARGE);
    for (int i = 0; i < kCounterCount; ++i)
        EXPECT_TRUE(IsZeroSample(samples[zeros + std::size_t(i)], i)) << i;
    EXPECT_EQ(m_fake.LiveCounters(), 0u);
    EXPECT_EQ(m_fake.LiveQueries(), 0u);
}

TEST_F(CounterSampler, FailedOpenEndsTheThreadWithOnlyTheZeroSamples)
{
    m_fake.FailOpen(true);
    ASSERT_EQ(m_sampler.Start(), 1);
    ASSERT_TRUE(WaitUntil([&] { return m_sampler.HasEnded(); }, kPatience));
    m_sampler.RequestRebuild();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(Count(Call::Open), 1u) << "an ended thread does not rebuild";
    EXPECT_EQ(Count(Call::Add), 0u);
    ASSERT_EQ(Taken().size(), std::size_t(kCounterCount));
    for (int i = 0; i < kCounterCount; ++i)
        EXPECT_TRUE(IsZeroSample(m_taken[std::size_t(i)], i));
}

TEST_F(CounterSampler, StopDuringALongPauseReturnsPromptly)
{
    m_settings.m_CntBase.SetCounterWait(60000);
    ASSERT_EQ(m_sampler.Start(), 1);
    ASSERT_TRUE(WaitUntil([&] { return Count(Call::Collect) == 1; }, kPatience));
    const auto before = std::chrono::steady_clock::now();
    m_sampler.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
    EXPECT_EQ(Count(Call::Collect), 1u) << "a pause cut short by a stop collects nothing more";
    EXPECT_EQ(Taken().size(), std::size_t(kCounterCount));
}

TEST_F(CounterSampler, StartIsRefusedWhileRunningAndBuildsAnewAfterAStop)
{
    ASSERT_EQ(m_sampler.Start(), 1);
    EXPECT_EQ(m_sampler.Start(), 0);
    ASSERT_TRUE(WaitForSamples(kCounterCount));
    m_sampler.Stop();
    ASSERT_EQ(m_sampler.Start(), 1);
    EXPECT_FALSE(m_sampler.GetStopFlag());
    ASSERT_TRUE(WaitUntil([&] { return Count(Call::Open) == 2; }, kPatience));
}
