#include "CCounterQuery.h"

#include "CounterRate.h"

#include <algorithm>
#include <ctime>

namespace plat {
namespace {

std::uint64_t BootTimeNs()
{
    timespec now {};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000000u + static_cast<std::uint64_t>(now.tv_nsec);
}

} // namespace

int CCounterQuery::Open()
{
    return m_stats.Open(true);
}

std::size_t CCounterQuery::SlotFor(const std::string *instance)
{
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        const InterfaceSlot &slot = m_slots[i];
        if (slot.users > 0 && slot.named == (instance != nullptr) && (!instance || slot.name == *instance))
            return i;
    }
    const auto unused = std::find_if(m_slots.begin(), m_slots.end(),
                                     [](const InterfaceSlot &slot) { return slot.users == 0; });
    const std::size_t index = static_cast<std::size_t>(unused - m_slots.begin());
    if (unused == m_slots.end())
        m_slots.emplace_back();
    InterfaceSlot &slot = m_slots[index];
    slot = InterfaceSlot();
    slot.named = instance != nullptr;
    slot.name = instance ? *instance : std::string();
    return index;
}

CounterEntry *CCounterQuery::Add(NetCounter counter, const std::string *instance)
{
    auto entry = std::make_unique<CounterEntry>();
    entry->query = this;
    entry->counter = counter;
    entry->slot = SlotFor(instance);
    ++m_slots[entry->slot].users;
    m_entries.push_back(std::move(entry));
    return m_entries.back().get();
}

void CCounterQuery::Remove(const CounterEntry *entry)
{
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [entry](const auto &owned) { return owned.get() == entry; });
    if (found == m_entries.end())
        return;
    --m_slots[entry->slot].users;
    m_entries.erase(found);
}

std::vector<const CounterEntry *> CCounterQuery::Entries() const
{
    std::vector<const CounterEntry *> entries;
    for (const auto &entry : m_entries)
        entries.push_back(entry.get());
    return entries;
}

void CCounterQuery::Collect()
{
    // A link that came, went or was renamed may have moved a name to another index.
    const bool relinked = m_stats.TakeLinkChanges();
    const auto named = std::count_if(m_slots.begin(), m_slots.end(),
                                     [](const InterfaceSlot &slot) { return slot.users > 0 && slot.named; });
    // Several interfaces: one dump serves them all, so a cycle costs one request however
    // many are summed. A failed dump leaves every slot without a reading for this cycle.
    const bool dumped = named > 1 && CollectFromDump();
    const std::uint64_t dumpTimeNs = BootTimeNs();
    for (InterfaceSlot &slot : m_slots) {
        if (slot.users == 0)
            continue;
        if (relinked)
            slot.ifindex = 0;
        slot.previous = slot.latest;
        slot.latest = named > 1 ? ReadFromDump(slot, dumped ? dumpTimeNs : 0) : Read(slot);
    }
}

bool CCounterQuery::CollectFromDump()
{
    if (!m_stats.DumpLinkStats(m_dump)) {
        m_dump.clear();
        return false;
    }
    std::sort(m_dump.begin(), m_dump.end(), [](const LinkStats &a, const LinkStats &b) { return a.index < b.index; });
    return true;
}

// timeNs 0: the dump failed.
CCounterQuery::Reading CCounterQuery::ReadFromDump(InterfaceSlot &slot, std::uint64_t timeNs)
{
    Reading reading;
    reading.status = timeNs == 0 ? PDH_INVALID_DATA : PDH_CSTATUS_NO_INSTANCE;
    if (!slot.named || timeNs == 0)
        return reading;
    const auto find = [this](int ifindex) {
        const auto found = std::lower_bound(m_dump.begin(), m_dump.end(), ifindex,
                                            [](const LinkStats &stats, int index) { return stats.index < index; });
        return found != m_dump.end() && found->index == ifindex && ifindex != 0 ? &*found : nullptr;
    };
    const LinkStats *stats = find(slot.ifindex);
    if (!stats) {
        // Not resolved yet, deleted, or deleted and created anew under another index.
        slot.ifindex = m_stats.ResolveIndex(slot.name);
        stats = find(slot.ifindex);
    }
    if (!stats)
        return reading;
    reading.status = PDH_OK;
    reading.ifindex = slot.ifindex;
    reading.timeNs = timeNs;
    reading.counters = stats->counters;
    return reading;
}

CCounterQuery::Reading CCounterQuery::Read(InterfaceSlot &slot)
{
    Reading reading;
    reading.status = PDH_CSTATUS_NO_INSTANCE;
    if (!slot.named)
        return reading;
    if (slot.ifindex == 0)
        slot.ifindex = m_stats.ResolveIndex(slot.name);
    if (slot.ifindex == 0)
        return reading;
    auto result = m_stats.ReadLinkStats(slot.ifindex, reading.counters);
    if (result == CNetlinkStats::ReadResult::NoDevice) {
        // Deleted, or deleted and created anew under another index.
        slot.ifindex = m_stats.ResolveIndex(slot.name);
        if (slot.ifindex == 0)
            return reading;
        result = m_stats.ReadLinkStats(slot.ifindex, reading.counters);
    }
    // The clock is read right at the reading, so the interval is the one the counts span.
    reading.timeNs = BootTimeNs();
    reading.ifindex = slot.ifindex;
    reading.status = result == CNetlinkStats::ReadResult::Ok ? PDH_OK : PDH_INVALID_DATA;
    if (result != CNetlinkStats::ReadResult::Ok)
        slot.ifindex = 0;
    return reading;
}

PdhStatus CCounterQuery::CountSince(const InterfaceSlot &slot, NetCounter counter, std::uint64_t &delta)
{
    if (slot.latest.status != PDH_OK)
        return slot.latest.status;
    if (slot.previous.status != PDH_OK || slot.previous.ifindex != slot.latest.ifindex)
        return PDH_INVALID_DATA; // no base yet, or the base was another interface
    if (!NetCounterDelta(counter, slot.previous.counters, slot.latest.counters, delta))
        return PDH_CALC_NEGATIVE_VALUE;
    return PDH_OK;
}

PdhStatus CCounterQuery::Fetch(const CounterEntry &entry, std::uint32_t format, FmtCounterValue &value) const
{
    const InterfaceSlot &slot = m_slots[entry.slot];
    std::uint64_t delta = 0;
    const PdhStatus status = CountSince(slot, entry.counter, delta);
    if (status == PDH_OK)
        return FormatCounterRate(delta, slot.latest.timeNs - slot.previous.timeNs, format, value);
    value.status = status;
    value.largeValue = 0;
    return status;
}

} // namespace plat
