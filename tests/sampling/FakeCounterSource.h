#pragma once
// A scripted stand-in for the platform's counter functions, reached through CounterApi. It
// records every call and answers as PDH does: a counter's first value comes after its second
// collection. One source at a time; the sampling thread and the test may use it together.

#include "CounterApi.h"

#include <chrono>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

class FakeCounterSource {
public:
    enum class Call { MakePath, Open, Add, Collect, Fetch, Remove, Close };
    struct Event {
        Call call;
        std::string path;  // Add, Fetch: the counter's path; MakePath: the path built
        bool ok = true;    // the call's result was success
        bool noInstance = false; // MakePath: the elements carried no instance name
        std::uint32_t format = 0;
        plat::FmtCounterValue value {};
        std::chrono::steady_clock::time_point at {};
    };

    FakeCounterSource();
    ~FakeCounterSource();
    FakeCounterSource(const FakeCounterSource &) = delete;
    FakeCounterSource &operator=(const FakeCounterSource &) = delete;

    static CounterApi Api();

    void FailOpen(bool fail);
    // Calls for paths ending in `counterName` fail.
    void FailAdd(const std::string &counterName);
    void FailFetch(const std::string &counterName);

    std::vector<Event> Events() const;
    std::vector<Event> Events(Call call) const;
    std::size_t LiveCounters() const;
    std::size_t LiveQueries() const;

private:
    struct Counter {
        std::string path;
        int collections = 0;
    };

    static FakeCounterSource &Current();
    static plat::PdhStatus MakePath(const plat::CounterPathElements *, char *, std::uint32_t *, std::uint32_t);
    static plat::PdhStatus Open(const char *, std::uintptr_t, plat::PdhQuery *);
    static plat::PdhStatus Add(plat::PdhQuery, const char *, std::uintptr_t, plat::PdhCounter *);
    static plat::PdhStatus Collect(plat::PdhQuery);
    static plat::PdhStatus Fetch(plat::PdhCounter, std::uint32_t, std::uint32_t *, plat::FmtCounterValue *);
    static plat::PdhStatus Remove(plat::PdhCounter);
    static plat::PdhStatus Close(plat::PdhQuery);

    void Record(Event event); // m_lock held

    mutable std::mutex m_lock;
    std::vector<Event> m_events;            // guarded by m_lock
    std::map<std::uintptr_t, Counter> m_counters; // guarded by m_lock
    std::set<std::uintptr_t> m_queries;     // guarded by m_lock
    std::uintptr_t m_nextHandle = 1;        // guarded by m_lock
    bool m_bFailOpen = false;               // guarded by m_lock
    std::set<std::string> m_failAdd;        // guarded by m_lock
    std::set<std::string> m_failFetch;      // guarded by m_lock
};
