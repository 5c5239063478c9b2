// Linux: the counter functions in the PDH shape, on top of CCounterQuery. Handles are
// pointers to our own objects; a registry makes stale or foreign handles fail with
// PDH_INVALID_HANDLE instead of being followed. A query and its counters are used by one
// thread at a time, as the sampling thread does.

#include "AsciiCase.h"
#include "CCounterQuery.h"
#include "CounterPath.h"
#include "NetCounters.h"
#include "PdhText.h"
#include "Platform.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

namespace plat {
namespace {

// PERF_COUNTER_BULK_COUNT: a 64-bit count per second, the type of every counter here.
constexpr std::uint32_t kCounterType = 0x10410500;

// Owns every open query: a handle given out is a query's address, and closing it takes the
// query back out to be destroyed.
class HandleRegistry {
public:
    PdhQuery AddQuery(std::unique_ptr<CCounterQuery> query)
    {
        PdhQuery handle = query.get();
        std::scoped_lock lock(m_lock);
        m_queries.emplace(handle, std::move(query));
        return handle;
    }
    // Null for a handle that is not an open query; destroyed by the caller, outside the lock.
    std::unique_ptr<CCounterQuery> TakeQuery(PdhQuery handle)
    {
        std::scoped_lock lock(m_lock);
        const auto found = m_queries.find(handle);
        if (found == m_queries.end())
            return nullptr;
        std::unique_ptr<CCounterQuery> query = std::move(found->second);
        m_queries.erase(found);
        return query;
    }
    void AddCounter(const void *handle)
    {
        std::scoped_lock lock(m_lock);
        m_counters.insert(handle);
    }
    void RemoveCounter(const void *handle)
    {
        std::scoped_lock lock(m_lock);
        m_counters.erase(handle);
    }
    bool Has(const void *handle, bool query) const
    {
        std::scoped_lock lock(m_lock);
        return query ? m_queries.count(handle) > 0 : m_counters.count(handle) > 0;
    }

private:
    mutable std::mutex m_lock;
    std::unordered_map<const void *, std::unique_ptr<CCounterQuery>> m_queries; // guarded by m_lock
    std::unordered_set<const void *> m_counters;                                 // guarded by m_lock
};

HandleRegistry &Registry()
{
    static HandleRegistry registry;
    return registry;
}

CCounterQuery *QueryOf(PdhQuery handle)
{
    return Registry().Has(handle, true) ? static_cast<CCounterQuery *>(handle) : nullptr;
}

CounterEntry *CounterOf(PdhCounter handle)
{
    return Registry().Has(handle, false) ? static_cast<CounterEntry *>(handle) : nullptr;
}

bool IsLocalMachine(std::string_view machine)
{
    while (!machine.empty() && machine.front() == '\\')
        machine.remove_prefix(1);
    if (machine.empty())
        return true;
    char host[256] = {};
    return ::gethostname(host, sizeof host - 1) == 0 && EqualsNoCase(machine, host);
}

// Why `path` names no counter of ours, or PDH_OK with the counter and instance filled in.
PdhStatus CheckPath(const char *path, NetCounter &counter, CounterPathParts &parts)
{
    if (!ParseCounterPath(path, parts))
        return PDH_CSTATUS_BAD_COUNTERNAME;
    if (!IsLocalMachine(parts.machine))
        return PDH_CSTATUS_NO_MACHINE;
    if (!EqualsNoCase(parts.object, kNetworkInterfaceObject))
        return PDH_CSTATUS_NO_OBJECT;
    if (!FindNetCounter(parts.counter, counter))
        return PDH_CSTATUS_NO_COUNTER;
    return PDH_OK;
}

std::vector<std::string> InterfaceNames(PdhStatus &status)
{
    std::vector<LinkInfo> links;
    CNetlinkStats netlink;
    status = netlink.Open(false) && netlink.ListLinks(links) ? PDH_OK : PDH_NO_DATA;
    SortForListing(links);
    std::vector<std::string> names;
    for (LinkInfo &link : links)
        names.push_back(std::move(link.name));
    return names;
}

} // namespace

PdhStatus MakeCounterPath(const CounterPathElements *elements, char *buffer, std::uint32_t *size,
                          std::uint32_t flags)
{
    if (!elements || !size || !elements->objectName || !elements->counterName || flags != 0)
        return PDH_INVALID_ARGUMENT;
    return DeliverText(FormatCounterPath(*elements), buffer, size);
}

PdhStatus OpenQuery(const char *dataSource, std::uintptr_t, PdhQuery *query)
{
    if (!query)
        return PDH_INVALID_ARGUMENT;
    *query = nullptr;
    if (dataSource)
        return PDH_INVALID_ARGUMENT; // only real-time data; there are no log files here
    auto opened = std::make_unique<CCounterQuery>();
    if (!opened->Open())
        return PDH_MEMORY_ALLOCATION_FAILURE;
    *query = Registry().AddQuery(std::move(opened));
    return PDH_OK;
}

PdhStatus AddCounter(PdhQuery query, const char *path, std::uintptr_t, PdhCounter *counter)
{
    if (!path || !counter)
        return PDH_INVALID_ARGUMENT;
    *counter = nullptr;
    CCounterQuery *owner = QueryOf(query);
    if (!owner)
        return PDH_INVALID_HANDLE;
    NetCounter which {};
    CounterPathParts parts;
    if (const PdhStatus status = CheckPath(path, which, parts); status != PDH_OK)
        return status;
    // Linux interfaces have no parents; a path that names one matches nothing, as does a
    // path without an instance. Such counters exist but never deliver a value.
    const bool matchable = parts.hasInstance && parts.parent.empty();
    *counter = owner->Add(which, matchable ? &parts.instance : nullptr);
    Registry().AddCounter(*counter);
    return PDH_OK;
}

PdhStatus CollectQueryData(PdhQuery query)
{
    CCounterQuery *owner = QueryOf(query);
    if (!owner)
        return PDH_INVALID_HANDLE;
    owner->Collect();
    return PDH_OK;
}

PdhStatus GetFormattedCounterValue(PdhCounter counter, std::uint32_t format, std::uint32_t *type,
                                   FmtCounterValue *value)
{
    if (!value)
        return PDH_INVALID_ARGUMENT;
    const CounterEntry *entry = CounterOf(counter);
    if (!entry)
        return PDH_INVALID_HANDLE;
    if (type)
        *type = kCounterType;
    return entry->query->Fetch(*entry, format, *value);
}

PdhStatus RemoveCounter(PdhCounter counter)
{
    const CounterEntry *entry = CounterOf(counter);
    if (!entry)
        return PDH_INVALID_HANDLE;
    Registry().RemoveCounter(entry);
    entry->query->Remove(entry);
    return PDH_OK;
}

PdhStatus CloseQuery(PdhQuery query)
{
    const std::unique_ptr<CCounterQuery> owner = Registry().TakeQuery(query);
    if (!owner)
        return PDH_INVALID_HANDLE;
    for (const CounterEntry *entry : owner->Entries())
        Registry().RemoveCounter(entry);
    return PDH_OK;
}

PdhStatus EnumObjectItems(const char *dataSource, const char *machineName, const char *objectName,
                          char *counterList, std::uint32_t *counterLength, char *instanceList,
                          std::uint32_t *instanceLength, std::uint32_t, std::uint32_t)
{
    if (dataSource || !objectName || !counterLength || !instanceLength)
        return PDH_INVALID_ARGUMENT;
    if (machineName && !IsLocalMachine(machineName))
        return PDH_CSTATUS_NO_MACHINE;
    if (!EqualsNoCase(objectName, kNetworkInterfaceObject))
        return PDH_CSTATUS_NO_OBJECT;
    PdhStatus status = PDH_OK;
    const std::vector<std::string> instances = InterfaceNames(status);
    if (status != PDH_OK)
        return status;
    const std::vector<std::string> counters(kNetCounterNames.begin(), kNetCounterNames.end());
    const PdhStatus counterStatus = DeliverText(JoinItemList(counters), counterList, counterLength);
    const PdhStatus instanceStatus = DeliverText(JoinItemList(instances), instanceList, instanceLength);
    return counterStatus != PDH_OK ? counterStatus : instanceStatus;
}

} // namespace plat
