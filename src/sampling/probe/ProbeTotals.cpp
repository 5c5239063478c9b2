#include "ProbeTotals.h"

#include "CSetExtra.h"
#include "CTotalsStore.h"
#include "Platform.h"
#include "TotalsFiles.h"

#include <cstdio>
#include <ctime>
#include <filesystem>

namespace {

// The settings file the database at `databasePath` belongs to: the same name with ".ini".
std::string SettingsFileOf(const std::string &databasePath)
{
    const std::string ext = ".db";
    const bool hasExt = databasePath.size() > ext.size() && databasePath.ends_with(ext);
    return (hasExt ? databasePath.substr(0, databasePath.size() - ext.size()) : databasePath) + ".ini";
}

void PrintLine(const std::string &name, const char *period, const TrafficCount &count)
{
    std::printf("%s\t%s\t%llu\t%llu\n", name.c_str(), period, static_cast<unsigned long long>(count.received),
                static_cast<unsigned long long>(count.sent));
}

} // namespace

std::string DefaultDatabasePath(const std::string &probePath)
{
    // The path comes in the system's code page, where a separator may be a character's second byte.
    std::string name = plat::GetFileNameOf(probePath);
    const std::string dir = probePath.substr(0, probePath.size() - name.size());
    if (const auto suffix = name.rfind("-probe"); suffix != std::string::npos)
        name.erase(suffix, 6);
    std::string monitor = dir + name;
    const std::string built = dir + CORVALA_BUILD_MONITOR_DIR + name;
    std::error_code error;
    if (!std::filesystem::exists(monitor, error) && std::filesystem::exists(built, error))
        monitor = built;
    return DatabasePathFor(plat::GetSettingsFilePath(monitor));
}

int PrintTotals(const std::string &databasePath)
{
    CTotalsStore store;
    if (!store.OpenReadOnly(databasePath)) {
        std::fprintf(stderr, "corvala-probe: no totals database at '%s'\n", databasePath.c_str());
        return 1;
    }
    CSetExtra extra;
    extra.Load(SettingsFileOf(databasePath)); // reads only; a missing file leaves the defaults
    const int capDay = extra.GetCapDay();
    LocalDate today;
    std::vector<InterfaceTotals> totals;
    if (!LocalDateOf(std::time(nullptr), today) || !store.ReadTotals(today, BillingMonthOf(today, capDay), totals)) {
        std::fprintf(stderr, "corvala-probe: the totals database at '%s' cannot be read\n", databasePath.c_str());
        return 1;
    }
    for (const InterfaceTotals &entry : totals) {
        PrintLine(entry.name, "today", entry.today);
        PrintLine(entry.name, "month", entry.month);
    }
    return 0;
}
