#include "CNetlinkStats.h"

#include "LinkOctets.h"
#include "NetlinkMessages.h"

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <linux/if_link.h>
#include <net/if.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

namespace plat {
namespace {

// A reply that has not come within this time will not come; the caller sees a failure.
constexpr long kReceiveTimeoutUs = 1000 * 1000;
constexpr std::size_t kDumpBufferSize = 64 * 1024;
constexpr int kMaxDumpReads = 100000;

struct StatsRequest {
    nlmsghdr header;
    if_stats_msg body;
};

// RTM_GETLINK for one interface by name; the statistics come with the reply.
struct LinkNameRequest {
    nlmsghdr header;
    ifinfomsg body;
    rtattr nameAttr;
    char name[IFNAMSIZ];
};

struct LinkDumpRequest {
    nlmsghdr header;
    ifinfomsg body;
    rtattr extMaskAttr;
    std::uint32_t extMask;
};

// Every link, with the parts `extMask` (RTEXT_FILTER_*) asks for.
LinkDumpRequest MakeLinkDump(std::uint32_t extMask)
{
    LinkDumpRequest request {};
    request.header.nlmsg_len = sizeof request;
    request.header.nlmsg_type = RTM_GETLINK;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.body.ifi_family = AF_UNSPEC;
    request.extMaskAttr.rta_len = RTA_LENGTH(sizeof request.extMask);
    request.extMaskAttr.rta_type = IFLA_EXT_MASK;
    request.extMask = extMask;
    return request;
}

} // namespace

int CNetlinkStats::Open(bool watchLinks)
{
    m_fdRoute = OpenRouteSocket(0, 0);
    if (!m_fdRoute.Valid())
        return 0;
    timeval timeout {};
    timeout.tv_usec = kReceiveTimeoutUs % 1000000;
    timeout.tv_sec = kReceiveTimeoutUs / 1000000;
    if (::setsockopt(m_fdRoute.Get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout) != 0)
        return 0;
    if (watchLinks) {
        m_fdEvents = OpenRouteSocket(RTMGRP_LINK, SOCK_NONBLOCK);
        if (!m_fdEvents.Valid())
            return 0;
    }
    return 1;
}

int CNetlinkStats::SendRequest(void *request, std::uint32_t length)
{
    sockaddr_nl kernel {};
    kernel.nl_family = AF_NETLINK;
    ssize_t sent = -1;
    do {
        sent = ::sendto(m_fdRoute.Get(), request, length, 0, reinterpret_cast<const sockaddr *>(&kernel),
                        sizeof kernel);
    } while (sent < 0 && errno == EINTR);
    return sent == static_cast<ssize_t>(length) ? 1 : 0;
}

CNetlinkStats::ReadResult CNetlinkStats::ReadLinkStats(int ifindex, LinkCounters &counters)
{
    StatsRequest request {};
    request.header.nlmsg_len = sizeof request;
    request.header.nlmsg_type = RTM_GETSTATS;
    request.header.nlmsg_flags = NLM_F_REQUEST;
    request.header.nlmsg_seq = ++m_nSeq;
    request.body.family = AF_UNSPEC;
    request.body.ifindex = static_cast<std::uint32_t>(ifindex);
    request.body.filter_mask = IFLA_STATS_FILTER_BIT(IFLA_STATS_LINK_64);
    if (!SendRequest(&request, sizeof request))
        return ReadResult::Failed;

    // Replies to requests abandoned after a timeout may still be queued: skip them.
    alignas(nlmsghdr) char buffer[2048];
    for (int read = 0; read < 16; ++read) {
        const ssize_t length = ::recv(m_fdRoute.Get(), buffer, sizeof buffer, 0);
        if (length < 0 && errno == EINTR)
            continue;
        if (length <= 0)
            return ReadResult::Failed;
        ReadResult result = ReadResult::Failed;
        if (ParseStatsReply(buffer, static_cast<std::size_t>(length), m_nSeq, counters, result))
            return result;
    }
    return ReadResult::Failed;
}

int CNetlinkStats::ResolveIndex(const std::string &name) const
{
    ifreq request {};
    if (name.empty() || name.size() >= sizeof request.ifr_name)
        return 0;
    std::memcpy(request.ifr_name, name.data(), name.size());
    // Asked on the netlink socket, so the name is looked up in the namespace the stats come from.
    if (::ioctl(m_fdRoute.Get(), SIOCGIFINDEX, &request) != 0)
        return 0;
    return request.ifr_ifindex;
}

bool CNetlinkStats::TakeLinkChanges()
{
    return DrainNotifications(m_fdEvents);
}

bool CNetlinkStats::ReceiveInto(std::vector<char> &buffer, std::size_t &length)
{
    ssize_t received = -1;
    do {
        received = ::recv(m_fdRoute.Get(), buffer.data(), buffer.size(), MSG_TRUNC);
    } while (received < 0 && errno == EINTR);
    if (received <= 0 || static_cast<std::size_t>(received) > buffer.size())
        return false;
    length = static_cast<std::size_t>(received);
    return true;
}

int CNetlinkStats::Dump(void *request, std::uint32_t length, const DumpVisitor &visit)
{
    nlmsghdr header;
    std::memcpy(&header, request, sizeof header);
    header.nlmsg_seq = ++m_nSeq;
    std::memcpy(request, &header, sizeof header);
    if (!SendRequest(request, length))
        return 0;
    m_dumpBuffer.resize(kDumpBufferSize);
    DumpProgress progress = DumpProgress::More;
    for (int read = 0; read < kMaxDumpReads && progress == DumpProgress::More; ++read) {
        std::size_t received = 0;
        if (!ReceiveInto(m_dumpBuffer, received))
            return 0;
        progress = ParseDumpPart(m_dumpBuffer.data(), received, m_nSeq, visit);
    }
    return progress == DumpProgress::Done ? 1 : 0;
}

int CNetlinkStats::ListLinks(std::vector<LinkInfo> &links)
{
    links.clear();
    // Statistics are of no use for a list and make up most of each message.
    LinkDumpRequest request = MakeLinkDump(RTEXT_FILTER_SKIP_STATS);
    return Dump(&request, sizeof request, [&links](const nlmsghdr &header, const char *message) {
        LinkInfo link;
        if (ParseLink(header, message, link))
            links.push_back(std::move(link));
    });
}

int CNetlinkStats::DumpLinkStats(std::vector<LinkStats> &all)
{
    all.clear();
    StatsRequest request {};
    request.header.nlmsg_len = sizeof request;
    request.header.nlmsg_type = RTM_GETSTATS;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.body.family = AF_UNSPEC;
    request.body.filter_mask = IFLA_STATS_FILTER_BIT(IFLA_STATS_LINK_64);
    return Dump(&request, sizeof request, [&all](const nlmsghdr &header, const char *message) {
        LinkStats stats;
        if (ParseLinkStats(header, message, stats))
            all.push_back(stats);
    });
}

int CNetlinkStats::ListLinkOctets(std::vector<InterfaceOctets> &links)
{
    links.clear();
    LinkDumpRequest request = MakeLinkDump(0);
    return Dump(&request, sizeof request, [&links](const nlmsghdr &header, const char *message) {
        InterfaceOctets octets;
        if (ParseLinkOctets(header, message, octets))
            links.push_back(std::move(octets));
    });
}

CNetlinkStats::ReadResult CNetlinkStats::ReadLinkOctets(const std::string &name, InterfaceOctets &octets)
{
    LinkNameRequest request {};
    if (name.empty() || name.size() >= sizeof request.name)
        return ReadResult::NoDevice;
    std::memcpy(request.name, name.data(), name.size());
    request.nameAttr.rta_len = static_cast<unsigned short>(RTA_LENGTH(name.size() + 1));
    request.nameAttr.rta_type = IFLA_IFNAME;
    // Up to the name's end only: the kernel warns of bytes left over after the attributes.
    request.header.nlmsg_len = static_cast<std::uint32_t>(offsetof(LinkNameRequest, name) + RTA_ALIGN(name.size() + 1));
    request.header.nlmsg_type = RTM_GETLINK;
    request.header.nlmsg_flags = NLM_F_REQUEST;
    request.header.nlmsg_seq = ++m_nSeq;
    request.body.ifi_family = AF_UNSPEC;
    if (!SendRequest(&request, request.header.nlmsg_len))
        return ReadResult::Failed;

    // Replies to requests abandoned after a timeout may still be queued: skip them.
    m_dumpBuffer.resize(kDumpBufferSize);
    for (int read = 0; read < 16; ++read) {
        std::size_t length = 0;
        if (!ReceiveInto(m_dumpBuffer, length))
            return ReadResult::Failed;
        ReadResult result = ReadResult::Failed;
        bool answered = false;
        ForEachMessage(m_dumpBuffer.data(), length, [&](const nlmsghdr &header, const char *message) {
            if (header.nlmsg_seq != m_nSeq)
                return true;
            answered = true;
            if (header.nlmsg_type == NLMSG_ERROR)
                result = NetlinkErrorOf(header, message) == -ENODEV ? ReadResult::NoDevice : ReadResult::Failed;
            else if (ParseLinkOctets(header, message, octets))
                result = ReadResult::Ok;
            return false;
        });
        if (answered)
            return result;
    }
    return ReadResult::Failed;
}

} // namespace plat
