#pragma once
// A recording stand-in for the platform's counter functions, reached through CounterApi.
// It answers as PDH does: a counter's first value comes after its second collection, and
// each value is distinct. One source at a time; script it before starting the sampler.

#include "CounterApi.h"

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

class FakeCounterSource {
public:
    enum class Call { Open, Add, Collect, Fetch, Remove, Close };
    struct Event {
        Call call;
        std::string path; // Add and Fetch
        bool ok;
        plat::FmtCounterValue value; // Fetch
        std::uint32_t format;        // Fetch
        std::chrono::steady_clock::time_point at;
    };

    FakeCounterSource() { Current() = this; }
    ~FakeCounterSource() { Current() = nullptr; }
    FakeCounterSource(const FakeCounterSource &) = delete;
    FakeCounterSource &operator=(const FakeCounterSource &) = delete;

    static CounterApi Api();
    std::vector<Event> Events(Call call) const;
    std::size_t Count(Call call) const { return Events(call).size(); }
    std::size_t LiveHandles() const;

    // The script: calls whose path ends in these texts fail.
    bool m_bFailOpen = false;
    std::string m_strFailAdd = "\n";
    std::string m_strFailFetch = "\n";
    // Runs on the sampling thread at every fetch, outside the fake's lock.
    std::function<void()> m_onFetch;

private:
    static FakeCounterSource *&Current();
    plat::PdhStatus Record(Call call, const std::string &path, bool ok, std::uint32_t format = 0,
                           plat::FmtCounterValue value = {});
    plat::PdhStatus Open(plat::PdhQuery *query);
    plat::PdhStatus Add(const char *path, plat::PdhCounter *counter);
    plat::PdhStatus Collect();
    plat::PdhStatus Fetch(plat::PdhCounter counter, std::uint32_t format, plat::FmtCounterValue *value);
    plat::PdhStatus Release(Call call, void *handle);

    mutable std::mutex m_lock;
    std::vector<Event> m_events;                   // guarded by m_lock
    std::map<void *, std::string> m_handles;       // guarded by m_lock; queries have no path
    std::map<void *, int> m_collections;           // guarded by m_lock
    std::uintptr_t m_nextHandle = 1;               // guarded by m_lock
};
