#pragma once
// The values behind the traffic graph: per series the enabled flag, the pending values and
// the history, plus the value range, the grid steps and the client size. Integer rules only,
// no drawing; CHistogramCtrl owns one. User-interface thread only.

#include "CValueHistory.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class CHistogramModel {
public:
    static constexpr int kSeriesCount = 10;
    static constexpr int kMinGridStep = 4;
    // Each value takes this many pixels of width: the graph scrolls by it at every step.
    static constexpr int kStepPixels = 2;

    // What one step did to a series: the point that was newest before it, if any, and the
    // point it appended. A disabled series does not step and keeps the defaults.
    struct SeriesStep {
        std::optional<std::int32_t> previous;
        std::int32_t point = 0;
    };
    using StepPoints = std::array<SeriesStep, kSeriesCount>;

    CHistogramModel();

    int SetEnabled(int index, int enabled);
    int IsEnabled(int index) const;

    // Queues a value for the next step; refused for a disabled series and, in a fixed
    // range, for a value outside it.
    int AddValue(int index, std::int32_t value);
    // Condenses the pending values into one point; the newest of them is carried over.
    int TakeAverage(int index, std::int32_t &average);
    // One step of an enabled series: TakeAverage, then the average joins the history.
    int StepSeries(int index, std::int32_t &average);
    // One step of every enabled series; the plot draws the step from what it returns.
    StepPoints Step();
    // index < 0: every series. Pending values stay.
    int ClearHistory(int index);
    // An empty history for an index out of range.
    const CValueHistory &GetHistory(int index) const;

    // maximum > minimum fixes the range; anything else returns to the automatic range.
    int SetRange(std::int32_t minimum, std::int32_t maximum);
    int IsAutoRange() const { return m_bAutoRange ? 1 : 0; }
    std::int32_t GetMinimum() const { return m_nMinimum; }
    std::int32_t GetMaximum() const { return m_nMaximum; }
    // Fits the automatic range to the visible values; non-zero when it changed, so the
    // plot has to be redrawn.
    int UpdateAutoRange();
    // Pixel row of a value: the minimum maps to the client height, the maximum to 0.
    std::int64_t ValueToY(std::int32_t value) const;

    int SetGridSize(int xStep, int yStep);
    int GetXStep() const { return m_nXStep; }
    int GetYStep() const { return m_nYStep; }

    void SetClientSize(int width, int height);
    int GetClientWidth() const { return m_nWidth; }
    int GetClientHeight() const { return m_nHeight; }

    static bool IsValidIndex(int index) { return index >= 0 && index < kSeriesCount; }
    // The values are 32-bit: a wider one is held at the nearest limit, so that it shows as
    // the top or bottom of the graph and never as its low bits.
    static std::int32_t ClampToInt32(std::int64_t value);

private:
    void ScanVisible(std::int64_t &lo, std::int64_t &hi) const;

    std::array<int, kSeriesCount> m_anEnabled{};
    std::array<std::vector<std::int32_t>, kSeriesCount> m_aPending;
    std::array<CValueHistory, kSeriesCount> m_aHistory;
    std::int32_t m_nMinimum = 0;
    std::int32_t m_nMaximum = 10;
    bool m_bAutoRange = true;
    int m_nXStep = 20;
    int m_nYStep = 20;
    int m_nWidth = 0;
    int m_nHeight = 0;
};
