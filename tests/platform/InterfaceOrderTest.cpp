#include "InterfaceOrder.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Names(const std::vector<plat::LinkInfo> &links)
{
    std::vector<std::string> names;
    for (const plat::LinkInfo &link : links)
        names.push_back(link.name);
    return names;
}

} // namespace

TEST(InterfaceOrder, WorkingAdaptersFirstThenTheOthersThenLoopback)
{
    // index, name, up, running, loopback
    std::vector<plat::LinkInfo> links = {
        {1, "lo", true, true, true},        {2, "ifb0", false, false, false},
        {3, "ifb1", false, false, false},   {4, "eth0", true, true, false},
        {5, "wlan0", true, false, false},   {6, "veth9", true, true, false},
        {7, "lo2", false, false, true},
    };
    plat::SortForListing(links);
    EXPECT_EQ(Names(links), (std::vector<std::string> {"eth0", "veth9", "ifb0", "ifb1", "wlan0", "lo", "lo2"}));
}

TEST(InterfaceOrder, SortsByIndexWithinAGroupWhateverTheKernelOrder)
{
    std::vector<plat::LinkInfo> links = {
        {9, "c", true, true, false}, {3, "a", true, true, false}, {5, "b", true, true, false}};
    plat::SortForListing(links);
    EXPECT_EQ(Names(links), (std::vector<std::string> {"a", "b", "c"}));
}
