#include "NetCounters.h"

#include "AsciiCase.h"

namespace plat {
namespace {

bool Grew(std::uint64_t before, std::uint64_t after, std::uint64_t &delta)
{
    if (after < before)
        return false;
    delta = after - before;
    return true;
}

} // namespace

bool FindNetCounter(std::string_view name, NetCounter &counter)
{
    for (std::size_t i = 0; i < kNetCounterNames.size(); ++i) {
        if (EqualsNoCase(name, kNetCounterNames[i])) {
            counter = static_cast<NetCounter>(i);
            return true;
        }
    }
    return false;
}

bool NetCounterDelta(NetCounter counter, const LinkCounters &before, const LinkCounters &after,
                     std::uint64_t &delta)
{
    std::uint64_t rx = 0, tx = 0, multicast = 0;
    switch (counter) {
    case NetCounter::BytesReceived: return Grew(before.rxBytes, after.rxBytes, delta);
    case NetCounter::BytesSent: return Grew(before.txBytes, after.txBytes, delta);
    case NetCounter::BytesTotal:
        if (!Grew(before.rxBytes, after.rxBytes, rx) || !Grew(before.txBytes, after.txBytes, tx))
            return false;
        delta = rx + tx;
        return true;
    case NetCounter::PacketsReceived: return Grew(before.rxPackets, after.rxPackets, delta);
    case NetCounter::PacketsSent:
    case NetCounter::PacketsSentUnicast: return Grew(before.txPackets, after.txPackets, delta);
    case NetCounter::Packets:
        if (!Grew(before.rxPackets, after.rxPackets, rx) || !Grew(before.txPackets, after.txPackets, tx))
            return false;
        delta = rx + tx;
        return true;
    case NetCounter::PacketsReceivedUnicast:
        // A driver that counts multicast before the packet itself can briefly show more
        // multicast than packets; that interval has no honest unicast count.
        if (!Grew(before.rxPackets, after.rxPackets, rx)
            || !Grew(before.multicast, after.multicast, multicast))
            return false;
        return Grew(multicast, rx, delta);
    case NetCounter::PacketsReceivedNonUnicast: return Grew(before.multicast, after.multicast, delta);
    case NetCounter::PacketsSentNonUnicast: delta = 0; return true;
    }
    return false;
}

} // namespace plat
