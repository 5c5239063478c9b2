#include "CHistogramPlot.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace {

// Rows further off than this are pulled in before drawing. A segment spans only two pixels
// of width, so the bend this causes stays far below a pixel inside the plot.
constexpr std::int64_t kFarRows = 16;

int Row(const CHistogramModel &model, std::int32_t value)
{
    const std::int64_t reach = kFarRows * (std::int64_t{model.GetClientHeight()} + 1);
    return static_cast<int>(std::clamp(model.ValueToY(value), -reach, model.GetClientHeight() + reach));
}

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
    m_aPens[static_cast<std::size_t>(index)] = {RgbOf(color), std::max(width, 1)};
}

int CHistogramPlot::Redraw(const CHistogramModel &model, qreal pixelRatio)
{
    const int width = model.GetClientWidth();
    const int height = model.GetClientHeight();
    if (!PrepareSurface(width, height, pixelRatio))
        return 0;
    m_imgBuffer.fill(m_rgbBack);
    if (m_bGridH)
        DrawHorizontalGrid(0, width, height, model.GetYStep());
    if (m_bGridV)
        DrawVerticalGrid(0, width, height, model.GetXStep());
    QPainter painter;
    for (int i = 0; i < CHistogramModel::kSeriesCount; ++i) {
        if (model.IsEnabled(i))
            DrawHistory(painter, model, i);
    }
    return 1;
}

void CHistogramPlot::Step(CHistogramModel &model)
{
    const int width = model.GetClientWidth();
    const int height = model.GetClientHeight();
    const bool drawing = !m_imgBuffer.isNull();
    const int strip = width - kStepPixels;
    if (drawing) {
        ScrollLeft(m_imgBuffer, kStepPixels);
        FillRect(m_imgBuffer, QRect(strip, 0, kStepPixels, height), m_rgbBack);
    }
    AdvancePhase(model.GetXStep());
    if (drawing && m_bGridH)
        DrawHorizontalGrid(strip, kStepPixels, height, model.GetYStep());
    if (drawing && m_bGridV)
        DrawVerticalGrid(strip, width, height, model.GetXStep());
    QPainter painter;
    for (int i = 0; i < CHistogramModel::kSeriesCount; ++i) {
        const CValueHistory &history = model.GetHistory(i);
        const bool hasPrevious = !history.Empty();
        const std::int32_t previous = hasPrevious ? history.Newest() : 0;
        std::int32_t value = 0;
        if (!model.StepSeries(i, value) || !drawing)
            continue;
        const QPoint to(width - kStepPixels, Row(model, value));
        const QPoint from = hasPrevious ? QPoint(width - 2 * kStepPixels, Row(model, previous)) : to;
        DrawSegment(painter, i, from, to);
    }
}

int CHistogramPlot::PrepareSurface(int width, int height, qreal pixelRatio)
{
    if (width < 1 || height < 1) {
        m_imgBuffer = QImage();
        return 0;
    }
    const int physicalWidth = static_cast<int>(std::ceil(width * pixelRatio));
    const int physicalHeight = static_cast<int>(std::ceil(height * pixelRatio));
    // Auto-ranging redraws at nearly every step: keep a surface that already fits.
    if (m_imgBuffer.width() != physicalWidth || m_imgBuffer.height() != physicalHeight) {
        m_imgBuffer = QImage(physicalWidth, physicalHeight, QImage::Format_RGB32);
        if (m_imgBuffer.isNull())
            return 0;
    }
    m_imgBuffer.setDevicePixelRatio(pixelRatio);
    return 1;
}

void CHistogramPlot::DrawHorizontalGrid(int left, int width, int height, int yStep)
{
    for (std::int64_t y = 0; y < height; y += yStep) {
        const int row = static_cast<int>(y);
        DrawThinLine(m_imgBuffer, QPoint(left, row), QPoint(left + width, row), m_rgbGridH);
    }
}

void CHistogramPlot::DrawVerticalGrid(int fromX, int width, int height, int xStep)
{
    // Start at the first line at or right of fromX instead of walking in from -phase.
    std::int64_t x = -m_nPhase + CeilDiv(std::int64_t{fromX} + m_nPhase, xStep) * xStep;
    for (; x < width; x += xStep) {
        const int column = static_cast<int>(x);
        DrawThinLine(m_imgBuffer, QPoint(column, 0), QPoint(column, height), m_rgbGridV);
    }
}

void CHistogramPlot::DrawHistory(QPainter &painter, const CHistogramModel &model, int index)
{
    const CValueHistory &history = model.GetHistory(index);
    const int width = model.GetClientWidth();
    if (history.Size() < 2 || width < 2 * kStepPixels)
        return;
    // The k-th newest value sits at x = W - 2 - 2k; the oldest segment starts at x >= 0.
    const auto fit = static_cast<std::size_t>((width - 2 * kStepPixels) / kStepPixels + 1);
    const std::size_t segments = std::min(history.Size() - 1, fit);
    const SeriesPen &pen = m_aPens[static_cast<std::size_t>(index)];
    if (pen.width == 1) {
        for (std::size_t k = 0; k < segments; ++k) {
            const int x = width - kStepPixels - kStepPixels * static_cast<int>(k);
            DrawThinLine(m_imgBuffer, QPoint(x - kStepPixels, Row(model, history.Newest(k + 1))),
                         QPoint(x, Row(model, history.Newest(k))), pen.color);
        }
        return;
    }
    // Separate round-capped segments in one call: Qt strokes these about three times faster
    // than a polyline with round joins, and they are what the step draws.
    m_aLines.resize(static_cast<qsizetype>(segments));
    QPoint to(width - kStepPixels, Row(model, history.Newest(0)));
    for (std::size_t k = 0; k < segments; ++k) {
        const QPoint from(to.x() - kStepPixels, Row(model, history.Newest(k + 1)));
        m_aLines[static_cast<qsizetype>(k)] = QLine(from, to);
        to = from;
    }
    PreparePainter(painter, pen);
    painter.drawLines(m_aLines);
}

void CHistogramPlot::DrawSegment(QPainter &painter, int index, QPoint from, QPoint to)
{
    const SeriesPen &pen = m_aPens[static_cast<std::size_t>(index)];
    if (pen.width == 1) {
        DrawThinLine(m_imgBuffer, from, to, pen.color);
        return;
    }
    PreparePainter(painter, pen);
    painter.drawLine(from, to);
}

void CHistogramPlot::PreparePainter(QPainter &painter, const SeriesPen &pen)
{
    if (!painter.isActive()) {
        painter.begin(&m_imgBuffer);
        painter.setRenderHint(QPainter::Antialiasing, false);
        // Wide pens are centred on the pixel centres, as on Windows; without this Qt's
        // aliased stroke leans half a pixel up and left and loses the end cap.
        painter.translate(0.5, 0.5);
    }
    painter.setPen(QPen(QColor(pen.color), pen.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void CHistogramPlot::AdvancePhase(int xStep)
{
    // A phase equal to the step stays; only a larger one wraps. The modulo gives the same
    // result as repeated subtraction after the step has shrunk.
    const std::int64_t phase = std::int64_t{m_nPhase} + kStepPixels;
    m_nPhase = static_cast<int>(phase > xStep ? (phase - 1) % xStep + 1 : phase);
}
