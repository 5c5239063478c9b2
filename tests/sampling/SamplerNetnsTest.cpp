// The sampling thread with the real counter layer on a veth pair in namespaces made by the
// test: values arrive, stop while the interface is gone and resume when it is back. Root only.

#include "CCounterSampler.h"
#include "NetNamespace.h"
#include "SamplerTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace std::chrono_literals;

namespace {

// Keeps traffic leaving cva until a non-zero "Bytes Sent/sec" sample arrives.
bool WaitForTraffic(CCounterSampler &sampler)
{
    UdpSocket sender("10.77.0.1");
    std::vector<CounterSample> samples;
    return WaitUntil(
        [&] {
            sender.Send("10.77.0.2", 40002, 500, 4);
            sampler.TakeSamples(samples);
            return std::any_of(samples.begin(), samples.end(),
                               [](const CounterSample &s) { return s.m_nIndex == 1 && s.LargeValue() > 0; });
        },
        5s);
}

} // namespace

TEST(SamplerNetns, SamplingSurvivesTheInterfaceVanishingAndResumesWhenItIsBack)
{
    NetNamespace a, b;
    CORVALA_SKIP_WITHOUT_NETNS(a);
    ASSERT_TRUE(b.Ok() && ConnectPair(a, "cva", b, "cvb"));
    CSetSystem settings;
    settings.Load("");
    settings.m_CntBase.SetInsName("cva");
    settings.m_CntBase.SetCounterWait(40);
    NamespaceEntry inA(a); // the sampling thread starts in, and reads, this namespace
    ASSERT_TRUE(inA.Ok());
    CCounterSampler sampler(settings);
    ASSERT_EQ(sampler.Start(), 1);
    ASSERT_TRUE(WaitForTraffic(sampler));

    ASSERT_TRUE(a.Ip("link del cva"));
    std::vector<CounterSample> samples;
    std::this_thread::sleep_for(150ms);
    sampler.TakeSamples(samples); // whatever the last cycle before the deletion queued
    std::this_thread::sleep_for(300ms);
    sampler.TakeSamples(samples);
    EXPECT_TRUE(samples.empty()) << samples.size() << " samples while the interface was gone";
    EXPECT_FALSE(sampler.HasEnded());

    ASSERT_TRUE(ConnectPair(a, "cva", b, "cvb"));
    EXPECT_TRUE(WaitForTraffic(sampler)) << "no rebuild needed to pick the interface up again";
}
