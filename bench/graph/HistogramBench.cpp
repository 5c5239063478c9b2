// Cost of the graph's step, rebuild and paint at 2000 x 300 pixels with ten series.
// Run: QT_QPA_PLATFORM is forced to offscreen, so no display is needed.

#include "CHistogramCtrl.h"
#include "FontSetup.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kWidth = 2000;
constexpr int kHeight = 300;
constexpr int kSeries = CHistogramModel::kSeriesCount;
constexpr std::int32_t kRangeMax = 1000;

// A repeatable, jagged value for series `index` at tick `tick`.
std::int32_t Sample(int index, int tick) { return (tick * 37 + index * 101) % kRangeMax; }

std::unique_ptr<CHistogramCtrl> MakeGraph(int penWidth, bool fixedRange)
{
    auto graph = std::make_unique<CHistogramCtrl>();
    graph->resize(kWidth, kHeight);
    graph->SetGridSize(20, 20);
    graph->SetRange(0, fixedRange ? kRangeMax : 0);
    for (int i = 0; i < kSeries; ++i) {
        graph->SetSeries(i, MakeRgb(40u * unsigned(i), 255, 128), penWidth, "Packets Received/sec",
                         "ＭＳ Ｐゴシック", 80, 1);
        graph->SetValueText(i, 0, "%d.%03d KB/s", i, 500);
    }
    return graph;
}

void Feed(CHistogramCtrl &graph, int tick)
{
    for (int i = 0; i < kSeries; ++i)
        graph.AddValue(i, Sample(i, tick));
}

void Fill(CHistogramCtrl &graph)
{
    for (int tick = 0; tick < 1000; ++tick) {
        Feed(graph, tick);
        graph.Step();
    }
}

// The step with histories cut back to one value before every step versus full ones: the
// cost must not depend on the history length. (From one value on, every step draws a real
// segment; the very first step of an empty history draws a zero-length line.)
void BM_StepShortHistories(benchmark::State &state)
{
    auto graph = MakeGraph(static_cast<int>(state.range(0)), true);
    int tick = 0;
    for (auto _ : state) {
        state.PauseTiming();
        graph->ClearHistory(-1);
        Feed(*graph, tick++);
        graph->Step();
        Feed(*graph, tick++);
        state.ResumeTiming();
        graph->Step();
    }
    state.counters["history"] = static_cast<double>(graph->Model().GetHistory(0).Size());
}
BENCHMARK(BM_StepShortHistories)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);

void BM_StepFullHistories(benchmark::State &state)
{
    auto graph = MakeGraph(static_cast<int>(state.range(0)), true);
    Fill(*graph);
    int tick = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Feed(*graph, tick++);
        state.ResumeTiming();
        graph->Step();
    }
    state.counters["history"] = static_cast<double>(graph->Model().GetHistory(0).Size());
}
BENCHMARK(BM_StepFullHistories)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);

// In automatic range nearly every tick refits the range and rebuilds before the step.
void BM_StepAutoRangeFullHistories(benchmark::State &state)
{
    auto graph = MakeGraph(static_cast<int>(state.range(0)), false);
    Fill(*graph);
    int tick = 0;
    for (auto _ : state) {
        Feed(*graph, tick++);
        graph->Step();
    }
}
BENCHMARK(BM_StepAutoRangeFullHistories)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);

void BM_RebuildFullHistories(benchmark::State &state)
{
    auto graph = MakeGraph(static_cast<int>(state.range(0)), true);
    Fill(*graph);
    for (auto _ : state)
        benchmark::DoNotOptimize(graph->RebuildBuffer());
}
BENCHMARK(BM_RebuildFullHistories)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);

// The paint: one copy of the back buffer and ten text lines.
void BM_Paint(benchmark::State &state)
{
    auto graph = MakeGraph(1, true);
    Fill(*graph);
    QImage target(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        graph->render(&target);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Paint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
