#include "FakeCounterSource.h"

namespace {

FakeCounterSource *g_current = nullptr;

bool EndsWith(const std::string &text, const std::set<std::string> &suffixes)
{
    for (const std::string &suffix : suffixes)
        if (text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0)
            return true;
    return false;
}

void *HandleOf(std::uintptr_t id)
{
    return reinterpret_cast<void *>(id);
}

std::uintptr_t IdOf(void *handle)
{
    return reinterpret_cast<std::uintptr_t>(handle);
}

} // namespace

FakeCounterSource::FakeCounterSource()
{
    g_current = this;
}

FakeCounterSource::~FakeCounterSource()
{
    g_current = nullptr;
}

FakeCounterSource &FakeCounterSource::Current()
{
    return *g_current;
}

CounterApi FakeCounterSource::Api()
{
    CounterApi api;
    api.MakeCounterPath = &MakePath;
    api.OpenQuery = &Open;
    api.AddCounter = &Add;
    api.CollectQueryData = &Collect;
    api.GetFormattedCounterValue = &Fetch;
    api.RemoveCounter = &Remove;
    api.CloseQuery = &Close;
    return api;
}

void FakeCounterSource::FailOpen(bool fail)
{
    std::scoped_lock lock(m_lock);
    m_bFailOpen = fail;
}

void FakeCounterSource::FailAdd(const std::string &counterName)
{
    std::scoped_lock lock(m_lock);
    m_failAdd.insert(counterName);
}

void FakeCounterSource::FailFetch(const std::string &counterName)
{
    std::scoped_lock lock(m_lock);
    m_failFetch.insert(counterName);
}

std::vector<FakeCounterSource::Event> FakeCounterSource::Events() const
{
    std::scoped_lock lock(m_lock);
    return m_events;
}

std::vector<FakeCounterSource::Event> FakeCounterSource::Events(Call call) const
{
    std::vector<Event> events;
    for (const Event &event : Events())
        if (event.call == call)
            events.push_back(event);
    return events;
}

std::size_t FakeCounterSource::LiveCounters() const
{
    std::scoped_lock lock(m_lock);
    return m_counters.size();
}

std::size_t FakeCounterSource::LiveQueries() const
{
    std::scoped_lock lock(m_lock);
    return m_queries.size();
}

void FakeCounterSource::Record(Event event)
{
    event.at = std::chrono::steady_clock::now();
    m_events.push_back(std::move(event));
}

// The real path format, recorded on the way.
plat::PdhStatus FakeCounterSource::MakePath(const plat::CounterPathElements *elements, char *buffer,
                                            std::uint32_t *size, std::uint32_t flags)
{
    const plat::PdhStatus status = plat::MakeCounterPath(elements, buffer, size, flags);
    FakeCounterSource &self = Current();
    std::scoped_lock lock(self.m_lock);
    Event event {Call::MakePath, buffer && status == plat::PDH_OK ? buffer : "", status == plat::PDH_OK};
    event.noInstance = elements->instanceName == nullptr;
    self.Record(event);
    return status;
}

plat::PdhStatus FakeCounterSource::Open(const char *, std::uintptr_t, plat::PdhQuery *query)
{
    FakeCounterSource &self = Current();
    std::scoped_lock lock(self.m_lock);
    self.Record({Call::Open, "", !self.m_bFailOpen});
    *query = nullptr;
    if (self.m_bFailOpen)
        return plat::PDH_MEMORY_ALLOCATION_FAILURE;
    const std::uintptr_t id = self.m_nextHandle++;
    self.m_queries.insert(id);
    *query = HandleOf(id);
    return plat::PDH_OK;
}

plat::PdhStatus FakeCounterSource::Add(plat::PdhQuery, const char *path, std::uintptr_t, plat::PdhCounter *counter)
{
    FakeCounterSource &self = Current();
    std::scoped_lock lock(self.m_lock);
    const bool ok = !EndsWith(path, self.m_failAdd);
    self.Record({Call::Add, path, ok});
    *counter = nullptr;
    if (!ok)
        return plat::PDH_CSTATUS_NO_COUNTER;
    const std::uintptr_t id = self.m_nextHandle++;
    self.m_counters[id] = Counter {path, 0};
    *counter = HandleOf(id);
    return plat::PDH_OK;
}

plat::PdhStatus FakeCounterSource::Collect(plat::PdhQuery)
{
    FakeCounterSource &self = Current();
    std::scoped_lock lock(self.m_lock);
    self.Record({Call::Collect, ""});
    for (auto &[id, counter] : self.m_counters)
        ++counter.collections;
    return plat::PDH_OK;
}

// Each value is distinct: 1000.75 times the collection count, plus the handle.
plat::PdhStatus FakeCounterSource::Fetch(plat::PdhCounter handle, std::uint32_t format, std::uint32_t *,
                                         plat::FmtCounterValue *value)
{
    FakeCounterSource &self = Current();
    std::scoped_lock lock(self.m_lock);
    const auto found = self.m_counters.find(IdOf(handle));
    Event event {Call::Fetch, found == self.m_counters.end() ? "" : found->second.path, false};
    event.format = format;
    if (found != self.m_counters.end() && found->second.collections >= 2 && !EndsWith(event.path, self.m_failFetch)) {
        const double rate = 1000.75 * found->second.collections + double(IdOf(handle));
        event.ok = true;
        event.value.largeValue = 0;
        if (format == plat::PDH_FMT_LONG)
            event.value.longValue = static_cast<std::int32_t>(rate);
        else if (format == plat::PDH_FMT_DOUBLE)
            event.value.doubleValue = rate;
        else
            event.value.largeValue = static_cast<std::int64_t>(rate);
        *value = event.value;
    }
    self.Record(event);
    return event.ok ? plat::PDH_OK : plat::PDH_INVALID_DATA;
}

plat::PdhStatus FakeCounterSource::Remove(plat::PdhCounter handle)
{
    FakeCounterSource &self = Current();
    std::scoped_lock lock(self.m_lock);
    const bool ok = self.m_counters.erase(IdOf(handle)) == 1;
    self.Record({Call::Remove, "", ok});
    return ok ? plat::PDH_OK : plat::PDH_INVALID_HANDLE;
}

plat::PdhStatus FakeCounterSource::Close(plat::PdhQuery handle)
{
    FakeCounterSource &self = Current();
    std::scoped_lock lock(self.m_lock);
    const bool ok = self.m_queries.erase(IdOf(handle)) == 1;
    self.Record({Call::Close, "", ok});
    return ok ? plat::PDH_OK : plat::PDH_INVALID_HANDLE;
}
