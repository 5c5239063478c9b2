#pragma once
// Which interface carries the default route, asked of the kernel's routing table.

#include "CNetlinkStats.h"

namespace plat {

// The interface of the main table's default route with the lowest metric, IPv4 before
// IPv6; a route whose link is down counts only when no other does. Non-zero with `ifindex`
// set when there is such a route.
int FindDefaultRoute(CNetlinkStats &netlink, int &ifindex);

} // namespace plat
