#include "NetlinkReply.h"

#include <cerrno>
#include <cstring>
#include <linux/if_link.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>

namespace plat {
namespace {

constexpr std::size_t Align(std::size_t length)
{
    return (length + NLMSG_ALIGNTO - 1) & ~std::size_t(NLMSG_ALIGNTO - 1);
}

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
        offset += Align(header.nlmsg_len);
        if (offset > length)
            return;
    }
}

// Calls visit(type, payload, payloadLength) for every attribute of a message whose fixed
// part is `fixedSize` bytes.
template <typename Visit>
void ForEachAttribute(const nlmsghdr &header, const char *message, std::size_t fixedSize, Visit visit)
{
    std::size_t offset = Align(sizeof(nlmsghdr)) + Align(fixedSize);
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

// The kernel's (negative) error code of an NLMSG_ERROR message; -EPROTO when the message is
// too short to hold one. Not negated: the bytes may hold INT_MIN.
int ErrorOf(const nlmsghdr &header, const char *message)
{
    int error = 0;
    if (header.nlmsg_len < Align(sizeof(nlmsghdr)) + sizeof error)
        return -EPROTO;
    std::memcpy(&error, message + Align(sizeof(nlmsghdr)), sizeof error);
    return error;
}

void CopyStats(const char *payload, std::size_t length, LinkCounters &counters)
{
    // Older or newer kernels may carry a shorter or longer structure; its head is stable.
    rtnl_link_stats64 stats {};
    std::memcpy(&stats, payload, length < sizeof stats ? length : sizeof stats);
    counters.rxBytes = stats.rx_bytes;
    counters.txBytes = stats.tx_bytes;
    counters.rxPackets = stats.rx_packets;
    counters.txPackets = stats.tx_packets;
    counters.multicast = stats.multicast;
}

bool ParseLink(const nlmsghdr &header, const char *message, LinkInfo &link)
{
    if (header.nlmsg_len < Align(sizeof(nlmsghdr)) + sizeof(ifinfomsg))
        return false;
    ifinfomsg info;
    std::memcpy(&info, message + Align(sizeof(nlmsghdr)), sizeof info);
    link = LinkInfo();
    link.index = info.ifi_index;
    link.up = (info.ifi_flags & IFF_UP) != 0;
    link.running = (info.ifi_flags & IFF_RUNNING) != 0;
    link.loopback = (info.ifi_flags & IFF_LOOPBACK) != 0;
    ForEachAttribute(header, message, sizeof(ifinfomsg),
                     [&link](unsigned type, const char *payload, std::size_t length) {
                         if (type == IFLA_IFNAME)
                             link.name.assign(payload, ::strnlen(payload, length));
                     });
    return !link.name.empty();
}

} // namespace

bool ParseStatsReply(const char *buffer, std::size_t length, std::uint32_t seq, LinkCounters &counters,
                     LinkReadResult &result)
{
    bool answered = false;
    ForEachMessage(buffer, length, [&](const nlmsghdr &header, const char *message) {
        if (header.nlmsg_seq != seq)
            return true;
        answered = true;
        if (header.nlmsg_type == NLMSG_ERROR) {
            result = ErrorOf(header, message) == -ENODEV ? LinkReadResult::NoDevice : LinkReadResult::Failed;
            return false;
        }
        ForEachAttribute(header, message, sizeof(if_stats_msg),
                         [&](unsigned type, const char *payload, std::size_t size) {
                             if (type == IFLA_STATS_LINK_64) {
                                 CopyStats(payload, size, counters);
                                 result = LinkReadResult::Ok;
                             }
                         });
        return false;
    });
    return answered;
}

DumpProgress ParseLinkDump(const char *buffer, std::size_t length, std::uint32_t seq,
                           std::vector<LinkInfo> &links)
{
    DumpProgress progress = DumpProgress::More;
    ForEachMessage(buffer, length, [&](const nlmsghdr &header, const char *message) {
        if (header.nlmsg_seq != seq)
            return true;
        if (header.nlmsg_type == NLMSG_DONE || header.nlmsg_type == NLMSG_ERROR) {
            progress = header.nlmsg_type == NLMSG_DONE ? DumpProgress::Done : DumpProgress::Failed;
            return false;
        }
        LinkInfo link;
        if (header.nlmsg_type == RTM_NEWLINK && ParseLink(header, message, link))
            links.push_back(std::move(link));
        return true;
    });
    return progress;
}

} // namespace plat
