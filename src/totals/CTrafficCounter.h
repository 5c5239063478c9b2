#pragma once
// Turns successive readings of the interfaces' cumulative octet counters into byte counts
// per interface and local day, waiting to be committed. Only what the counters say happened
// is added: no rates, no clock, so a pause of the process (sleep, SIGSTOP) adds exactly the
// traffic of the pause. Used by one thread (the user-interface thread).

#include "Platform.h"
#include "TrafficCount.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

class CTrafficCounter {
public:
    // Adds what each interface's counters grew since its previous reading to `day`. A first
    // reading, a counter that went backwards or an interface re-created since (another
    // instance) adds nothing and only sets the new starting point; an interface missing from
    // `readings` is forgotten, so its next reading is a first one.
    void AddReadings(const std::vector<plat::InterfaceOctets> &readings, const LocalDate &day);

    // The counts not yet committed, taken out.
    std::vector<DayCount> TakePending();

    // Puts back counts that could not be committed; later readings add to them.
    void RestorePending(const std::vector<DayCount> &counts);

    const std::map<std::pair<std::string, std::string>, DayCount> &Pending() const { return m_pending; }

private:
    // `latest`: the count is newer than any pending one, so its name is the current one.
    void AddPending(const DayCount &count, bool latest);

    std::map<std::string, plat::InterfaceOctets> m_baselines;               // by identity
    std::map<std::pair<std::string, std::string>, DayCount> m_pending; // by identity, day text
};
