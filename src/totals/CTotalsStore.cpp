#include "CTotalsStore.h"

#include "Platform.h"
#include "TotalsFiles.h"

#include <sqlite3.h>

namespace {

// "Crva": tells our database from any other SQLite file.
constexpr int kApplicationId = 0x43727661;
constexpr int kSchemaVersion = 1;
// A reader holding the database (the probe, a sqlite3 shell) delays a commit this long at most.
constexpr int kBusyTimeoutMs = 2000;

constexpr const char *kSchema = R"sql(
CREATE TABLE interfaces (identity TEXT PRIMARY KEY, name TEXT NOT NULL) WITHOUT ROWID;
CREATE TABLE days (
    day TEXT NOT NULL, identity TEXT NOT NULL,
    received INTEGER NOT NULL, sent INTEGER NOT NULL,
    PRIMARY KEY (day, identity)) WITHOUT ROWID;
CREATE TABLE cap_warnings (month_start TEXT PRIMARY KEY, level INTEGER NOT NULL) WITHOUT ROWID;
PRAGMA application_id = 1131574881;
PRAGMA user_version = 1;
)sql";

// Sums stop at the largest integer the database holds instead of wrapping.
constexpr const char *kAddDay = R"sql(
INSERT INTO days (day, identity, received, sent) VALUES (?1, ?2, ?3, ?4)
ON CONFLICT (day, identity) DO UPDATE SET
    received = CASE WHEN received > 9223372036854775807 - excluded.received
               THEN 9223372036854775807 ELSE received + excluded.received END,
    sent = CASE WHEN sent > 9223372036854775807 - excluded.sent
           THEN 9223372036854775807 ELSE sent + excluded.sent END)sql";

constexpr const char *kNameInterface = R"sql(
INSERT INTO interfaces (identity, name) VALUES (?1, ?2)
ON CONFLICT (identity) DO UPDATE SET name = excluded.name WHERE name <> excluded.name)sql";

constexpr const char *kReadMonth = R"sql(
SELECT d.identity, COALESCE(i.name, d.identity), d.day, d.received, d.sent
FROM days d LEFT JOIN interfaces i ON i.identity = d.identity
WHERE d.day >= ?1 AND d.day < ?2 ORDER BY 2, 1, 3)sql";

constexpr const char *kReadCap = "SELECT level FROM cap_warnings WHERE month_start = ?1";
constexpr const char *kRecordCap = "INSERT INTO cap_warnings (month_start, level) VALUES (?1, ?2)"
                                   " ON CONFLICT (month_start) DO UPDATE SET level = max(level, excluded.level)";

class Statement {
public:
    Statement(sqlite3 *db, const char *sql) { sqlite3_prepare_v2(db, sql, -1, &m_pStmt, nullptr); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    ~Statement() { sqlite3_finalize(m_pStmt); }

    bool Ok() const { return m_pStmt != nullptr; }
    Statement &Bind(int index, const std::string &text)
    {
        sqlite3_bind_text(m_pStmt, index, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement &Bind(int index, std::uint64_t value)
    {
        sqlite3_bind_int64(m_pStmt, index, static_cast<sqlite3_int64>(value < kMaxCount ? value : kMaxCount));
        return *this;
    }
    int Step() { return m_pStmt ? sqlite3_step(m_pStmt) : SQLITE_ERROR; }
    // Runs a statement that returns no rows, ready to run again with new values.
    bool Run()
    {
        const bool done = Step() == SQLITE_DONE;
        sqlite3_reset(m_pStmt);
        return done;
    }
    std::string Text(int column) const
    {
        const unsigned char *text = sqlite3_column_text(m_pStmt, column);
        return text ? reinterpret_cast<const char *>(text) : "";
    }
    std::uint64_t Count(int column) const
    {
        const sqlite3_int64 value = sqlite3_column_int64(m_pStmt, column);
        return value > 0 ? static_cast<std::uint64_t>(value) : 0;
    }

private:
    sqlite3_stmt *m_pStmt = nullptr;
};

bool Exec(sqlite3 *db, const char *sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// The first column of a one-row pragma; false when it could not be read.
bool ReadPragma(sqlite3 *db, const char *sql, std::string &value)
{
    Statement pragma(db, sql);
    if (pragma.Step() != SQLITE_ROW)
        return false;
    value = pragma.Text(0);
    return true;
}

bool IsDamage(int code)
{
    code &= 0xFF;
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB || code == SQLITE_CANTOPEN || code == SQLITE_FORMAT;
}

} // namespace

CTotalsStore::CTotalsStore() = default;

CTotalsStore::~CTotalsStore()
{
    Close();
}

void CTotalsStore::Close()
{
    sqlite3_close_v2(m_pDb);
    m_pDb = nullptr;
}

CTotalsStore::OpenResult CTotalsStore::Open(const std::string &path, std::int64_t now)
{
    const Check check = OpenAndCheck(path);
    if (check == Check::Ok)
        return OpenResult::Opened;
    Close();
    if (check == Check::Unavailable || !SetAsideDatabase(path, now))
        return OpenResult::Failed;
    if (OpenAndCheck(path) == Check::Ok)
        return OpenResult::Replaced;
    Close();
    return OpenResult::Failed;
}

CTotalsStore::Check CTotalsStore::OpenAndCheck(const std::string &path)
{
    Close();
    const int opened = sqlite3_open_v2(plat::PathToUtf8(path).c_str(), &m_pDb,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (opened != SQLITE_OK)
        return IsDamage(opened) ? Check::Broken : Check::Unavailable;
    sqlite3_busy_timeout(m_pDb, kBusyTimeoutMs);
    const Check ours = CheckOurs();
    if (ours != Check::Ok)
        return ours;
    // WAL: a commit appends to the journal and never rewrites the database in place, so a
    // kill at any point leaves the last commit whole. FULL: a commit survives power loss too.
    // (A file system without shared memory keeps the rollback journal, which is safe too.)
    std::string mode, tables;
    if (!ReadPragma(m_pDb, "PRAGMA journal_mode = WAL", mode) || !Exec(m_pDb, "PRAGMA synchronous = FULL")
        || !ReadPragma(m_pDb, "SELECT count(*) FROM sqlite_schema", tables))
        return LastFailure();
    if (tables == "0") {
        if (const Check created = CreateSchema(); created != Check::Ok)
            return created;
    }
    // The quick check reads every page but skips the index cross-checks: enough to find a
    // damaged file at a fraction of a full integrity check's cost on a big one.
    std::string result;
    if (!ReadPragma(m_pDb, "PRAGMA quick_check(1)", result))
        return LastFailure();
    return result == "ok" && HasOurTables() ? Check::Ok : Check::Broken;
}

CTotalsStore::Check CTotalsStore::LastFailure() const
{
    return IsDamage(sqlite3_errcode(m_pDb)) ? Check::Broken : Check::Unavailable;
}

bool CTotalsStore::HasOurTables() const
{
    for (const char *sql : {kAddDay, kNameInterface, kReadMonth, kReadCap, kRecordCap})
        if (!Statement(m_pDb, sql).Ok())
            return false;
    return true;
}

// A new file has no schema and both numbers 0; any other numbers mean someone else's file,
// or a layout this version does not know.
CTotalsStore::Check CTotalsStore::CheckOurs()
{
    std::string id, version;
    if (!ReadPragma(m_pDb, "PRAGMA application_id", id) || !ReadPragma(m_pDb, "PRAGMA user_version", version))
        return LastFailure();
    if (id == "0" && version == "0")
        return Check::Ok;
    return id == std::to_string(kApplicationId) && version == std::to_string(kSchemaVersion) ? Check::Ok
                                                                                            : Check::Broken;
}

CTotalsStore::Check CTotalsStore::CreateSchema()
{
    if (Exec(m_pDb, "BEGIN IMMEDIATE") && Exec(m_pDb, kSchema) && Exec(m_pDb, "COMMIT"))
        return Check::Ok;
    const Check failed = LastFailure();
    Exec(m_pDb, "ROLLBACK");
    return failed;
}

int CTotalsStore::OpenReadOnly(const std::string &path)
{
    Close();
    if (sqlite3_open_v2(plat::PathToUtf8(path).c_str(), &m_pDb, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        Close();
        return 0;
    }
    sqlite3_busy_timeout(m_pDb, kBusyTimeoutMs);
    if (CheckOurs() != Check::Ok || !HasOurTables()) {
        Close();
        return 0;
    }
    return 1;
}

int CTotalsStore::Commit(const std::vector<DayCount> &counts)
{
    if (counts.empty())
        return 1;
    if (!m_pDb || !Exec(m_pDb, "BEGIN IMMEDIATE"))
        return 0;
    Statement addDay(m_pDb, kAddDay), nameInterface(m_pDb, kNameInterface);
    bool ok = addDay.Ok() && nameInterface.Ok();
    for (const DayCount &count : counts) {
        ok = ok && nameInterface.Bind(1, count.identity).Bind(2, count.name.empty() ? count.identity : count.name).Run()
             && addDay.Bind(1, DateText(count.day)).Bind(2, count.identity).Bind(3, count.count.received)
                    .Bind(4, count.count.sent).Run();
    }
    if (ok && Exec(m_pDb, "COMMIT"))
        return 1;
    Exec(m_pDb, "ROLLBACK");
    return 0;
}

int CTotalsStore::ReadTotals(const LocalDate &today, const BillingMonth &month, std::vector<InterfaceTotals> &totals)
{
    totals.clear();
    if (!m_pDb)
        return 0;
    Statement read(m_pDb, kReadMonth);
    read.Bind(1, DateText(month.start)).Bind(2, DateText(month.next));
    const std::string todayText = DateText(today);
    int step = SQLITE_ROW;
    while ((step = read.Step()) == SQLITE_ROW)
        AddToTotals(read.Text(0), read.Text(1), {read.Count(3), read.Count(4)}, read.Text(2) == todayText, totals);
    return step == SQLITE_DONE ? 1 : 0;
}

int CTotalsStore::ReadCapWarning(const LocalDate &monthStart, int &level)
{
    level = 0;
    Statement read(m_pDb, kReadCap);
    read.Bind(1, DateText(monthStart));
    const int step = read.Step();
    if (step == SQLITE_ROW)
        level = static_cast<int>(read.Count(0) > 100 ? 100 : read.Count(0));
    return step == SQLITE_ROW || step == SQLITE_DONE ? 1 : 0;
}

int CTotalsStore::RecordCapWarning(const LocalDate &monthStart, int level)
{
    Statement record(m_pDb, kRecordCap);
    return record.Bind(1, DateText(monthStart)).Bind(2, static_cast<std::uint64_t>(level)).Run() ? 1 : 0;
}
