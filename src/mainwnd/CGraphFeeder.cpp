#include "CGraphFeeder.h"

#include "CHistogramCtrl.h"
#include "COptionPage.h"
#include "CSetSystem.h"
#include "DialogUnits.h"
#include "ValueText.h"

namespace {

constexpr int kLabelFontSize = 80; // tenths of a point

const CSetCntData &CounterData(int index)
{
    return theSetSystem.m_CntData[static_cast<std::size_t>(index)];
}

} // namespace

CGraphFeeder::CGraphFeeder(CHistogramCtrl &graph, QObject *parent)
    : QObject(parent), m_graph(graph)
{
    m_sampler.SetSampleHook([this] { OnSamplesQueued(); });
}

void CGraphFeeder::ApplyGraphSettings(bool resetHistory)
{
    const CSetCntBase &base = theSetSystem.m_CntBase;
    m_graph.setUpdatesEnabled(false);
    m_graph.SetGridVisible(1, 1);
    m_graph.SetBackColor(base.GetBackColor());
    m_graph.SetGridColor(base.GetGridColorH(), base.GetGridColorV());
    m_graph.SetGridSize(base.GetGridSizeH(), base.GetGridSizeV());
    m_graph.SetStepInterval(base.GetDisplayWait());
    m_graph.SetRange(0, 0);
    const int type = base.GetType();
    for (int i = 0; i < kCounterCount; ++i) {
        const CSetCntData &counter = CounterData(i);
        const bool shown = counter.GetEnable() != 0 && IsCounterInGroup(i, type);
        m_graph.SetSeries(i, counter.GetColor(), counter.GetWidth(), counter.GetCntName().c_str(), kDialogFontFace,
                          kLabelFontSize, shown ? 1 : 0);
    }
    if (resetHistory)
        m_graph.ClearHistory(-1);
    m_graph.update();
    m_graph.setUpdatesEnabled(true);
}

void CGraphFeeder::OnOptionsApplied(int page)
{
    const bool rebuild = page == kPageGeneral || page == kPageDisplay1;
    if (rebuild)
        m_sampler.RequestRebuild();
    ApplyGraphSettings(rebuild);
}

// A queued call instead of a timer that looks: the user-interface thread wakes once per
// sampling cycle, when the cycle is there. A wake-up is not posted while one is on its way,
// which will find the queue as it is then.
void CGraphFeeder::OnSamplesQueued()
{
    if (!m_bWakePosted.exchange(true))
        QMetaObject::invokeMethod(this, &CGraphFeeder::OnWake, Qt::QueuedConnection);
}

void CGraphFeeder::OnWake()
{
    m_bWakePosted = false; // before the drain: a cycle queued during it posts a wake-up of its own
    DrainSamples();
}

bool CGraphFeeder::DrainSamples()
{
    m_sampler.TakeSamples(m_samples);
    if (m_samples.empty())
        return false;
    for (const CounterSample &sample : m_samples)
        Feed(sample);
    m_samples.clear();
    return true;
}

void CGraphFeeder::Feed(const CounterSample &sample)
{
    if (sample.m_nIndex < 0 || sample.m_nIndex >= kCounterCount)
        return;
    const CSetCntData &counter = CounterData(sample.m_nIndex);
    std::int64_t value = 0;
    if (!counter.GetEnable() || !SampleToValue(sample, value))
        return;
    m_graph.AddValue(sample.m_nIndex, CHistogramModel::ClampToInt32(value));
    // Shown at the graph's next step.
    m_graph.SetValueText(sample.m_nIndex, 0, QString::fromStdString(FormatValueText(value, counter.GetUnitName())));
}
