// The sampling thread with the real counter layer, on a veth pair in namespaces made by the
// test: values arrive, stop while the interface is gone and resume when it is back. Root only.

#include "CCounterSampler.h"
#include "NetNamespace.h"
#include "SamplerTestSupport.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

constexpr int kBytesSent = 1;

class SamplerNetns : public ::testing::Test {
protected:
    void SetUp() override
    {
        CORVALA_SKIP_WITHOUT_NETNS(m_a);
        ASSERT_TRUE(m_b.Ok());
        ASSERT_TRUE(ConnectPair(m_a, "cva", m_b, "cvb"));
        m_settings.Load("");
        m_settings.m_CntBase.SetInsName("cva");
        m_settings.m_CntBase.SetCounterWait(40);
    }
    // Keeps traffic flowing from cva until a non-zero "Bytes Sent/sec" sample arrives.
    bool WaitForTraffic(CCounterSampler &sampler)
    {
        UdpSocket sender("10.77.0.1");
        std::vector<CounterSample> samples;
        return WaitUntil(
            [&] {
                sender.Send("10.77.0.2", 40002, 500, 4);
                sampler.TakeSamples(samples);
                return std::any_of(samples.begin(), samples.end(), [](const CounterSample &s) {
                    return s.m_nIndex == kBytesSent && s.LargeValue() > 0;
                });
            },
            5000ms);
    }

    NetNamespace m_a, m_b;
    CSetSystem m_settings;
};

} // namespace

TEST_F(SamplerNetns, SamplingSurvivesTheInterfaceVanishingAndResumesWhenItIsBack)
{
    NamespaceEntry inA(m_a); // the sampling thread starts in, and reads, the test's namespace
    ASSERT_TRUE(inA.Ok());
    CCounterSampler sampler(m_settings);
    ASSERT_EQ(sampler.Start(), 1);
    ASSERT_TRUE(WaitForTraffic(sampler));

    ASSERT_TRUE(m_a.Ip("link del cva"));
    std::vector<CounterSample> samples;
    std::this_thread::sleep_for(150ms);
    sampler.TakeSamples(samples); // whatever the last cycle before the deletion queued
    std::this_thread::sleep_for(300ms);
    sampler.TakeSamples(samples);
    EXPECT_TRUE(samples.empty()) << samples.size() << " samples while the interface was gone";
    EXPECT_FALSE(sampler.HasEnded());

    ASSERT_TRUE(ConnectPair(m_a, "cva", m_b, "cvb"));
    EXPECT_TRUE(WaitForTraffic(sampler)) << "no rebuild needed to pick the interface up again";
    sampler.Stop();
}
