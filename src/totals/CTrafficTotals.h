#pragma once
// Exact traffic totals per interface and local day, kept in the database beside the settings
// file: counts each cycle's readings, commits them when told, and sums today and the billing
// month for display, committed and pending alike. Used by the user-interface thread.

#include "BillingMonth.h"
#include "CTotalsStore.h"
#include "CTrafficCounter.h"

#include <cstdint>
#include <string>
#include <vector>

// Today's and the billing month's totals, per interface (in name order) and over all of them.
struct TotalsSummary {
    LocalDate today;
    BillingMonth month;
    std::vector<InterfaceTotals> interfaces;
    TrafficCount todayAll;
    TrafficCount monthAll;
};

class CTrafficTotals {
public:
    // Opens (or makes) the database beside the settings file `iniPath`. Never a reason to
    // stop: without a database the counts stay pending, and each Commit tries to open it again.
    CTotalsStore::OpenResult Open(const std::string &iniPath, std::int64_t now);

    // One cycle's readings of the counted interfaces, taken at the instant `now` (Unix seconds).
    void Count(const std::vector<plat::InterfaceOctets> &readings, std::int64_t now);

    // Writes the pending counts in one transaction (nothing when none are pending). A failed
    // commit keeps them pending. Non-zero on success.
    int Commit(std::int64_t now);

    // The totals at `now` for a billing month starting on `capDay`. Reads the database only
    // after a commit or when the day changes; otherwise adds the pending counts to what it read.
    int Summarize(int capDay, std::int64_t now, TotalsSummary &summary);

    // The cap warning due for `summary`: 80 or 100 when its month has reached that level of
    // `capMib` and no warning of that level (or higher) was given in this billing month; 0
    // otherwise. A warning returned is recorded at once, so it is not given again, even
    // after a restart.
    int TakeCapWarning(const TotalsSummary &summary, int capMib);

private:
    std::string m_strPath; // the database's
    CTrafficCounter m_counter;
    CTotalsStore m_store;
    bool m_bReadValid = false; // m_committed is the database's for m_readDay and m_readMonth
    LocalDate m_readDay;
    BillingMonth m_readMonth;
    std::vector<InterfaceTotals> m_committed;
    LocalDate m_warnedMonth; // the billing month of m_nWarnedLevel
    int m_nWarnedLevel = -1; // -1: not read yet
};
