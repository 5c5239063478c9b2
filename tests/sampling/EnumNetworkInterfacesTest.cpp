#include "EnumNetworkInterfaces.h"
#include "NetNamespace.h"
#include "SamplerTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <net/if.h>

using namespace std::string_literals;
using Names = std::vector<std::string>;

namespace {

// What the fake platform lists, and the lengths each call was given.
std::string g_instances;
bool g_failFill = false;
std::vector<std::uint32_t> g_lengthsGiven;

plat::PdhStatus FakeEnum(const char *, const char *, const char *object, char *counters,
                         std::uint32_t *counterLength, char *instances, std::uint32_t *instanceLength,
                         std::uint32_t detail, std::uint32_t)
{
    g_lengthsGiven.push_back(*counterLength + *instanceLength);
    if (std::strcmp(object, "Network Interface") != 0 || detail != plat::PERF_DETAIL_WIZARD)
        return plat::PDH_CSTATUS_NO_OBJECT;
    if (!counters || !instances) {
        *counterLength = 2;
        *instanceLength = static_cast<std::uint32_t>(g_instances.size());
        return plat::PDH_MORE_DATA;
    }
    std::memcpy(counters, "x\0", 2);
    std::memcpy(instances, g_instances.data(), g_instances.size());
    return g_failFill ? plat::PDH_INVALID_DATA : plat::PDH_OK;
}

Names Enumerate(const std::string &instances, bool failFill = false)
{
    g_instances = instances;
    g_failFill = failFill;
    g_lengthsGiven.clear();
    Names list = {"old0", "old1", "old2", "old3", "old4"};
    const int count = EnumNetworkInterfaces(list, &FakeEnum);
    EXPECT_EQ(count, int(list.size()));
    return list;
}

} // namespace

TEST(EnumNetworkInterfaces, ReplacesTheListWithEveryNameDuplicatesIncluded)
{
    EXPECT_EQ(Enumerate("eth0\0eth0\0wlan0\0\0"s), (Names {"eth0", "eth0", "wlan0"}));
    EXPECT_EQ(g_lengthsGiven, (std::vector<std::uint32_t> {0, 2 + 17})) << "sizes first, then the lists";
    EXPECT_EQ(Enumerate("eth0\0lo"s), (Names {"eth0", "lo"})) << "a missing closing zero stays in bounds";
}

TEST(EnumNetworkInterfaces, NothingListedOrAFailedFillGivesAnEmptyList)
{
    EXPECT_EQ(Enumerate(""), Names {});
    EXPECT_EQ(g_lengthsGiven.size(), 1u) << "no second call without a length";
    EXPECT_EQ(Enumerate("\0"s), Names {});
    EXPECT_EQ(Enumerate("eth0\0\0"s, true), Names {});
}

TEST(EnumNetworkInterfaces, ListsWorkingLinksFirstThenTheRestThenLoopback)
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
