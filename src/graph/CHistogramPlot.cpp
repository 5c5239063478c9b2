#include "CHistogramPlot.h"

#include <algorithm>
#include <limits>

namespace {

// Rows further off than this are pulled in before drawing. A segment spans only two pixels
// of width, so the bend this causes stays far below a pixel inside the plot.
constexpr std::int64_t kFarRows = 16;

int Row(const CHistogramModel &model, std::int32_t value)
{
    const std::int64_t reach = kFarRows * (std::int64_t{model.GetClientHeight()} + 1);
    return static_cast<int>(std::clamp(model.ValueToY(value), -reach, model.GetClientHeight() + reach));
}

// Pens wider than this would only bury the plot; the cap keeps a hand-edited width of
// millions from costing seconds per redraw.
constexpr int kMaxPenWidth = 64;
// Redraws start from this logical column, left of anything that can be drawn.
constexpr std::int64_t kWholePlot = std::numeric_limits<int>::min();
// A width-1 grid line is drawn this far left of the part being drawn, so that the device
// pixels it covers there are drawn as well.
constexpr std::int64_t kGridReach = 4;

// Smallest j with j * step >= numerator (step > 0).
std::int64_t CeilDiv(std::int64_t numerator, std::int64_t step)
{
    const std::int64_t quotient = numerator / step;
    return quotient * step < numerator ? quotient + 1 : quotient;
}

} // namespace

void CHistogramPlot::SetBackColor(ColorRef color) { m_rgbBack = RgbOf(color); }

void CHistogramPlot::SetGridVisible(int horizontal, int vertical)
{
    m_bGridH = horizontal != 0;
    m_bGridV = vertical != 0;
}

void CHistogramPlot::SetGridColors(ColorRef horizontal, ColorRef vertical)
{
    m_rgbGridH = RgbOf(horizontal);
    m_rgbGridV = RgbOf(vertical);
}

void CHistogramPlot::SetSeriesPen(int index, ColorRef color, int width)
{
    if (index < 0 || index >= CHistogramModel::kSeriesCount)
        return;
    // A width of 0 or less still draws a one-pixel line, as Windows pens do.
    m_aPens[static_cast<std::size_t>(index)] = {RgbOf(color), std::clamp(width, 1, kMaxPenWidth)};
}

int CHistogramPlot::Redraw(const CHistogramModel &model, qreal pixelRatio)
{
    if (!m_raster.Resize(model.GetClientWidth(), model.GetClientHeight(), pixelRatio))
        return 0;
    Draw(model, kWholePlot, nullptr);
    return 1;
}

void CHistogramPlot::DrawStep(const CHistogramModel &model, const CHistogramModel::StepPoints &points)
{
    AdvancePhase(model.GetXStep());
    if (m_raster.IsNull())
        return;
    m_raster.ScrollLeft(kStepPixels);
    // The new segment starts at W - 4 and its pen reaches half its width further left.
    Draw(model, std::int64_t{model.GetClientWidth()} - 2 * kStepPixels - WidestPen(model), &points);
}

void CHistogramPlot::Draw(const CHistogramModel &model, std::int64_t left,
                          const CHistogramModel::StepPoints *points)
{
    m_raster.SetClipLeft(std::max<std::int64_t>(0, m_raster.DeviceX(left)));
    m_raster.Fill(m_rgbBack);
    if (m_bGridH) {
        for (std::int64_t y = 0; y < model.GetClientHeight(); y += model.GetYStep())
            m_raster.DrawRow(y, m_rgbGridH);
    }
    if (m_bGridV)
        DrawVerticalGrid(std::max<std::int64_t>(left - kGridReach, -m_nPhase), model.GetClientWidth(),
                         model.GetXStep());
    for (int i = 0; i < CHistogramModel::kSeriesCount; ++i) {
        if (model.IsEnabled(i))
            DrawHistory(model, i, left, points ? &(*points)[static_cast<std::size_t>(i)] : nullptr);
    }
}

void CHistogramPlot::DrawVerticalGrid(std::int64_t fromX, int width, int xStep)
{
    // Start at the first line at or right of fromX instead of walking in from -phase.
    for (std::int64_t x = -m_nPhase + CeilDiv(fromX + m_nPhase, xStep) * xStep; x < width; x += xStep)
        m_raster.DrawColumn(x, m_rgbGridV);
}

void CHistogramPlot::DrawHistory(const CHistogramModel &model, int index, std::int64_t left,
                                 const CHistogramModel::SeriesStep *step)
{
    const bool stepped = step != nullptr;
    const CValueHistory &history = model.GetHistory(index);
    const SeriesPen &pen = m_aPens[static_cast<std::size_t>(index)];
    const int width = model.GetClientWidth();
    QPoint to(width - kStepPixels, stepped ? Row(model, step->point)
                                           : history.Empty() ? 0 : Row(model, history.Newest()));
    if (stepped && !step->previous) {
        DrawSegment(pen, to, to); // a series' first step: a line of zero length
        return;
    }
    // The k-th newest value sits at x = W - 2 - 2k. A redraw leaves out the segments that
    // start left of the plot; the steps keep what they have scrolled in.
    std::int64_t segments = history.Empty() ? 0 : static_cast<std::int64_t>(history.Size()) - 1;
    if (!stepped) {
        const std::int64_t fit = width < 2 * kStepPixels ? 0 : (width - 2 * kStepPixels) / kStepPixels + 1;
        segments = std::min(segments, fit);
    }
    // Only the segments that reach the part being drawn.
    const std::int64_t reach = std::int64_t{to.x()} + pen.width - left;
    segments = std::min<std::int64_t>(segments, reach < 0 ? 0 : reach / kStepPixels + 1);
    for (std::int64_t k = 0; k < segments; ++k) {
        // A step's newest segment runs from the previous point; older ones come from the history.
        const std::int32_t older = stepped && k == 0 ? *step->previous
                                                     : history.Newest(static_cast<std::size_t>(k) + 1);
        const QPoint from(to.x() - kStepPixels, Row(model, older));
        DrawSegment(pen, from, to);
        to = from;
    }
}

void CHistogramPlot::DrawSegment(const SeriesPen &pen, QPoint from, QPoint to)
{
    if (pen.width == 1)
        m_raster.DrawThinLine(from, to, pen.color);
    else
        m_raster.DrawWideLine(from, to, pen.width, pen.color);
}

int CHistogramPlot::WidestPen(const CHistogramModel &model) const
{
    int widest = 1;
    for (int i = 0; i < CHistogramModel::kSeriesCount; ++i) {
        if (model.IsEnabled(i))
            widest = std::max(widest, m_aPens[static_cast<std::size_t>(i)].width);
    }
    return widest;
}

void CHistogramPlot::AdvancePhase(int xStep)
{
    // A phase equal to the step stays; only a larger one wraps. The modulo gives the same
    // result as repeated subtraction after the step has shrunk.
    const std::int64_t phase = std::int64_t{m_nPhase} + kStepPixels;
    m_nPhase = static_cast<int>(phase > xStep ? (phase - 1) % xStep + 1 : phase);
}
