#pragma once
// Byte counts received and sent, and the records that carry them between the counter, the
// database and the display.

#include "LocalDate.h"

#include <cstdint>
#include <string>
#include <vector>

// The largest count kept: the database stores signed 64-bit integers, so sums stop here
// (8 EiB) instead of wrapping.
inline constexpr std::uint64_t kMaxCount = 0x7FFFFFFFFFFFFFFFull;

inline std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b)
{
    return a >= kMaxCount || b >= kMaxCount - a ? kMaxCount : a + b;
}

struct TrafficCount {
    std::uint64_t received = 0;
    std::uint64_t sent = 0;

    void Add(const TrafficCount &other)
    {
        received = SaturatingAdd(received, other.received);
        sent = SaturatingAdd(sent, other.sent);
    }
    std::uint64_t Total() const { return SaturatingAdd(received, sent); }
};

// What one interface did on one local day.
struct DayCount {
    std::string identity; // stable across renames (see plat::InterfaceOctets)
    std::string name;     // the latest name, for display
    LocalDate day;
    TrafficCount count;
};

// One interface's totals of today and of the billing month.
struct InterfaceTotals {
    std::string identity;
    std::string name;
    TrafficCount today;
    TrafficCount month;
};

// Adds a day's `count` to the interface's entry of `totals` (made when missing): to the month
// always (the caller passes only days of the month), to today when `isToday`. A name given
// later replaces an earlier one.
void AddToTotals(const std::string &identity, const std::string &name, const TrafficCount &count, bool isToday,
                 std::vector<InterfaceTotals> &totals);
