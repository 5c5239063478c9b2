#include "CCounterSampler.h"

#include "CInterfaceSource.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <limits>

namespace {

// Room the platform is offered beyond the path length it reported.
constexpr std::uint32_t kPathSlack = 2;

// What a counter that cannot be read shows: a long 0.
CounterSample ZeroSample(int index)
{
    CounterSample sample;
    sample.m_nIndex = index;
    return sample;
}

// a + b for a part of a sum: below 0 counts as 0, and the sum stops at the 64-bit top.
std::int64_t SaturatingAdd(std::int64_t sum, std::int64_t part)
{
    if (part <= 0)
        return sum;
    return sum > std::numeric_limits<std::int64_t>::max() - part ? std::numeric_limits<std::int64_t>::max()
                                                                 : sum + part;
}

} // namespace

// The counters of one interface that the query reads.
struct CCounterSampler::InstanceCounters {
    std::string name;
    std::array<plat::PdhCounter, kCounterCount> counters {};
    std::array<bool, kCounterCount> valid {};
};

// The query and what the thread knows about its counters; lives on the thread's stack.
struct CCounterSampler::ThreadState {
    plat::PdhQuery query = nullptr;
    std::vector<InstanceCounters> instances; // one for the named interface; any number for the others
    std::array<std::uint32_t, kCounterCount> formats {};
    std::array<std::string, kCounterCount> counterNames;
    int source = CSetExtra::kSourceNamed;
    std::unique_ptr<CInterfaceSource> interfaces; // null for the named interface
    bool firstCycle = true;
};

CCounterSampler::CCounterSampler(CSetSystem &settings, const CounterApi &api)
    : m_settings(settings), m_api(api)
{
}

CCounterSampler::~CCounterSampler()
{
    Stop();
}

int CCounterSampler::Start()
{
    if (m_pThread)
        return 0;
    SetStopFlag(false);
    {
        std::scoped_lock lock(m_flagLock);
        m_bEnded = false;
    }
    m_pThread = std::make_unique<std::thread>([this] { CounterThread(); });
    return 1;
}

void CCounterSampler::Stop()
{
    SetStopFlag(true);
    if (m_pThread && m_pThread->joinable())
        m_pThread->join();
    m_pThread.reset();
}

int CCounterSampler::SetSampleHook(std::function<void()> hook)
{
    if (m_pThread)
        return 0;
    m_sampleHook = std::move(hook);
    return 1;
}

void CCounterSampler::RequestRebuild()
{
    SetRebuildFlag(true);
}

bool CCounterSampler::GetStopFlag() const
{
    std::scoped_lock lock(m_flagLock);
    return m_bStop;
}

void CCounterSampler::SetStopFlag(bool stop)
{
    {
        std::scoped_lock lock(m_flagLock);
        m_bStop = stop;
    }
    if (stop)
        m_cvStop.notify_all();
}

bool CCounterSampler::GetRebuildFlag() const
{
    std::scoped_lock lock(m_flagLock);
    return m_bRebuild;
}

void CCounterSampler::SetRebuildFlag(bool rebuild)
{
    std::scoped_lock lock(m_flagLock);
    m_bRebuild = rebuild;
}

bool CCounterSampler::HasEnded() const
{
    std::scoped_lock lock(m_flagLock);
    return m_bEnded;
}

void CCounterSampler::TakeSamples(std::vector<CounterSample> &out)
{
    out.clear();
    std::list<CounterSample> taken;
    {
        std::scoped_lock lock(m_sampleLock);
        taken.swap(m_SampleList);
    }
    out.insert(out.end(), taken.begin(), taken.end());
} // the nodes are freed here, outside the lock

void CCounterSampler::AppendSample(const CounterSample &sample)
{
    std::list<CounterSample> node(1, sample); // allocated before the lock is taken
    AppendSamples(node);
}

void CCounterSampler::AppendSamples(std::list<CounterSample> &samples)
{
    if (samples.empty())
        return;
    {
        std::scoped_lock lock(m_sampleLock);
        m_SampleList.splice(m_SampleList.end(), samples);
    }
    if (m_sampleHook)
        m_sampleHook();
}

void CCounterSampler::AppendZeroSamples()
{
    std::list<CounterSample> zeros;
    for (int i = 0; i < kCounterCount; ++i)
        zeros.push_back(ZeroSample(i));
    AppendSamples(zeros);
}

int CCounterSampler::CounterThread()
{
    ThreadState state;
    while (!GetStopFlag()) {
        if ((state.firstCycle || GetRebuildFlag()) && !Rebuild(state))
            break; // no query: the thread ends and sampling stays off until the next run
        if (!Pause())
            break; // stopped during the pause: a collection now would only delay the end
        SampleOnce(state);
        state.firstCycle = false;
    }
    Release(state);
    // Brings every displayed value to 0, however the thread ended.
    AppendZeroSamples();
    std::scoped_lock lock(m_flagLock);
    m_bEnded = true;
    return 0;
}

bool CCounterSampler::Rebuild(ThreadState &state)
{
    SetRebuildFlag(false);
    Release(state);
    state.source = m_settings.m_Extra.GetSource();
    for (std::size_t i = 0; i < state.counterNames.size(); ++i) {
        state.counterNames[i] = m_settings.m_CntData[i].GetCntName();
        state.formats[i] = static_cast<std::uint32_t>(m_settings.m_CntData[i].GetFormat());
    }
    if (m_api.OpenQuery(nullptr, 0, &state.query) != plat::PDH_OK) {
        state.query = nullptr;
        return false;
    }
    if (state.source == CSetExtra::kSourceNamed) {
        state.interfaces.reset();
        AddInstance(state, m_settings.m_CntBase.GetInsName(), m_settings.m_CntBase.GetInsIndex());
    } else {
        state.interfaces = std::make_unique<CInterfaceSource>(state.source);
        std::vector<std::string> names;
        state.interfaces->Update(names);
        for (const std::string &name : names)
            AddInstance(state, name, 0);
    }
    m_api.CollectQueryData(state.query); // the base of the first rates
    return true;
}

std::string CCounterSampler::BuildPath(const std::string &instance, int instanceIndex,
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

void CCounterSampler::AddInstance(ThreadState &state, const std::string &instance, int instanceIndex)
{
    InstanceCounters &added = state.instances.emplace_back();
    added.name = instance;
    for (std::size_t i = 0; i < added.counters.size(); ++i) {
        const std::string path = BuildPath(instance, instanceIndex, state.counterNames[i]);
        if (path.empty())
            continue;
        if (m_api.AddCounter(state.query, path.c_str(), 0, &added.counters[i]) != plat::PDH_OK) {
            added.counters[i] = nullptr;
            continue;
        }
        added.valid[i] = true;
    }
}

// Interfaces that came get counters, whose first collection only sets their base; those that
// went lose theirs. Those that stay keep their base.
void CCounterSampler::FollowInterfaces(ThreadState &state)
{
    std::vector<std::string> names;
    if (!state.interfaces || !state.interfaces->Update(names))
        return;
    auto gone = std::remove_if(state.instances.begin(), state.instances.end(), [&](InstanceCounters &instance) {
        if (std::find(names.begin(), names.end(), instance.name) != names.end())
            return false;
        RemoveCounters(instance);
        return true;
    });
    state.instances.erase(gone, state.instances.end());
    for (const std::string &name : names) {
        const auto known = std::find_if(state.instances.begin(), state.instances.end(),
                                        [&name](const InstanceCounters &instance) { return instance.name == name; });
        if (known == state.instances.end())
            AddInstance(state, name, 0);
    }
}

void CCounterSampler::SampleOnce(ThreadState &state)
{
    FollowInterfaces(state);
    m_api.CollectQueryData(state.query);
    std::list<CounterSample> cycle;
    for (std::size_t i = 0; i < kCounterCount; ++i) {
        if (state.interfaces) {
            if (!state.counterNames[i].empty())
                cycle.push_back(SumOf(state, static_cast<int>(i)));
            continue;
        }
        const InstanceCounters &named = state.instances.front();
        if (!named.valid[i])
            continue;
        plat::FmtCounterValue value;
        value.largeValue = 0;
        // A counter without a value (its interface is gone, or back but without a base yet)
        // shows 0, not its last rate. Rates never span a reading that failed, so the first
        // cycle after it is back only sets a base and the values resume without a spike.
        const bool read = m_api.GetFormattedCounterValue(named.counters[i], state.formats[i], nullptr, &value)
                          == plat::PDH_OK;
        cycle.push_back(read ? CounterSample::Make(static_cast<int>(i), state.formats[i], value)
                             : ZeroSample(static_cast<int>(i)));
    }
    // One hold of the lock for the whole cycle: a drain in between would leave the rest of
    // the cycle waiting for the next cycle's wake-up.
    AppendSamples(cycle);
}

// Counter `index` over every interface read: one without a value (new, gone, reset)
// adds nothing, and no part is ever below 0.
CounterSample CCounterSampler::SumOf(const ThreadState &state, int index) const
{
    const auto i = static_cast<std::size_t>(index);
    const std::uint32_t format = state.formats[i];
    if (format != plat::PDH_FMT_LONG && format != plat::PDH_FMT_DOUBLE && format != plat::PDH_FMT_LARGE)
        return ZeroSample(index);
    double real = 0;
    std::int64_t whole = 0;
    for (const InstanceCounters &instance : state.instances) {
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
        sum.longValue = static_cast<std::int32_t>(std::min<std::int64_t>(whole, std::numeric_limits<std::int32_t>::max()));
    else
        sum.largeValue = whole;
    return CounterSample::Make(index, format, sum);
}

void CCounterSampler::RemoveCounters(InstanceCounters &instance)
{
    for (std::size_t i = 0; i < instance.counters.size(); ++i) {
        if (instance.counters[i])
            m_api.RemoveCounter(instance.counters[i]);
        instance.counters[i] = nullptr;
        instance.valid[i] = false;
    }
}

void CCounterSampler::Release(ThreadState &state)
{
    for (InstanceCounters &instance : state.instances)
        RemoveCounters(instance);
    state.instances.clear();
    state.interfaces.reset();
    if (state.query)
        m_api.CloseQuery(state.query);
    state.query = nullptr;
}

bool CCounterSampler::Pause()
{
    // Values below 1 ms would spin the thread; PDH's Sleep would even read -1 as "forever".
    const int wait = std::max(m_settings.m_CntBase.GetCounterWait(), 1);
    std::unique_lock lock(m_flagLock);
    // wait_for releases the flag lock while it sleeps, so no setter ever waits on a pause.
    return !m_cvStop.wait_for(lock, std::chrono::milliseconds(wait), [this] { return m_bStop; });
}
