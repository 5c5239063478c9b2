#pragma once
// Walking rtnetlink messages and their attributes, and the route sockets they come from.
// Shared by the statistics, link and route queries.

#include "UniqueFd.h"

#include <cstddef>
#include <cstring>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>

namespace plat {

constexpr std::size_t NetlinkAlign(std::size_t length)
{
    return (length + NLMSG_ALIGNTO - 1) & ~std::size_t(NLMSG_ALIGNTO - 1);
}

// A NETLINK_ROUTE socket bound to the multicast `groups` (0 for requests only), with the
// extra socket type flags `extraType` (SOCK_NONBLOCK); invalid on failure.
UniqueFd OpenRouteSocket(unsigned groups, int extraType);

// Reads every queued notification off a non-blocking socket; true when there was any, or
// when some were lost (the kernel's queue overflowed), so that the caller looks again.
bool DrainNotifications(const UniqueFd &fd);

// The kernel's error code of an NLMSG_ERROR message as sent, negative (0 for an
// acknowledgement); -EPROTO when the message is too short to hold one. Not negated here:
// the bytes may hold INT_MIN.
int NetlinkErrorOf(const nlmsghdr &header, const char *message);

// Calls visit(header, message) for every whole message in data[0, length); stops early
// when visit returns false. Headers are copied out, as the buffer need not be aligned.
template <typename Visit> void ForEachMessage(const char *data, std::size_t length, Visit visit)
{
    std::size_t offset = 0;
    while (length - offset >= sizeof(nlmsghdr)) {
        nlmsghdr header;
        std::memcpy(&header, data + offset, sizeof header);
        if (header.nlmsg_len < sizeof header || header.nlmsg_len > length - offset)
            return;
        if (!visit(header, data + offset))
            return;
        offset += NetlinkAlign(header.nlmsg_len);
        if (offset > length)
            return;
    }
}

// Calls visit(type, payload, payloadLength) for every attribute of a message whose fixed
// part is `fixedSize` bytes.
template <typename Visit>
void ForEachAttribute(const nlmsghdr &header, const char *message, std::size_t fixedSize, Visit visit)
{
    std::size_t offset = NetlinkAlign(sizeof(nlmsghdr)) + NetlinkAlign(fixedSize);
    while (offset + sizeof(rtattr) <= header.nlmsg_len) {
        rtattr attribute;
        std::memcpy(&attribute, message + offset, sizeof attribute);
        if (attribute.rta_len < sizeof attribute || offset + attribute.rta_len > header.nlmsg_len)
            return;
        visit(attribute.rta_type & NLA_TYPE_MASK, message + offset + RTA_LENGTH(0),
              attribute.rta_len - RTA_LENGTH(0));
        offset += RTA_ALIGN(attribute.rta_len);
    }
}

// The fixed part of a message, copied out; false when the message is too short for it.
template <typename Fixed> bool FixedPartOf(const nlmsghdr &header, const char *message, Fixed &fixed)
{
    if (header.nlmsg_len < NetlinkAlign(sizeof(nlmsghdr)) + sizeof fixed)
        return false;
    std::memcpy(&fixed, message + NetlinkAlign(sizeof(nlmsghdr)), sizeof fixed);
    return true;
}

} // namespace plat
