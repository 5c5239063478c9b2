#pragma once
// Reads the kernel's statistics of single network interfaces over rtnetlink, lists the
// interfaces, and notices when links come, go or are renamed. Owned by one counter query
// (or one listing) and used by one thread at a time.
//
// Netlink sockets belong to the network namespace they were created in: an object opened
// by a thread reads the interfaces of that thread's namespace at the time of Open, whatever
// namespace the thread moves to later.

#include "NetlinkReply.h"
#include "UniqueFd.h"

#include <cstdint>
#include <string>
#include <vector>

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

private:
    int SendRequest(void *request, std::uint32_t length);
    bool ReceiveInto(std::vector<char> &buffer, std::size_t &length);

    UniqueFd m_fdRoute;  // requests and their replies
    UniqueFd m_fdEvents; // link change notifications, read without blocking
    std::uint32_t m_nSeq = 0;
};

} // namespace plat
