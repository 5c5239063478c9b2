#include "GraphReadout.h"

#include "CGraphFeeder.h"
#include "CHistogramCtrl.h"

#include <QStringList>

QString GraphDescription(const CHistogramCtrl &graph)
{
    QStringList lines;
    for (int i = 0; i < CHistogramModel::kSeriesCount; ++i)
        if (graph.Model().IsEnabled(i))
            lines << graph.Label(i) + QLatin1Char(' ') + graph.ValueText(i);
    return lines.join(QLatin1Char('\n'));
}

int FirstShownSeries(const CHistogramCtrl &graph)
{
    for (int i = 0; i < CHistogramModel::kSeriesCount; ++i)
        if (graph.Model().IsEnabled(i))
            return i;
    return -1;
}

QString GraphTopText(const CHistogramCtrl &graph, const CGraphFeeder &feeder, std::int32_t top)
{
    const int first = FirstShownSeries(graph);
    return first < 0 ? QString() : QString::fromLocal8Bit(feeder.GraphValueText(first, top));
}

QString GraphTipAt(const CHistogramCtrl &graph, const CGraphFeeder &feeder, int x, int stepMs)
{
    const CHistogramModel &model = graph.Model();
    // The newest point ends its segment at W - 2; each older one lies two pixels further left.
    const int fromRight = model.GetClientWidth() - CHistogramModel::kStepPixels - x;
    const auto back = static_cast<std::size_t>(std::max(0, (fromRight + 1) / CHistogramModel::kStepPixels));
    QStringList lines;
    for (int i = 0; i < CHistogramModel::kSeriesCount; ++i) {
        const CValueHistory &history = model.GetHistory(i);
        if (model.IsEnabled(i) && back < history.Size())
            lines << graph.Label(i) + QLatin1Char(' ')
                         + QString::fromLocal8Bit(feeder.GraphValueText(i, history.Newest(back)));
    }
    if (lines.isEmpty())
        return {};
    const long long tenths = static_cast<long long>(back) * stepMs / 100;
    lines << QStringLiteral("%1.%2 秒前").arg(tenths / 10).arg(tenths % 10);
    lines << QStringLiteral("上限 ") + GraphTopText(graph, feeder, model.GetMaximum());
    return lines.join(QLatin1Char('\n'));
}
