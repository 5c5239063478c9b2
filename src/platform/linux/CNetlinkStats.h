#pragma once
// Reads the kernel's statistics of single network interfaces (or of all in one dump) over
// rtnetlink, lists the interfaces, serves other dumps (routes), and notices when links
// come, go or are renamed. Owned by one counter query (or one listing) and used by one
// thread at a time.
//
// Netlink sockets belong to the network namespace they were created in: an object opened
// by a thread reads the interfaces of that thread's namespace at the time of Open, whatever
// namespace the thread moves to later.

#include "NetlinkReply.h"
#include "UniqueFd.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct nlmsghdr;

namespace plat {

class CNetlinkStats {
public:
    using ReadResult = LinkReadResult;

    // Non-zero when the sockets are open. With `watchLinks` a second socket listens to link
    // changes for TakeLinkChanges.
    int Open(bool watchLinks);

    // The statistics of the interface with kernel index `ifindex`: one RTM_GETSTATS request
    // for that index alone, so the cost does not grow with the number of interfaces.
    ReadResult ReadLinkStats(int ifindex, LinkCounters &counters);

    // The current index of the interface called `name`, or 0 when there is none.
    int ResolveIndex(const std::string &name) const;

    // True when any link was added, removed or changed since the last call (or when change
    // messages were lost): names may now belong to other indexes.
    bool TakeLinkChanges();

    // Every interface of the namespace, in kernel order. Non-zero on success.
    int ListLinks(std::vector<LinkInfo> &links);

    // The statistics of every interface of the namespace in one RTM_GETSTATS dump, for
    // readers of many interfaces at once: one request per cycle however many there are.
    // Non-zero on success.
    int DumpLinkStats(std::vector<LinkStats> &all);

    // Sends a dump request (its sequence number is set here) and calls visit(header,
    // message) for each message of the reply. Non-zero when the dump ended as it should.
    using DumpVisitor = std::function<void(const nlmsghdr &, const char *)>;
    int Dump(void *request, std::uint32_t length, const DumpVisitor &visit);

    // The octet counters, identity and name of the interface called `name`: one RTM_GETLINK
    // for that name alone.
    ReadResult ReadLinkOctets(const std::string &name, InterfaceOctets &octets);

    // The same of every interface, in kernel order. Non-zero on success.
    int ListLinkOctets(std::vector<InterfaceOctets> &links);

private:
    int SendRequest(void *request, std::uint32_t length);
    bool ReceiveInto(std::vector<char> &buffer, std::size_t &length);

    UniqueFd m_fdRoute;  // requests and their replies
    UniqueFd m_fdEvents; // link change notifications, read without blocking
    std::uint32_t m_nSeq = 0;
    std::vector<char> m_dumpBuffer; // kept, so a dump or link read every cycle allocates nothing
};

} // namespace plat
