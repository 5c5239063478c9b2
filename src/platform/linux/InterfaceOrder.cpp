#include "InterfaceOrder.h"

#include <algorithm>
#include <tuple>

namespace plat {
namespace {

int Group(const LinkInfo &link)
{
    if (link.loopback)
        return 2;
    return link.up && link.running ? 0 : 1;
}

} // namespace

void SortForListing(std::vector<LinkInfo> &links)
{
    std::stable_sort(links.begin(), links.end(), [](const LinkInfo &a, const LinkInfo &b) {
        return std::tuple(Group(a), a.index) < std::tuple(Group(b), b.index);
    });
}

} // namespace plat
