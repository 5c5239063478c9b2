#include "NetlinkReply.h"

#include <cerrno>
#include <cstring>
#include <linux/if_link.h>
#include <net/if.h>

namespace plat {
namespace {

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

// The 64-bit statistics attribute of a statistics message; false when it has none.
bool StatsOf(const nlmsghdr &header, const char *message, LinkCounters &counters)
{
    bool found = false;
    ForEachAttribute(header, message, sizeof(if_stats_msg), [&](unsigned type, const char *payload, std::size_t size) {
        if (type == IFLA_STATS_LINK_64) {
            CopyStats(payload, size, counters);
            found = true;
        }
    });
    return found;
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
        if (header.nlmsg_type == NLMSG_ERROR)
            result = NetlinkErrorOf(header, message) == -ENODEV ? LinkReadResult::NoDevice : LinkReadResult::Failed;
        else if (StatsOf(header, message, counters))
            result = LinkReadResult::Ok;
        return false;
    });
    return answered;
}

bool ParseLink(const nlmsghdr &header, const char *message, LinkInfo &link)
{
    ifinfomsg info;
    if (header.nlmsg_type != RTM_NEWLINK || !FixedPartOf(header, message, info))
        return false;
    link = LinkInfo();
    link.index = info.ifi_index;
    link.up = (info.ifi_flags & IFF_UP) != 0;
    link.running = (info.ifi_flags & IFF_RUNNING) != 0;
    link.loopback = (info.ifi_flags & IFF_LOOPBACK) != 0;
    ForEachAttribute(header, message, sizeof(ifinfomsg),
                     [&link](unsigned type, const char *payload, std::size_t length) {
                         if (type == IFLA_IFNAME)
                             link.name.assign(payload, ::strnlen(payload, length));
                         else if (type == IFLA_PARENT_DEV_NAME)
                             link.hasParent = true; // the device /sys/class/net/NAME/device links to
                     });
    return !link.name.empty();
}

bool ParseLinkStats(const nlmsghdr &header, const char *message, LinkStats &stats)
{
    if_stats_msg body;
    if (header.nlmsg_type != RTM_NEWSTATS || !FixedPartOf(header, message, body))
        return false;
    stats = LinkStats();
    stats.index = static_cast<int>(body.ifindex);
    return StatsOf(header, message, stats.counters);
}

DumpProgress ParseLinkDump(const char *buffer, std::size_t length, std::uint32_t seq,
                           std::vector<LinkInfo> &links)
{
    return ParseDumpPart(buffer, length, seq, [&links](const nlmsghdr &header, const char *message) {
        LinkInfo link;
        if (ParseLink(header, message, link))
            links.push_back(std::move(link));
    });
}

} // namespace plat
