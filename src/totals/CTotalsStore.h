#pragma once
// The traffic totals database (SQLite, WAL): one row per interface and local day, the
// interfaces' current names, and the cap warnings given per billing month. Used by one
// thread at a time: the user-interface thread of the program, or a reader such as the probe.

#include "BillingMonth.h"
#include "TrafficCount.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;

class CTotalsStore {
public:
    enum class OpenResult {
        Failed,   // no database: the counts live in memory only
        Opened,   // the database at the path, new or as it was
        Replaced, // the one found was broken and set aside; a new one was made
    };

    CTotalsStore();
    ~CTotalsStore();
    CTotalsStore(const CTotalsStore &) = delete;
    CTotalsStore &operator=(const CTotalsStore &) = delete;

    // Opens the database at `path` for counting, making it when missing. One that cannot be
    // opened, is not a database, is not ours or fails the quick check is set aside (renamed,
    // stamped with the local time `now`) and a new one made.
    OpenResult Open(const std::string &path, std::int64_t now);

    // Opens an existing database of ours for reading only; it is never changed. Non-zero on success.
    int OpenReadOnly(const std::string &path);

    bool IsOpen() const { return m_pDb != nullptr; }
    void Close();

    // Adds the counts to their days in one transaction; the latest names are kept. All or
    // nothing: non-zero on success. No counts, no write.
    int Commit(const std::vector<DayCount> &counts);

    // The totals of each interface over `month`, and of `today` (a day of it), in name order.
    int ReadTotals(const LocalDate &today, const BillingMonth &month, std::vector<InterfaceTotals> &totals);

    // The highest cap warning (80 or 100, 0 for none) given in the billing month that starts
    // on `monthStart`, and the recording of one.
    int ReadCapWarning(const LocalDate &monthStart, int &level);
    int RecordCapWarning(const LocalDate &monthStart, int level);

private:
    enum class Check { Ok, Broken, Unavailable };

    Check OpenAndCheck(const std::string &path);
    Check CheckOurs();
    Check CreateSchema();
    bool HasOurTables() const;
    // What the last failed call of the database says of the file: damaged, or only not usable now.
    Check LastFailure() const;

    sqlite3 *m_pDb = nullptr;
};
