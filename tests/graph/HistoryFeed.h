#pragma once
// What to feed a graph series so that its next step appends exactly the value asked for. A
// step averages the pending values and carries the last one fed into the next step, so
// feeding 2 * value - carried averages to value.

#include <cstdint>
#include <map>

class HistoryFeed {
public:
    std::int64_t For(int index, std::int32_t value)
    {
        const auto carried = m_carried.find(index);
        const std::int64_t feed = carried == m_carried.end() ? value : 2 * std::int64_t{value} - carried->second;
        m_carried[index] = feed;
        return feed;
    }

private:
    std::map<int, std::int64_t> m_carried;
};
