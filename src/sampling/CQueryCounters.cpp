#include "CQueryCounters.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// Room the platform is offered beyond the path length it reported.
constexpr std::uint32_t kPathSlack = 2;

// sum + part for a part of a sum: below 0 counts as 0, and the sum stops at the 64-bit top.
std::int64_t SaturatingAdd(std::int64_t sum, std::int64_t part)
{
    if (part <= 0)
        return sum;
    return sum > std::numeric_limits<std::int64_t>::max() - part ? std::numeric_limits<std::int64_t>::max()
                                                                 : sum + part;
}

bool IsKnownFormat(std::uint32_t format)
{
    return format == plat::PDH_FMT_LONG || format == plat::PDH_FMT_DOUBLE || format == plat::PDH_FMT_LARGE;
}

} // namespace

CQueryCounters::CQueryCounters(const CounterApi &api)
    : m_api(api)
{
}

void CQueryCounters::Reset(plat::PdhQuery query, const std::array<std::string, kCounterCount> &counterNames,
                           const std::array<std::uint32_t, kCounterCount> &formats)
{
    Clear();
    m_query = query;
    m_counterNames = counterNames;
    m_formats = formats;
}

void CQueryCounters::Add(const std::string &instance, int instanceIndex)
{
    Instance &added = m_instances.emplace_back();
    added.name = instance;
    for (std::size_t i = 0; i < added.counters.size(); ++i) {
        const std::string path = BuildPath(instance, instanceIndex, m_counterNames[i]);
        if (path.empty())
            continue;
        if (m_api.AddCounter(m_query, path.c_str(), 0, &added.counters[i]) != plat::PDH_OK) {
            added.counters[i] = nullptr;
            continue;
        }
        added.valid[i] = true;
    }
}

void CQueryCounters::Follow(const std::vector<std::string> &names)
{
    auto gone = std::remove_if(m_instances.begin(), m_instances.end(), [&](Instance &instance) {
        if (std::find(names.begin(), names.end(), instance.name) != names.end())
            return false;
        Remove(instance);
        return true;
    });
    m_instances.erase(gone, m_instances.end());
    for (const std::string &name : names) {
        const auto known = std::find_if(m_instances.begin(), m_instances.end(),
                                        [&name](const Instance &instance) { return instance.name == name; });
        if (known == m_instances.end())
            Add(name, 0);
    }
}

void CQueryCounters::Clear()
{
    for (Instance &instance : m_instances)
        Remove(instance);
    m_instances.clear();
}

void CQueryCounters::Remove(Instance &instance)
{
    for (std::size_t i = 0; i < instance.counters.size(); ++i) {
        if (instance.counters[i])
            m_api.RemoveCounter(instance.counters[i]);
        instance.counters[i] = nullptr;
        instance.valid[i] = false;
    }
}

bool CQueryCounters::SampleFirst(int index, CounterSample &sample) const
{
    const auto i = static_cast<std::size_t>(index);
    if (m_instances.empty() || !m_instances.front().valid[i])
        return false;
    plat::FmtCounterValue value;
    value.largeValue = 0;
    // A counter without a value (its interface is gone, or back but without a base yet)
    // shows 0, not its last rate. Rates never span a reading that failed, so the first
    // cycle after it is back only sets a base and the values resume without a spike.
    const bool read = m_api.GetFormattedCounterValue(m_instances.front().counters[i], m_formats[i], nullptr, &value)
                      == plat::PDH_OK;
    sample = read ? CounterSample::Make(index, m_formats[i], value) : CounterSample::Zero(index);
    return true;
}

CounterSample CQueryCounters::Sum(int index) const
{
    const auto i = static_cast<std::size_t>(index);
    const std::uint32_t format = m_formats[i];
    if (!IsKnownFormat(format))
        return CounterSample::Zero(index);
    double real = 0;
    std::int64_t whole = 0;
    for (const Instance &instance : m_instances) {
        plat::FmtCounterValue value;
        value.largeValue = 0;
        if (!instance.valid[i]
            || m_api.GetFormattedCounterValue(instance.counters[i], format, nullptr, &value) != plat::PDH_OK)
            continue;
        if (format == plat::PDH_FMT_DOUBLE)
            real += std::max(value.doubleValue, 0.0);
        else
            whole = SaturatingAdd(whole, format == plat::PDH_FMT_LONG ? value.longValue : value.largeValue);
    }
    plat::FmtCounterValue sum;
    if (format == plat::PDH_FMT_DOUBLE)
        sum.doubleValue = real;
    else if (format == plat::PDH_FMT_LONG)
        sum.longValue = static_cast<std::int32_t>(
            std::min<std::int64_t>(whole, std::numeric_limits<std::int32_t>::max()));
    else
        sum.largeValue = whole;
    return CounterSample::Make(index, format, sum);
}

std::string CQueryCounters::BuildPath(const std::string &instance, int instanceIndex,
                                       const std::string &counter) const
{
    if (counter.empty())
        return {};
    plat::CounterPathElements elements;
    elements.objectName = plat::kNetworkInterfaceObject;
    elements.instanceName = instance.empty() ? nullptr : instance.c_str();
    elements.instanceIndex = static_cast<std::uint32_t>(instanceIndex);
    elements.counterName = counter.c_str();
    std::uint32_t size = 0;
    m_api.MakeCounterPath(&elements, nullptr, &size, 0);
    std::uint32_t capacity = size + kPathSlack;
    std::string path(capacity, '\0');
    m_api.MakeCounterPath(&elements, path.data(), &capacity, 0);
    path.resize(::strnlen(path.c_str(), path.size()));
    return path;
}

