#include "FakeCounterSource.h"

namespace {

bool EndsWith(const std::string &text, const std::string &suffix)
{
    return text.size() >= suffix.size()
           && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The elements rendered as the performance library does for a local counter without a
// parent: the platform's own renderer is not under test here (Wine's, for one, appends
// "#4294967295" for the index -1 where Windows appends nothing).
plat::PdhStatus MakePath(const plat::CounterPathElements *e, char *buffer, std::uint32_t *size, std::uint32_t)
{
    std::string path = std::string("\\") + e->objectName;
    if (e->instanceName) {
        path += std::string("(") + e->instanceName;
        if (e->instanceIndex != 0 && e->instanceIndex != 0xFFFFFFFFu)
            path += "#" + std::to_string(e->instanceIndex);
        path += ")";
    }
    path += std::string("\\") + e->counterName;
    const auto needed = static_cast<std::uint32_t>(path.size() + 1);
    if (!buffer || *size < needed) {
        *size = needed;
        return buffer ? plat::PDH_MORE_DATA : plat::PDH_OK;
    }
    path.copy(buffer, path.size());
    buffer[path.size()] = '\0';
    return plat::PDH_OK;
}

} // namespace

FakeCounterSource *&FakeCounterSource::Current()
{
    static FakeCounterSource *current = nullptr;
    return current;
}

CounterApi FakeCounterSource::Api()
{
    CounterApi api;
    api.MakeCounterPath = &MakePath;
    api.OpenQuery = [](const char *, std::uintptr_t, plat::PdhQuery *q) { return Current()->Open(q); };
    api.AddCounter = [](plat::PdhQuery, const char *p, std::uintptr_t, plat::PdhCounter *c) {
        return Current()->Add(p, c);
    };
    api.CollectQueryData = [](plat::PdhQuery) { return Current()->Collect(); };
    api.GetFormattedCounterValue = [](plat::PdhCounter c, std::uint32_t f, std::uint32_t *,
                                      plat::FmtCounterValue *v) { return Current()->Fetch(c, f, v); };
    api.RemoveCounter = [](plat::PdhCounter c) { return Current()->Release(Call::Remove, c); };
    api.CloseQuery = [](plat::PdhQuery q) { return Current()->Release(Call::Close, q); };
    return api;
}

std::vector<FakeCounterSource::Event> FakeCounterSource::Events(Call call) const
{
    std::scoped_lock lock(m_lock);
    std::vector<Event> events;
    for (const Event &event : m_events)
        if (event.call == call)
            events.push_back(event);
    return events;
}

std::size_t FakeCounterSource::LiveHandles() const
{
    std::scoped_lock lock(m_lock);
    return m_handles.size();
}

plat::PdhStatus FakeCounterSource::Record(Call call, const std::string &path, bool ok, std::uint32_t format,
                                          plat::FmtCounterValue value)
{
    m_events.push_back({call, path, ok, value, format, std::chrono::steady_clock::now()});
    return ok ? plat::PDH_OK : plat::PDH_INVALID_DATA;
}

plat::PdhStatus FakeCounterSource::Open(plat::PdhQuery *query)
{
    std::scoped_lock lock(m_lock);
    *query = m_bFailOpen ? nullptr : reinterpret_cast<void *>(m_nextHandle++);
    if (*query)
        m_handles[*query] = "";
    return Record(Call::Open, "", !m_bFailOpen);
}

plat::PdhStatus FakeCounterSource::Add(const char *path, plat::PdhCounter *counter)
{
    std::scoped_lock lock(m_lock);
    const bool ok = !EndsWith(path, m_strFailAdd);
    *counter = ok ? reinterpret_cast<void *>(m_nextHandle++) : nullptr;
    if (ok)
        m_handles[*counter] = path;
    return Record(Call::Add, path, ok);
}

plat::PdhStatus FakeCounterSource::Collect()
{
    std::scoped_lock lock(m_lock);
    for (const auto &[handle, path] : m_handles)
        ++m_collections[handle];
    return Record(Call::Collect, "", true);
}

plat::PdhStatus FakeCounterSource::Fetch(plat::PdhCounter counter, std::uint32_t format,
                                         plat::FmtCounterValue *value)
{
    if (m_onFetch)
        m_onFetch();
    std::scoped_lock lock(m_lock);
    const std::string path = m_handles.count(counter) ? m_handles[counter] : "";
    const int collections = m_collections[counter];
    if (path.empty() || collections < 2 || EndsWith(path, m_strFailFetch))
        return Record(Call::Fetch, path, false, format);
    const double rate = 1000.75 * collections + double(reinterpret_cast<std::uintptr_t>(counter));
    value->largeValue = static_cast<std::int64_t>(rate);
    if (format == plat::PDH_FMT_LONG)
        value->longValue = static_cast<std::int32_t>(rate);
    else if (format == plat::PDH_FMT_DOUBLE)
        value->doubleValue = rate;
    return Record(Call::Fetch, path, true, format, *value);
}

plat::PdhStatus FakeCounterSource::Release(Call call, void *handle)
{
    std::scoped_lock lock(m_lock);
    return Record(call, "", m_handles.erase(handle) == 1);
}
