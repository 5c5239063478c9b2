#pragma once
// Feeds the graph: the display settings whenever they change, and the samples of the
// sampling thread, whose sampler it owns. Whenever the thread has queued a cycle, the whole
// queue is taken on the user-interface thread and every sample of an enabled counter goes to
// the graph as a value and a value text. The sampling thread only posts the wake-up;
// everything else runs on the user-interface thread.

#include "CCounterSampler.h"
#include "ValueText.h"

#include <QObject>

#include <array>
#include <atomic>
#include <vector>

class CHistogramCtrl;

class CGraphFeeder : public QObject {
    Q_OBJECT

public:
    explicit CGraphFeeder(CHistogramCtrl &graph, QObject *parent = nullptr);

    CCounterSampler &Sampler() { return m_sampler; }

    // Pushes the display settings into the graph; the history is kept unless asked.
    void ApplyGraphSettings(bool resetHistory);
    // A page of the options sheet has stored its settings (1 General, 2 Display 1, 3 Display 2,
    // 4 Extension): after the first two the sampler rebuilds its query and the history starts
    // anew; after the fourth the readout options are read again, the query is rebuilt when
    // the source changed and the history starts anew when the graph's unit changed.
    void OnOptionsApplied(int page);

    // The latest value fed to series `index` (0 before any), as the sample gave it.
    std::int64_t LatestValue(int index) const;
    // `value` of counter `index` in the graph's units, and a value read off the graph as text.
    std::int32_t ToGraphValue(int index, std::int64_t value) const;
    std::string GraphValueText(int index, std::int32_t graphValue) const;

    // Every queued sample to the graph, in arrival order. False when the queue was empty.
    bool DrainSamples();

signals:
    void samplesFed(); // after a drain that fed the graph

private:
    void OnSamplesQueued(); // any thread
    void OnWake();
    void Feed(const CounterSample &sample);
    void ReadExtraOptions();

    CHistogramCtrl &m_graph;
    std::vector<CounterSample> m_samples; // drained queue, reused so a drain allocates nothing
    std::atomic<bool> m_bWakePosted {false}; // one wake-up in flight at most
    ValueTextOptions m_options;
    int m_nSource = 0;
    std::array<std::int64_t, kCounterCount> m_anLatest {};
    // Last, so that it is destroyed first: its thread has ended before the rest goes.
    CCounterSampler m_sampler;
};
