#include "CHistogramModel.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

// Qt's widget size limit; keeps ValueToY's product well inside 64 bits.
constexpr int kMaxClientExtent = 1 << 24;
// A visible minimum this far from the stored one forces a new range.
constexpr std::int64_t kMinimumTolerance = 200;
constexpr std::int32_t kAutoMinimum = 0;
constexpr std::int32_t kAutoMaximum = 10;

} // namespace

std::int32_t CHistogramModel::ClampToInt32(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

CHistogramModel::CHistogramModel()
{
    // Several values per step are usual; reserving keeps the steps free of allocations.
    for (auto &pending : m_aPending)
        pending.reserve(16);
}

int CHistogramModel::SetEnabled(int index, int enabled)
{
    if (!IsValidIndex(index))
        return 0;
    m_anEnabled[static_cast<std::size_t>(index)] = enabled != 0 ? 1 : 0;
    return 1;
}

int CHistogramModel::IsEnabled(int index) const
{
    return IsValidIndex(index) ? m_anEnabled[static_cast<std::size_t>(index)] : 0;
}

int CHistogramModel::AddValue(int index, std::int32_t value)
{
    if (!IsEnabled(index))
        return 0;
    if (!m_bAutoRange && (value < m_nMinimum || value > m_nMaximum))
        return 0;
    m_aPending[static_cast<std::size_t>(index)].push_back(value);
    return 1;
}

int CHistogramModel::TakeAverage(int index, std::int32_t &average)
{
    if (!IsValidIndex(index))
        return 0;
    auto &pending = m_aPending[static_cast<std::size_t>(index)];
    const std::int32_t last = pending.empty() ? 0 : pending.back();
    std::int64_t sum = 0;
    for (const std::int32_t value : pending)
        sum += value;
    const auto count = static_cast<std::int64_t>(pending.size());
    // The newest value is counted again in the next step, so a quiet step repeats it.
    pending.clear();
    pending.push_back(last);
    // Integer division truncates toward zero; the mean of int32 values fits an int32.
    average = count > 0 ? static_cast<std::int32_t>(sum / count) : 0;
    return 1;
}

int CHistogramModel::StepSeries(int index, std::int32_t &average)
{
    if (!IsEnabled(index))
        return 0;
    TakeAverage(index, average);
    m_aHistory[static_cast<std::size_t>(index)].Append(average);
    return 1;
}

CHistogramModel::StepPoints CHistogramModel::Step()
{
    StepPoints points;
    for (int i = 0; i < kSeriesCount; ++i) {
        if (!IsEnabled(i))
            continue;
        SeriesStep &step = points[static_cast<std::size_t>(i)];
        const CValueHistory &history = m_aHistory[static_cast<std::size_t>(i)];
        if (!history.Empty())
            step.previous = history.Newest();
        StepSeries(i, step.point);
    }
    return points;
}

int CHistogramModel::ClearHistory(int index)
{
    if (index >= kSeriesCount)
        return 0;
    if (index >= 0) {
        m_aHistory[static_cast<std::size_t>(index)].Clear();
        return 1;
    }
    for (auto &history : m_aHistory)
        history.Clear();
    return 1;
}

const CValueHistory &CHistogramModel::GetHistory(int index) const
{
    static const CValueHistory empty;
    return IsValidIndex(index) ? m_aHistory[static_cast<std::size_t>(index)] : empty;
}

int CHistogramModel::SetRange(std::int32_t minimum, std::int32_t maximum)
{
    m_bAutoRange = maximum <= minimum;
    m_nMinimum = m_bAutoRange ? kAutoMinimum : minimum;
    m_nMaximum = m_bAutoRange ? kAutoMaximum : maximum;
    return 1;
}

int CHistogramModel::UpdateAutoRange()
{
    if (!m_bAutoRange)
        return 0;
    std::int64_t lo = kAutoMinimum;
    std::int64_t hi = kAutoMaximum;
    ScanVisible(lo, hi);
    // Compared with hi itself, not with the headroom added below, so this holds at nearly
    // every step; the caller redraws each time.
    if (std::abs(m_nMinimum - lo) <= kMinimumTolerance && m_nMaximum == hi)
        return 0;
    // hi + hi / 10 overflows 32 bits above about 1.95e9; the clamp keeps maximum > 0 >= lo.
    m_nMinimum = ClampToInt32(lo);
    m_nMaximum = ClampToInt32(hi + hi / 10);
    return 1;
}

std::int64_t CHistogramModel::ValueToY(std::int32_t value) const
{
    const std::int64_t span = std::int64_t{m_nMaximum} - m_nMinimum;
    return m_nHeight - (std::int64_t{value} - m_nMinimum) * m_nHeight / span;
}

int CHistogramModel::SetGridSize(int xStep, int yStep)
{
    if (xStep < kMinGridStep || yStep < kMinGridStep)
        return 0;
    m_nXStep = xStep;
    m_nYStep = yStep;
    return 1;
}

void CHistogramModel::SetClientSize(int width, int height)
{
    m_nWidth = std::clamp(width, 0, kMaxClientExtent);
    m_nHeight = std::clamp(height, 0, kMaxClientExtent);
}

void CHistogramModel::ScanVisible(std::int64_t &lo, std::int64_t &hi) const
{
    // The k-th newest value is visible while k * kStepPixels < width.
    const auto visible = static_cast<std::size_t>((m_nWidth + kStepPixels - 1) / kStepPixels);
    for (const CValueHistory &history : m_aHistory) {
        const std::size_t count = std::min(visible, history.Size());
        for (std::size_t k = 0; k < count; ++k) {
            const std::int32_t value = history.Newest(k);
            if (value < lo)
                lo = value;
            else if (value > hi)
                hi = value;
        }
    }
}
