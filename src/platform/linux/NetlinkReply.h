#pragma once
// Reading the kernel's rtnetlink replies: the statistics of one interface, and the messages
// of a dump (interfaces, their statistics). Pure functions on received bytes, so that they
// can be fuzzed without a socket; any bytes are accepted and nothing is read outside them.

#include "InterfaceOrder.h"
#include "NetCounters.h"
#include "NetlinkMessages.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat {

// One interface's statistics out of a dump of every interface.
struct LinkStats {
    int index = 0; // the kernel's interface index
    LinkCounters counters;
};

enum class LinkReadResult { Ok, NoDevice, Failed };

// Looks for the answer to request `seq` in one received buffer. True when it was there;
// `result` then says what it was (left alone when the answer carries no statistics).
bool ParseStatsReply(const char *buffer, std::size_t length, std::uint32_t seq, LinkCounters &counters,
                     LinkReadResult &result);

enum class DumpProgress { More, Done, Failed };

// Calls visit(header, message) for each message that one received buffer of the answer to
// dump request `seq` holds, and says whether the dump goes on.
template <typename Visit>
DumpProgress ParseDumpPart(const char *buffer, std::size_t length, std::uint32_t seq, Visit visit)
{
    DumpProgress progress = DumpProgress::More;
    ForEachMessage(buffer, length, [&](const nlmsghdr &header, const char *message) {
        if (header.nlmsg_seq != seq)
            return true;
        if (header.nlmsg_type == NLMSG_DONE || header.nlmsg_type == NLMSG_ERROR) {
            progress = header.nlmsg_type == NLMSG_DONE ? DumpProgress::Done : DumpProgress::Failed;
            return false;
        }
        visit(header, message);
        return true;
    });
    return progress;
}

// One message of a link dump (RTM_NEWLINK); false for anything else or a link without a name.
bool ParseLink(const nlmsghdr &header, const char *message, LinkInfo &link);

// One message of a statistics dump (RTM_NEWSTATS); false for anything else.
bool ParseLinkStats(const nlmsghdr &header, const char *message, LinkStats &stats);

// Appends the interfaces that one buffer of the answer to link dump request `seq` lists.
DumpProgress ParseLinkDump(const char *buffer, std::size_t length, std::uint32_t seq,
                           std::vector<LinkInfo> &links);

} // namespace plat
