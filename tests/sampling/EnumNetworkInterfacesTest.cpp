#include "EnumNetworkInterfaces.h"
#include "NetNamespace.h"
#include "SamplerTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <net/if.h>

using namespace std::string_literals;

namespace {

// What the fake platform reports, and what it was asked.
struct FakeItems {
    std::string instances; // the whole list, closing zero included
    bool failFill = false;
    struct Request {
        bool withBuffers;
        std::uint32_t counterLength, instanceLength, detail;
        std::string object;
    };
    std::vector<Request> requests;
} g_items;

plat::PdhStatus FakeEnum(const char *, const char *, const char *object, char *counters, std::uint32_t *counterLength,
                         char *instances, std::uint32_t *instanceLength, std::uint32_t detail, std::uint32_t)
{
    g_items.requests.push_back({counters && instances, *counterLength, *instanceLength, detail, object});
    const std::string counterList = "Bytes Sent/sec\0\0"s;
    const auto instanceSize = static_cast<std::uint32_t>(g_items.instances.size());
    if (!counters || !instances) {
        *counterLength = static_cast<std::uint32_t>(counterList.size());
        *instanceLength = instanceSize;
        return plat::PDH_MORE_DATA;
    }
    std::memcpy(counters, counterList.data(), counterList.size());
    std::memcpy(instances, g_items.instances.data(), g_items.instances.size());
    return g_items.failFill ? plat::PDH_INVALID_DATA : plat::PDH_OK;
}

int Enumerate(const std::string &instances, std::vector<std::string> &list, bool failFill = false)
{
    g_items = FakeItems {instances, failFill, {}};
    return EnumNetworkInterfaces(list, &FakeEnum);
}

} // namespace

TEST(EnumNetworkInterfaces, AsksForTheSizesThenForTheListsOfTheNetworkObject)
{
    std::vector<std::string> list;
    ASSERT_EQ(Enumerate("eth0\0lo\0\0"s, list), 2);
    EXPECT_EQ(list, (std::vector<std::string> {"eth0", "lo"}));
    ASSERT_EQ(g_items.requests.size(), 2u);
    const auto &sizes = g_items.requests[0];
    EXPECT_FALSE(sizes.withBuffers);
    EXPECT_EQ(sizes.counterLength + sizes.instanceLength, 0u);
    EXPECT_EQ(sizes.object, "Network Interface");
    EXPECT_EQ(sizes.detail, plat::PERF_DETAIL_WIZARD);
    EXPECT_TRUE(g_items.requests[1].withBuffers);
    EXPECT_EQ(g_items.requests[1].instanceLength, 9u) << "the second call passes the lengths reported";
}

TEST(EnumNetworkInterfaces, KeepsDuplicatesAndDropsOldContents)
{
    std::vector<std::string> list = {"old0", "old1", "old2", "old3"};
    ASSERT_EQ(Enumerate("eth0\0eth0\0wlan0\0\0"s, list), 3);
    EXPECT_EQ(list, (std::vector<std::string> {"eth0", "eth0", "wlan0"}));
}

TEST(EnumNetworkInterfaces, NothingReportedOrAFailedFillGivesAnEmptyList)
{
    std::vector<std::string> list = {"old"};
    EXPECT_EQ(Enumerate("", list), 0);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(g_items.requests.size(), 1u) << "no second call without a length";

    list = {"old"};
    EXPECT_EQ(Enumerate("\0"s, list), 0) << "a list that is only its closing zero";
    EXPECT_TRUE(list.empty());

    list = {"old"};
    EXPECT_EQ(Enumerate("eth0\0\0"s, list, true), 0);
    EXPECT_TRUE(list.empty());
}

TEST(EnumNetworkInterfaces, AListWithoutItsClosingZeroStaysInsideTheBuffer)
{
    std::vector<std::string> list;
    EXPECT_EQ(Enumerate("eth0\0lo"s, list), 2);
    EXPECT_EQ(list, (std::vector<std::string> {"eth0", "lo"}));
}

TEST(EnumNetworkInterfaces, ListsWorkingLinksFirstThenTheRestThenLoopback)
{
    NetNamespace ns;
    CORVALA_SKIP_WITHOUT_NETNS(ns);
    // up1/up2 come up with carrier; half1 is up without a peer, half2 stays down.
    ASSERT_TRUE(ns.Ip("link add up1 type veth peer name up2") && ns.Ip("link add half1 type veth peer name half2"));
    ASSERT_TRUE(ns.Ip("link set up1 up") && ns.Ip("link set up2 up") && ns.Ip("link set half1 up"));
    NamespaceEntry inside(ns);
    ASSERT_TRUE(inside.Ok());
    auto byIndex = [](std::vector<std::string> names) {
        std::sort(names.begin(), names.end(),
                  [](const std::string &a, const std::string &b) { return ::if_nametoindex(a.c_str()) < ::if_nametoindex(b.c_str()); });
        return names;
    };
    std::vector<std::string> expected = byIndex({"up1", "up2"});
    for (const std::string &name : byIndex({"half1", "half2"}))
        expected.push_back(name);
    expected.push_back("lo");
    // The kernel marks a link running a moment after its carrier comes up.
    std::vector<std::string> list;
    EXPECT_TRUE(WaitUntil([&] { return EnumNetworkInterfaces(list) == 5 && list == expected; },
                          std::chrono::milliseconds(5000)))
        << "got " << ::testing::PrintToString(list);
}
