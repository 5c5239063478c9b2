#include "CCounterSampler.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>

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

} // namespace

// The query and what the thread knows about its counters; lives on the thread's stack.
struct CCounterSampler::ThreadState {
    plat::PdhQuery query = nullptr;
    std::array<plat::PdhCounter, kCounterCount> counters {};
    std::array<bool, kCounterCount> valid {};
    std::array<std::uint32_t, kCounterCount> formats {};
    std::array<std::string, kCounterCount> paths;
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
    const std::string instance = m_settings.m_CntBase.GetInsName();
    const int instanceIndex = m_settings.m_CntBase.GetInsIndex();
    for (std::size_t i = 0; i < state.paths.size(); ++i)
        state.paths[i] = BuildPath(instance, instanceIndex, m_settings.m_CntData[i].GetCntName());
    if (m_api.OpenQuery(nullptr, 0, &state.query) != plat::PDH_OK) {
        state.query = nullptr;
        return false;
    }
    AddCounters(state);
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

void CCounterSampler::AddCounters(ThreadState &state)
{
    for (std::size_t i = 0; i < state.paths.size(); ++i) {
        state.valid[i] = false;
        state.counters[i] = nullptr;
        if (state.paths[i].empty())
            continue;
        if (m_api.AddCounter(state.query, state.paths[i].c_str(), 0, &state.counters[i]) != plat::PDH_OK) {
            state.counters[i] = nullptr;
            continue;
        }
        state.valid[i] = true;
        state.formats[i] = static_cast<std::uint32_t>(m_settings.m_CntData[i].GetFormat());
    }
}

void CCounterSampler::SampleOnce(ThreadState &state)
{
    m_api.CollectQueryData(state.query);
    std::list<CounterSample> cycle;
    for (std::size_t i = 0; i < state.counters.size(); ++i) {
        if (!state.valid[i])
            continue;
        plat::FmtCounterValue value;
        value.largeValue = 0;
        // A counter without a value (its interface is gone, or back but without a base yet)
        // shows 0, not its last rate. Rates never span a reading that failed, so the first
        // cycle after it is back only sets a base and the values resume without a spike.
        const bool read = m_api.GetFormattedCounterValue(state.counters[i], state.formats[i], nullptr, &value)
                          == plat::PDH_OK;
        cycle.push_back(read ? CounterSample::Make(static_cast<int>(i), state.formats[i], value)
                             : ZeroSample(static_cast<int>(i)));
    }
    // One hold of the lock for the whole cycle: a drain in between would leave the rest of
    // the cycle waiting for the next cycle's wake-up.
    AppendSamples(cycle);
}

void CCounterSampler::Release(ThreadState &state)
{
    for (std::size_t i = 0; i < state.counters.size(); ++i) {
        if (state.counters[i])
            m_api.RemoveCounter(state.counters[i]);
        state.counters[i] = nullptr;
        state.valid[i] = false;
    }
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
