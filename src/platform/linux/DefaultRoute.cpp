#include "DefaultRoute.h"

#include "NetlinkMessages.h"

#include <cstdint>
#include <cstring>
#include <sys/socket.h>
#include <tuple>

namespace plat {
namespace {

struct RouteDumpRequest {
    nlmsghdr header;
    rtmsg body;
};

struct Route {
    bool linkDown = false;
    std::uint32_t metric = 0;
    std::uint32_t table = RT_TABLE_MAIN;
    int ifindex = 0;

    bool PreferredTo(const Route &other) const
    {
        return std::tuple(linkDown, metric) < std::tuple(other.linkDown, other.metric);
    }
};

std::uint32_t U32Of(const char *payload, std::size_t length)
{
    std::uint32_t value = 0;
    if (length >= sizeof value)
        std::memcpy(&value, payload, sizeof value);
    return value;
}

// A multipath route's first hop: the interface its traffic starts on.
int FirstHopOf(const char *payload, std::size_t length)
{
    rtnexthop hop;
    if (length < sizeof hop)
        return 0;
    std::memcpy(&hop, payload, sizeof hop);
    return hop.rtnh_ifindex;
}

// True for a unicast route to everywhere (prefix length 0) in the main table.
bool ParseDefaultRoute(const nlmsghdr &header, const char *message, Route &route)
{
    rtmsg body;
    if (header.nlmsg_type != RTM_NEWROUTE || !FixedPartOf(header, message, body))
        return false;
    if (body.rtm_dst_len != 0 || body.rtm_type != RTN_UNICAST)
        return false;
    route = Route();
    route.table = body.rtm_table;
    route.linkDown = (body.rtm_flags & (RTNH_F_LINKDOWN | RTNH_F_DEAD)) != 0;
    ForEachAttribute(header, message, sizeof body, [&route](unsigned type, const char *payload, std::size_t size) {
        if (type == RTA_OIF)
            route.ifindex = static_cast<int>(U32Of(payload, size));
        else if (type == RTA_PRIORITY)
            route.metric = U32Of(payload, size);
        else if (type == RTA_TABLE)
            route.table = U32Of(payload, size);
        else if (type == RTA_MULTIPATH && route.ifindex == 0)
            route.ifindex = FirstHopOf(payload, size);
    });
    return route.table == RT_TABLE_MAIN && route.ifindex > 0;
}

int FindInFamily(CNetlinkStats &netlink, unsigned char family, Route &best)
{
    RouteDumpRequest request {};
    request.header.nlmsg_len = sizeof request;
    request.header.nlmsg_type = RTM_GETROUTE;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.body.rtm_family = family;
    bool found = false;
    const int ok = netlink.Dump(&request, sizeof request, [&](const nlmsghdr &header, const char *message) {
        Route route;
        if (ParseDefaultRoute(header, message, route) && (!found || route.PreferredTo(best))) {
            best = route;
            found = true;
        }
    });
    return ok && found ? 1 : 0;
}

} // namespace

int FindDefaultRoute(CNetlinkStats &netlink, int &ifindex)
{
    Route v4, v6;
    const bool hasV4 = FindInFamily(netlink, AF_INET, v4);
    // IPv6 is asked only when IPv4 has no working default route.
    const bool hasV6 = !(hasV4 && !v4.linkDown) && FindInFamily(netlink, AF_INET6, v6);
    if (!hasV4 && !hasV6)
        return 0;
    ifindex = hasV6 && (!hasV4 || !v6.linkDown) ? v6.ifindex : v4.ifindex;
    return 1;
}

} // namespace plat
