#include "EnumNetworkInterfaces.h"

#include <gtest/gtest.h>

#include <cstring>

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
