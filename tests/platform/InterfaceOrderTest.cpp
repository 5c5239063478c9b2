#include "InterfaceOrder.h"

#include <gtest/gtest.h>

TEST(InterfaceOrder, WorkingAdaptersFirstThenTheOthersThenLoopbackEachByIndex)
{
    // index, name, up, running, loopback: the order the kernel lists them in
    std::vector<plat::LinkInfo> links = {
        {1, "lo", true, true, true},      {2, "ifb0", false, false, false}, {3, "ifb1", false, false, false},
        {9, "veth9", true, true, false},  {4, "eth0", true, true, false},   {5, "wlan0", true, false, false},
    };
    plat::SortForListing(links);
    std::vector<std::string> names;
    for (const plat::LinkInfo &link : links)
        names.push_back(link.name);
    EXPECT_EQ(names, (std::vector<std::string> {"eth0", "veth9", "ifb0", "ifb1", "wlan0", "lo"}));
}
