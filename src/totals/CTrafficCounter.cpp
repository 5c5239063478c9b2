#include "CTrafficCounter.h"

void CTrafficCounter::AddReadings(const std::vector<plat::InterfaceOctets> &readings, const LocalDate &day)
{
    std::map<std::string, plat::InterfaceOctets> baselines;
    for (const plat::InterfaceOctets &reading : readings) {
        const auto previous = m_baselines.find(reading.identity);
        const bool comparable = previous != m_baselines.end() && previous->second.instance == reading.instance
                                && reading.rxBytes >= previous->second.rxBytes
                                && reading.txBytes >= previous->second.txBytes;
        if (comparable && (reading.rxBytes != previous->second.rxBytes || reading.txBytes != previous->second.txBytes))
            AddPending({reading.identity, reading.name, day,
                        {reading.rxBytes - previous->second.rxBytes, reading.txBytes - previous->second.txBytes}},
                       true);
        baselines[reading.identity] = reading;
    }
    m_baselines = std::move(baselines);
}

std::vector<DayCount> CTrafficCounter::TakePending()
{
    std::vector<DayCount> counts;
    for (auto &[key, count] : m_pending)
        counts.push_back(std::move(count));
    m_pending.clear();
    return counts;
}

void CTrafficCounter::RestorePending(const std::vector<DayCount> &counts)
{
    for (const DayCount &count : counts)
        AddPending(count, false);
}

void CTrafficCounter::AddPending(const DayCount &count, bool latest)
{
    const auto [entry, added]
        = m_pending.try_emplace({count.identity, DateText(count.day)}, DayCount {count.identity, count.name, count.day, {}});
    entry->second.count.Add(count.count); // saturates even a single delta of the full 64 bits
    if (latest)
        entry->second.name = count.name;
}
