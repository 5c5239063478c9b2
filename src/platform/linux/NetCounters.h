#pragma once
// The "Network Interface" object: its ten per-second counters, the raw link statistics they
// are derived from, and the one rule for turning two readings into a count.

#include "Platform.h"

#include <cstdint>
#include <string_view>

namespace plat {

enum class NetCounter {
    BytesReceived,
    BytesSent,
    BytesTotal,
    PacketsReceived,
    PacketsSent,
    Packets,
    PacketsReceivedUnicast,
    PacketsSentUnicast,
    PacketsReceivedNonUnicast,
    PacketsSentNonUnicast,
};
// Matches a counter name without regard to case; false for a name the object lacks.
bool FindNetCounter(std::string_view name, NetCounter &counter);

// One reading of an interface's cumulative kernel statistics.
struct LinkCounters {
    std::uint64_t rxBytes = 0;
    std::uint64_t txBytes = 0;
    std::uint64_t rxPackets = 0;
    std::uint64_t txPackets = 0;
    std::uint64_t multicast = 0; // received multicast packets; nothing counts sent ones
};

// How much `counter` grew from `before` to `after`. False when a statistic it is made of
// went backwards (interface re-created, driver reset): no honest count exists for that
// interval, and a wrapped or negative difference would show as a huge spike.
bool NetCounterDelta(NetCounter counter, const LinkCounters &before, const LinkCounters &after,
                     std::uint64_t &delta);

} // namespace plat
