#pragma once
// The graph's back buffer and everything drawn into it: background, grid and series lines.
// A full redraw after configuration, size and range changes; otherwise one step at a time,
// which scrolls the buffer two pixels left and draws only the new strip. No text: the
// widget writes that over the copy it paints. User-interface thread only.

#include "CHistogramModel.h"
#include "ColorRef.h"
#include "PixelRaster.h"

#include <QImage>
#include <QLine>
#include <QList>

#include <array>
#include <cstdint>

class QPainter;

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
    // One step: scrolls the plot, draws the strip's grid, and moves each enabled series of
    // the model on by one value with its new segment. Without a surface only the data moves.
    void Step(CHistogramModel &model);

    const QImage &Image() const { return m_imgBuffer; }
    QRgb GetBackColor() const { return m_rgbBack; }

private:
    struct SeriesPen {
        QRgb color = RgbOf(0);
        int width = 3;
    };

    int PrepareSurface(int width, int height, qreal pixelRatio);
    void DrawHorizontalGrid(int left, int width, int height, int yStep);
    void DrawVerticalGrid(int fromX, int width, int height, int xStep);
    void DrawHistory(QPainter &painter, const CHistogramModel &model, int index);
    void DrawSegment(QPainter &painter, int index, QPoint from, QPoint to);
    void PreparePainter(QPainter &painter, const SeriesPen &pen);
    void AdvancePhase(int xStep);

    QImage m_imgBuffer;
    QRgb m_rgbBack = RgbOf(0);
    QRgb m_rgbGridH = RgbOf(0x0000BF);
    QRgb m_rgbGridV = RgbOf(0x7F00BF);
    bool m_bGridH = true;
    bool m_bGridV = true;
    std::array<SeriesPen, CHistogramModel::kSeriesCount> m_aPens{};
    int m_nPhase = 0;      // the vertical grid lines stand at -phase + j * x step
    QList<QLine> m_aLines; // reused, so redraws do not allocate
};
