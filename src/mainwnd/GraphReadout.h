#pragma once
// What the graph shows, in words: the description a screen reader reads, the tooltip at a
// column, and the top of the range written in the readout's units.

#include <QString>

#include <cstdint>

class CGraphFeeder;
class CHistogramCtrl;

// "label value-text" of each shown series, one line apiece.
QString GraphDescription(const CHistogramCtrl &graph);

// The first shown series, whose unit the top is written in; -1 when none is shown.
int FirstShownSeries(const CHistogramCtrl &graph);

// The top of the range, `top` in the graph's units, as text; empty when no series is shown.
QString GraphTopText(const CHistogramCtrl &graph, const CGraphFeeder &feeder, std::int32_t top);

// At column `x` of the graph: each shown series' value there, how long ago that point was
// taken (one point per `stepMs`), and the current top. Empty where no point is drawn.
QString GraphTipAt(const CHistogramCtrl &graph, const CGraphFeeder &feeder, int x, int stepMs);
