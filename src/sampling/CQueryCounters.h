#pragma once
// The counters that the sampling thread's query holds, interface by interface: the one
// interface of [CNTBASE], or any number whose values are summed. Interfaces can come and go
// between collections; those that stay keep their base. Sampling thread only.

#include "CounterApi.h"
#include "CounterSample.h"
#include "CSetSystem.h"

#include <array>
#include <string>
#include <vector>

class CQueryCounters {
public:
    explicit CQueryCounters(const CounterApi &api);

    // Starts over on `query`: no interface, these counter names and formats.
    void Reset(plat::PdhQuery query, const std::array<std::string, kCounterCount> &counterNames,
               const std::array<std::uint32_t, kCounterCount> &formats);
    // Counters for `instance` (a counter without a name gets none); after a collection they
    // only have their base.
    void Add(const std::string &instance, int instanceIndex);
    // Exactly the interfaces called `names` from now on.
    void Follow(const std::vector<std::string> &names);
    // Removes every counter from the query.
    void Clear();

    // The first interface's counter `index`: its value, or 0 when it has none now. False
    // when that interface has no such counter.
    bool SampleFirst(int index, CounterSample &sample) const;
    // Counter `index` summed over every interface: one without a value (new, gone, reset)
    // adds nothing, and no part counts below 0.
    CounterSample Sum(int index) const;

private:
    struct Instance {
        std::string name;
        std::array<plat::PdhCounter, kCounterCount> counters {};
        std::array<bool, kCounterCount> valid {};
    };

    std::string BuildPath(const std::string &instance, int instanceIndex, const std::string &counter) const;
    void Remove(Instance &instance);

    const CounterApi m_api;
    plat::PdhQuery m_query = nullptr;
    std::array<std::string, kCounterCount> m_counterNames;
    std::array<std::uint32_t, kCounterCount> m_formats {};
    std::vector<Instance> m_instances;
};
