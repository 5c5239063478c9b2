#include "CGraphFeeder.h"

#include "CHistogramCtrl.h"
#include "COptionPage.h"
#include "CSetSystem.h"
#include "DialogUnits.h"
#include "ValueText.h"

namespace {

static_assert(CHistogramModel::kSeriesCount == kCounterCount, "counter definition i is drawn as series i");

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
    ReadExtraOptions();
}

void CGraphFeeder::ReadExtraOptions()
{
    m_options = ValueTextOptionsOf(theSetSystem.m_Extra);
    m_nSource = theSetSystem.m_Extra.GetSource();
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
    bool rebuild = page == kPageGeneral || page == kPageDisplay1;
    bool resetHistory = rebuild;
    if (page == kPageExtension) {
        const ValueTextOptions before = m_options;
        const int sourceBefore = m_nSource;
        ReadExtraOptions();
        rebuild = m_nSource != sourceBefore;
        // Points plotted in another unit would not fit the new ones.
        resetHistory = rebuild || before.bits != m_options.bits || before.base != m_options.base;
    }
    if (rebuild)
        m_sampler.RequestRebuild();
    ApplyGraphSettings(resetHistory);
}

std::int64_t CGraphFeeder::LatestValue(int index) const
{
    return index >= 0 && index < kCounterCount ? m_anLatest[static_cast<std::size_t>(index)] : 0;
}

std::int32_t CGraphFeeder::ToGraphValue(int index, std::int64_t value) const
{
    // With the default readout the graph takes the rates as it always has, saturating.
    if (m_options.IsDefault() || index < 0 || index >= kCounterCount)
        return CHistogramModel::ClampToInt32(value);
    return GraphValue(value, CounterData(index).GetUnitName(), m_options);
}

std::string CGraphFeeder::GraphValueText(int index, std::int32_t graphValue) const
{
    if (index < 0 || index >= kCounterCount)
        return {};
    return FormatGraphValueText(graphValue, CounterData(index).GetUnitName(), m_options);
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
    emit samplesFed();
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
    m_anLatest[static_cast<std::size_t>(sample.m_nIndex)] = value;
    m_graph.AddValue(sample.m_nIndex, ToGraphValue(sample.m_nIndex, value));
    // Shown at the graph's next step; the unit comes from the settings file, in the system's
    // code page (UTF-8 on Linux).
    m_graph.SetValueText(sample.m_nIndex, 0,
                         QString::fromLocal8Bit(FormatValueText(value, counter.GetUnitName(), m_options)));
}
