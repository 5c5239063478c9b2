// The sampling thread with the real counter layer on a veth pair in namespaces made by the
// test: values arrive, fall to 0 while the interface is gone and resume when it is back.
// Root only.

#include "CCounterSampler.h"
#include "EnumNetworkInterfaces.h"
#include "NetNamespace.h"
#include "SamplerTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <net/if.h>

using namespace std::chrono_literals;
using Names = std::vector<std::string>;

namespace {

// Keeps traffic leaving (from cva to its peer, by default) until a non-zero
// "Bytes Sent/sec" sample arrives.
bool WaitForTraffic(CCounterSampler &sampler, const char *from = "10.77.0.1", const char *to = "10.77.0.2")
{
    UdpSocket sender(from);
    std::vector<CounterSample> samples;
    return WaitUntil(
        [&] {
            sender.Send(to, 40002, 500, 4);
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

    // While it is gone its counters show 0, not the last rate: whole cycles of zeros, twice.
    ASSERT_TRUE(a.Ip("link del cva"));
    std::vector<CounterSample> samples;
    int zeroCycles = 0;
    EXPECT_TRUE(WaitUntil(
        [&] {
            sampler.TakeSamples(samples);
            const bool zeros = std::all_of(samples.begin(), samples.end(),
                                           [](const CounterSample &s) { return s.LargeValue() == 0; });
            zeroCycles = samples.empty() ? zeroCycles : zeros ? zeroCycles + 1 : 0;
            return zeroCycles >= 2;
        },
        5s));
    EXPECT_FALSE(sampler.HasEnded());

    ASSERT_TRUE(ConnectPair(a, "cva", b, "cvb"));
    EXPECT_TRUE(WaitForTraffic(sampler)) << "no rebuild needed to pick the interface up again";
}

TEST(SamplerNetns, TheDefaultRoutesInterfaceIsFollowedWhenTheRouteMoves)
{
    NetNamespace a, b;
    CORVALA_SKIP_WITHOUT_NETNS(a);
    ASSERT_TRUE(b.Ok() && ConnectPair(a, "cva", b, "cvb"));
    ASSERT_TRUE(a.Ip("link add cvc type veth peer name cvd netns " + b.Name()) && a.Ip("addr add 10.78.0.1/24 dev cvc")
                && b.Ip("addr add 10.78.0.2/24 dev cvd") && a.Ip("link set cvc up") && b.Ip("link set cvd up"));
    ASSERT_TRUE(a.Ip("route add default via 10.77.0.2 metric 10") && a.Ip("route add default via 10.78.0.2 metric 20"));
    CSetSystem settings;
    settings.Load("");
    settings.m_CntBase.SetInsName("lo"); // not read: the route decides
    settings.m_CntBase.SetCounterWait(40);
    settings.m_Extra.SetSource(CSetExtra::kSourceDefaultRoute);
    NamespaceEntry inA(a);
    ASSERT_TRUE(inA.Ok());
    CCounterSampler sampler(settings);
    ASSERT_EQ(sampler.Start(), 1);
    ASSERT_TRUE(WaitForTraffic(sampler, "0.0.0.0", "10.99.0.9")) << "traffic by the default route through cva";
    // The route through cva goes with it; the one through cvc takes over, and so does the sampler.
    ASSERT_TRUE(a.Ip("link del cva"));
    EXPECT_TRUE(WaitForTraffic(sampler, "0.0.0.0", "10.99.0.9")) << "traffic by the default route through cvc";
}

TEST(EnumNetworkInterfacesNetns, ListsWorkingLinksFirstThenTheRestThenLoopback)
{
    NetNamespace ns;
    CORVALA_SKIP_WITHOUT_NETNS(ns);
    // up1/up2 have carrier; half1 is up without a working peer; half2 and lo are down.
    ASSERT_TRUE(ns.Ip("link add up1 type veth peer name up2")
                && ns.Ip("link add half1 type veth peer name half2"));
    ASSERT_TRUE(ns.Ip("link set up1 up") && ns.Ip("link set up2 up") && ns.Ip("link set half1 up"));
    NamespaceEntry inside(ns);
    ASSERT_TRUE(inside.Ok());
    auto byIndex = [](Names names) {
        std::sort(names.begin(), names.end(), [](const std::string &a, const std::string &b) {
            return ::if_nametoindex(a.c_str()) < ::if_nametoindex(b.c_str());
        });
        return names;
    };
    Names expected = byIndex({"up1", "up2"});
    for (const std::string &name : byIndex({"half1", "half2"}))
        expected.push_back(name);
    expected.push_back("lo");
    // The kernel marks a link running a moment after its carrier comes up.
    Names list;
    EXPECT_TRUE(WaitUntil([&] { return EnumNetworkInterfaces(list) == 5 && list == expected; },
                          std::chrono::seconds(5)))
        << ::testing::PrintToString(list);
}
