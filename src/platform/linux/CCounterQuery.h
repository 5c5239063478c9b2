#pragma once
// One open counter query on Linux: the interfaces its counters name, the last two readings
// of each, and the netlink socket they are read through. Each collection reads only those
// interfaces: one request apiece for one interface, one statistics dump for several (a sum
// of interfaces). Used by one thread at a time (the sampling thread).

#include "CNetlinkStats.h"
#include "Platform.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat {

class CCounterQuery;

// What a counter handle points to.
struct CounterEntry {
    CCounterQuery *query = nullptr;
    NetCounter counter = NetCounter::BytesReceived;
    std::size_t slot = 0;
};

class CCounterQuery {
public:
    // Non-zero when the query can read statistics. Binds the query to the calling thread's
    // network namespace (see CNetlinkStats).
    int Open();

    // A counter for the interface `instance`; nullptr means no instance, which no interface
    // matches. The entry lives until Remove or the query's destruction.
    CounterEntry *Add(NetCounter counter, const std::string *instance);
    void Remove(const CounterEntry *entry);
    std::vector<const CounterEntry *> Entries() const;

    // Takes one reading of every interface that a counter names.
    void Collect();

    // The rate over the interval between the last two collections.
    PdhStatus Fetch(const CounterEntry &entry, std::uint32_t format, FmtCounterValue &value) const;

private:
    struct Reading {
        PdhStatus status = PDH_NO_DATA; // PDH_OK when the rest is meaningful
        int ifindex = 0;
        std::uint64_t timeNs = 0; // CLOCK_BOOTTIME, so a suspend counts as elapsed time
        LinkCounters counters;
    };
    struct InterfaceSlot {
        bool named = false; // false: the counter path named no instance
        std::string name;
        int ifindex = 0; // 0: not resolved, or no interface has the name now
        int users = 0;
        Reading previous;
        Reading latest;
    };

    std::size_t SlotFor(const std::string *instance);
    Reading Read(InterfaceSlot &slot);
    bool CollectFromDump();
    Reading ReadFromDump(InterfaceSlot &slot, std::uint64_t timeNs);
    static PdhStatus CountSince(const InterfaceSlot &slot, NetCounter counter, std::uint64_t &delta);

    CNetlinkStats m_stats;
    std::vector<InterfaceSlot> m_slots;
    std::vector<std::unique_ptr<CounterEntry>> m_entries;
    std::vector<LinkStats> m_dump; // the last dump, by index; kept so a cycle allocates nothing
};

} // namespace plat
