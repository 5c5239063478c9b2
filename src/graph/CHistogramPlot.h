#pragma once
// The graph's back buffer and everything drawn into it: background, grid and series lines.
// A full redraw after configuration, size and range changes; otherwise one step at a time,
// which scrolls the buffer two pixels left and redraws only its right end, so that the
// picture is always the one a full redraw would give. No text: the widget writes that over
// the copy it paints. User-interface thread only.

#include "CHistogramModel.h"
#include "ColorRef.h"
#include "PixelRaster.h"

#include <QImage>
#include <QPoint>

#include <array>
#include <cstdint>

class CHistogramPlot {
public:
    // Each value takes this many pixels of width.
    static constexpr int kStepPixels = 2;

    void SetBackColor(ColorRef color);
    void SetGridVisible(int horizontal, int vertical);
    void SetGridColors(ColorRef horizontal, ColorRef vertical);
    void SetSeriesPen(int index, ColorRef color, int width);

    // Rebuilds the buffer at the model's client size; 0 when the client area is empty or
    // the surface cannot be made, which leaves no plot until a later redraw succeeds.
    int Redraw(const CHistogramModel &model, qreal pixelRatio);
    // Draws one step the model has taken: scrolls the plot and draws what changed at its
    // right end, each series from its previous to its new point and as far left as its pen
    // reaches. Reads the model only; without a surface nothing is drawn.
    void DrawStep(const CHistogramModel &model, const CHistogramModel::StepPoints &points);

    const QImage &Image() const { return m_raster.Image(); }
    QRgb GetBackColor() const { return m_rgbBack; }

private:
    struct SeriesPen {
        QRgb color = RgbOf(0);
        int width = 3;
    };

    // points: the step being drawn, or null for a redraw.
    void Draw(const CHistogramModel &model, std::int64_t left, const CHistogramModel::StepPoints *points);
    void DrawVerticalGrid(std::int64_t fromX, int width, int xStep);
    void DrawHistory(const CHistogramModel &model, int index, std::int64_t left,
                     const CHistogramModel::SeriesStep *step);
    void DrawSegment(const SeriesPen &pen, QPoint from, QPoint to);
    int WidestPen(const CHistogramModel &model) const;
    void AdvancePhase(int xStep);

    PixelRaster m_raster;
    QRgb m_rgbBack = RgbOf(0);
    QRgb m_rgbGridH = RgbOf(0x0000BF);
    QRgb m_rgbGridV = RgbOf(0x7F00BF);
    bool m_bGridH = true;
    bool m_bGridV = true;
    std::array<SeriesPen, CHistogramModel::kSeriesCount> m_aPens{};
    int m_nPhase = 0; // the vertical grid lines stand at -phase + j * x step
};
