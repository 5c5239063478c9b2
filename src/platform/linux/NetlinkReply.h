#pragma once
// Reading the kernel's rtnetlink replies: the statistics of one interface and the list of
// interfaces. Pure functions on received bytes, so that they can be fuzzed without a
// socket; any bytes are accepted and nothing is read outside them.

#include "InterfaceOrder.h"
#include "NetCounters.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat {

enum class LinkReadResult { Ok, NoDevice, Failed };

// Looks for the answer to request `seq` in one received buffer. True when it was there;
// `result` then says what it was (left alone when the answer carries no statistics).
bool ParseStatsReply(const char *buffer, std::size_t length, std::uint32_t seq, LinkCounters &counters,
                     LinkReadResult &result);

enum class DumpProgress { More, Done, Failed };

// Appends the interfaces that one buffer of the answer to dump request `seq` lists.
DumpProgress ParseLinkDump(const char *buffer, std::size_t length, std::uint32_t seq,
                           std::vector<LinkInfo> &links);

} // namespace plat
