// Linux: the physical interfaces, the default route's interface and a watch on routes,
// all over rtnetlink in the calling thread's network namespace.

#include "CNetlinkStats.h"
#include "DefaultRoute.h"
#include "NetlinkMessages.h"
#include "Platform.h"

#include <charconv>
#include <memory>
#include <net/if.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace plat {

struct RouteWatch {
    UniqueFd fd;
};

namespace {

// Kernels before 5.16 do not name a link's parent device over rtnetlink; there the sysfs
// link stands in, which is right for the namespace sysfs was mounted in.
bool KernelNamesParents()
{
    utsname system {};
    if (::uname(&system) != 0)
        return true;
    const char *text = system.release;
    const char *end = text + sizeof system.release;
    int major = 0, minor = 0;
    auto parsed = std::from_chars(text, end, major);
    if (parsed.ec != std::errc() || parsed.ptr == end || *parsed.ptr != '.')
        return true;
    parsed = std::from_chars(parsed.ptr + 1, end, minor);
    return parsed.ec != std::errc() || major > 5 || (major == 5 && minor >= 16);
}

bool HasDeviceLink(const std::string &name)
{
    return ::access(("/sys/class/net/" + name + "/device").c_str(), F_OK) == 0;
}

} // namespace

int GetPhysicalInterfaces(std::vector<std::string> &names)
{
    names.clear();
    CNetlinkStats netlink;
    std::vector<LinkInfo> links;
    if (!netlink.Open(false) || !netlink.ListLinks(links))
        return 0;
    SortForListing(links);
    const bool fromKernel = KernelNamesParents();
    for (LinkInfo &link : links)
        if (fromKernel ? link.hasParent : HasDeviceLink(link.name))
            names.push_back(std::move(link.name));
    return 1;
}

int GetDefaultRouteInterface(std::string &name)
{
    CNetlinkStats netlink;
    int index = 0;
    char buffer[IF_NAMESIZE] = {};
    if (!netlink.Open(false) || !FindDefaultRoute(netlink, index)
        || !::if_indextoname(static_cast<unsigned>(index), buffer))
        return 0;
    name = buffer;
    return 1;
}

RouteWatch *OpenRouteWatch()
{
    // Links and addresses too: IPv4 routes that go with a link or an address taken away
    // vanish without a route notification of their own.
    constexpr unsigned kGroups = RTMGRP_IPV4_ROUTE | RTMGRP_IPV6_ROUTE | RTMGRP_LINK | RTMGRP_IPV4_IFADDR
                                 | RTMGRP_IPV6_IFADDR;
    auto watch = std::make_unique<RouteWatch>();
    watch->fd = OpenRouteSocket(kGroups, SOCK_NONBLOCK);
    return watch->fd.Valid() ? watch.release() : nullptr;
}

int TakeRouteChanges(RouteWatch *watch)
{
    return !watch || DrainNotifications(watch->fd) ? 1 : 0;
}

void CloseRouteWatch(RouteWatch *watch)
{
    delete watch;
}

} // namespace plat
