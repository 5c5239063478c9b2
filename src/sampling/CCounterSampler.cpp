#include "CCounterSampler.h"

#include "CInterfaceSource.h"
#include "CQueryCounters.h"

#include <algorithm>
#include <chrono>

// The query and what the thread knows about its counters; lives on the thread's stack.
struct CCounterSampler::ThreadState {
    explicit ThreadState(const CounterApi &api) : counters(api) {}
    plat::PdhQuery query = nullptr;
    CQueryCounters counters; // one interface for the named one; any number for the others
    std::array<std::string, kCounterCount> counterNames;
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
        zeros.push_back(CounterSample::Zero(i));
    AppendSamples(zeros);
}

int CCounterSampler::CounterThread()
{
    ThreadState state(m_api);
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
    const int source = m_settings.m_Extra.GetSource();
    std::array<std::string, kCounterCount> names;
    std::array<std::uint32_t, kCounterCount> formats {};
    for (std::size_t i = 0; i < names.size(); ++i) {
        names[i] = m_settings.m_CntData[i].GetCntName();
        formats[i] = static_cast<std::uint32_t>(m_settings.m_CntData[i].GetFormat());
    }
    state.counterNames = names;
    if (m_api.OpenQuery(nullptr, 0, &state.query) != plat::PDH_OK) {
        state.query = nullptr;
        return false;
    }
    state.counters.Reset(state.query, names, formats);
    if (source == CSetExtra::kSourceNamed) {
        state.counters.Add(m_settings.m_CntBase.GetInsName(), m_settings.m_CntBase.GetInsIndex());
    } else {
        state.interfaces = std::make_unique<CInterfaceSource>(source);
        FollowInterfaces(state);
    }
    m_api.CollectQueryData(state.query); // the base of the first rates
    return true;
}

// Interfaces that came get counters, whose first collection only sets their base; those that
// went lose theirs.
void CCounterSampler::FollowInterfaces(ThreadState &state)
{
    std::vector<std::string> names;
    if (state.interfaces && state.interfaces->Update(names))
        state.counters.Follow(names);
}

void CCounterSampler::SampleOnce(ThreadState &state)
{
    FollowInterfaces(state);
    m_api.CollectQueryData(state.query);
    std::list<CounterSample> cycle;
    for (int i = 0; i < kCounterCount; ++i) {
        CounterSample sample;
        if (state.interfaces) {
            if (!state.counterNames[static_cast<std::size_t>(i)].empty())
                cycle.push_back(state.counters.Sum(i));
        } else if (state.counters.SampleFirst(i, sample)) {
            cycle.push_back(sample);
        }
    }
    // One hold of the lock for the whole cycle: a drain in between would leave the rest of
    // the cycle waiting for the next cycle's wake-up.
    AppendSamples(cycle);
}

void CCounterSampler::Release(ThreadState &state)
{
    state.counters.Clear();
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
