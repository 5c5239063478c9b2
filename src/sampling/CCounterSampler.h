#pragma once
// The sampling thread and the sample exchange. The thread owns the counter query: it reads
// the chosen interface's counters (or the sum of the physical ones, or the default route's)
// every COUNTER_WAIT milliseconds and queues one sample per counter. The user-interface
// thread starts it, asks it to rebuild, stops it and drains the queue. Everything the two
// threads share lives here, beside its lock.

#include "CSetSystem.h"
#include "CounterApi.h"
#include "CounterSample.h"

#include <condition_variable>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class CCounterSampler {
public:
    explicit CCounterSampler(CSetSystem &settings = theSetSystem, const CounterApi &api = CounterApi());
    CCounterSampler(const CCounterSampler &) = delete;
    CCounterSampler &operator=(const CCounterSampler &) = delete;
    ~CCounterSampler(); // stops the thread

    // User-interface thread. Start refuses (0) while a thread is there; Stop sets the stop
    // request, cuts a pause short and waits for the thread to end.
    int Start();
    void Stop();
    void RequestRebuild();

    bool GetStopFlag() const;
    void SetStopFlag(bool stop);
    bool GetRebuildFlag() const;
    void SetRebuildFlag(bool rebuild);

    // `hook` runs after samples were queued: on the sampling thread after each cycle and after
    // the ten zero samples of its end, on the caller's thread after AppendSample(s). No lock
    // is held while it runs. Refused (0) while a thread is there, so that it never changes
    // under a running thread; after Stop returns the thread calls it no more.
    int SetSampleHook(std::function<void()> hook);

    // True once the thread has ended and queued its ten zero samples, whether it was asked
    // to stop or could not open its query.
    bool HasEnded() const;

    // Moves every queued sample, in arrival order, into `out` (emptied first). The lock is
    // held only to swap the queue out; nothing is allocated when the queue is empty.
    void TakeSamples(std::vector<CounterSample> &out);

    // The sampling thread's side of the exchange, open so that the exchange can be driven alone.
    void AppendSample(const CounterSample &sample);
    // Moves `samples` to the end of the queue under one hold of the lock, so that no drain
    // takes only a part of them.
    void AppendSamples(std::list<CounterSample> &samples);

private:
    struct ThreadState;

    int CounterThread();
    bool Rebuild(ThreadState &state);
    void FollowInterfaces(ThreadState &state);
    void SampleOnce(ThreadState &state);
    void Release(ThreadState &state);
    bool Pause();
    void AppendZeroSamples();

    CSetSystem &m_settings;
    const CounterApi m_api;

    std::mutex m_sampleLock;
    std::list<CounterSample> m_SampleList; // guarded by m_sampleLock

    mutable std::mutex m_flagLock;
    std::condition_variable m_cvStop; // waited on with m_flagLock; signalled when m_bStop is set
    bool m_bStop = false;             // guarded by m_flagLock
    bool m_bRebuild = false;          // guarded by m_flagLock
    bool m_bEnded = false;            // guarded by m_flagLock

    std::function<void()> m_sampleHook; // written only while no thread runs
    std::unique_ptr<std::thread> m_pThread; // user-interface thread only
};
