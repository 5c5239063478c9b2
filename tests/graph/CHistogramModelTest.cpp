#include "CHistogramModel.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

class CHistogramModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_model.SetClientSize(100, 100);
        m_model.SetEnabled(0, 1);
    }

    std::int32_t Step(int index = 0)
    {
        std::int32_t average = -12345;
        EXPECT_EQ(m_model.StepSeries(index, average), 1);
        return average;
    }

    // The pending set carries the previous value into the next step, so feeding
    // 2 * value - carried makes the next history value exactly `value`.
    void Push(int index, std::int32_t value)
    {
        const auto slot = static_cast<std::size_t>(index);
        const std::int64_t feed = m_started[slot] ? 2 * std::int64_t{value} - m_carried[slot] : value;
        ASSERT_GE(feed, kMin);
        ASSERT_LE(feed, kMax);
        ASSERT_EQ(m_model.AddValue(index, static_cast<std::int32_t>(feed)), 1);
        ASSERT_EQ(Step(index), value);
        m_carried[slot] = feed;
        m_started[slot] = true;
    }

    void PushAll(int index, const std::vector<std::int32_t> &values)
    {
        for (const std::int32_t value : values)
            Push(index, value);
    }

    // Leaves the range fitted to a value no longer shown, as after any earlier traffic.
    void MoveRangeAway()
    {
        std::int32_t average = 0;
        m_model.SetEnabled(9, 1);
        m_model.AddValue(9, 500);
        m_model.StepSeries(9, average);
        ASSERT_EQ(m_model.UpdateAutoRange(), 1);
        ASSERT_EQ(m_model.GetMaximum(), 550);
        m_model.ClearHistory(9);
        m_model.SetEnabled(9, 0);
    }

    CHistogramModel m_model;
    std::int64_t m_carried[CHistogramModel::kSeriesCount] = {};
    bool m_started[CHistogramModel::kSeriesCount] = {};
};

TEST_F(CHistogramModelTest, StepAveragesPendingValuesAndCarriesTheLastOne)
{
    // Nothing received yet: the step gives 0 and carries 0.
    EXPECT_EQ(Step(), 0);
    EXPECT_EQ(m_model.GetHistory(0).Newest(), 0);
    m_model.AddValue(0, 30);
    EXPECT_EQ(Step(), 15);

    m_model.AddValue(0, 10);
    m_model.AddValue(0, 20);
    EXPECT_EQ(Step(), 20); // {30, 10, 20}
    m_model.AddValue(0, 40);
    EXPECT_EQ(Step(), 30); // {20, 40}
    EXPECT_EQ(Step(), 40); // a quiet step repeats the carried value
    EXPECT_EQ(Step(), 40);
    EXPECT_EQ(m_model.GetHistory(0).Size(), 6u);
}

TEST_F(CHistogramModelTest, AveragesTruncateTowardZero)
{
    struct Case {
        std::vector<std::int32_t> values;
        std::int32_t average;
    };
    const Case cases[] = {
        {{1, 2}, 1}, {{-1, -2}, -1}, {{-7, 0, 0}, -2}, {{7, 0, 0}, 2},
        {{kMax, kMax, kMax}, kMax}, {{kMin, kMin}, kMin}, {{kMax, kMin}, 0}, {{kMin, kMin, kMax}, -715827883},
    };
    for (const Case &c : cases) {
        CHistogramModel model;
        model.SetEnabled(0, 1);
        for (const std::int32_t value : c.values)
            model.AddValue(0, value);
        std::int32_t average = 0;
        ASSERT_EQ(model.TakeAverage(0, average), 1);
        EXPECT_EQ(average, c.average) << "first value " << c.values.front();
        // Only the newest value remains for the next step.
        ASSERT_EQ(model.TakeAverage(0, average), 1);
        EXPECT_EQ(average, c.values.back());
    }
}

TEST_F(CHistogramModelTest, HistoryKeepsTheNewestThousandValues)
{
    // Feeding 2s at step s gives 2, 3, 5, 7, …: every step after the first is distinct.
    for (std::int32_t s = 1; s <= 1001; ++s) {
        m_model.AddValue(0, 2 * s);
        Step();
    }
    const CValueHistory &history = m_model.GetHistory(0);
    ASSERT_EQ(history.Size(), 1000u);
    EXPECT_EQ(history.Newest(0), 2001);
    EXPECT_EQ(history.Newest(1), 1999);
    EXPECT_EQ(history.Newest(999), 3); // the first step's 2 has gone
}

TEST_F(CHistogramModelTest, DisabledSeriesAndBadIndexesAreRefusedAndUntouched)
{
    m_model.AddValue(0, 8);
    Step();
    m_model.SetEnabled(0, 0);
    std::int32_t average = 0;
    EXPECT_EQ(m_model.AddValue(0, 5), 0);
    EXPECT_EQ(m_model.StepSeries(0, average), 0);
    EXPECT_EQ(m_model.GetHistory(0).Size(), 1u);
    for (const int index : {-1, 10}) {
        EXPECT_EQ(m_model.SetEnabled(index, 1), 0);
        EXPECT_EQ(m_model.AddValue(index, 1), 0);
        EXPECT_EQ(m_model.TakeAverage(index, average), 0);
        EXPECT_EQ(m_model.StepSeries(index, average), 0);
        EXPECT_TRUE(m_model.GetHistory(index).Empty());
    }
    // Re-enabled, the series continues from what it kept.
    m_model.SetEnabled(0, 1);
    EXPECT_EQ(Step(), 8);
}

TEST_F(CHistogramModelTest, ClearHistoryEmptiesHistoriesButKeepsPendingValues)
{
    m_model.SetEnabled(3, 1);
    Push(0, 40);
    Push(3, 7);
    EXPECT_EQ(m_model.ClearHistory(10), 0);
    EXPECT_EQ(m_model.GetHistory(0).Size(), 1u);

    EXPECT_EQ(m_model.ClearHistory(3), 1);
    EXPECT_TRUE(m_model.GetHistory(3).Empty());
    EXPECT_EQ(m_model.GetHistory(0).Size(), 1u);

    EXPECT_EQ(m_model.ClearHistory(-1), 1);
    EXPECT_TRUE(m_model.GetHistory(0).Empty());
    EXPECT_EQ(Step(0), 40);
    EXPECT_EQ(Step(3), 7);
}

TEST_F(CHistogramModelTest, FixedRangeRefusesValuesOutsideIt)
{
    m_model.SetRange(0, 100);
    EXPECT_EQ(m_model.IsAutoRange(), 0);
    EXPECT_EQ(m_model.AddValue(0, 101), 0);
    EXPECT_EQ(m_model.AddValue(0, -1), 0);
    EXPECT_EQ(m_model.AddValue(0, 100), 1);
    EXPECT_EQ(m_model.AddValue(0, 0), 1);
    EXPECT_EQ(Step(), 50); // the refused values were dropped
    EXPECT_EQ(m_model.UpdateAutoRange(), 0);
    EXPECT_EQ(m_model.GetMaximum(), 100);

    // max <= min returns to the automatic range, where no value is too large.
    for (const auto &[minimum, maximum] : {std::pair{5, 5}, std::pair{9, -3}}) {
        m_model.SetRange(minimum, maximum);
        EXPECT_EQ(m_model.IsAutoRange(), 1);
        EXPECT_EQ(m_model.GetMinimum(), 0);
        EXPECT_EQ(m_model.GetMaximum(), 10);
        EXPECT_EQ(m_model.AddValue(0, kMax), 1);
    }
}

TEST_F(CHistogramModelTest, AutomaticRangeFollowsTheVisibleValues)
{
    struct Case {
        const char *name;
        std::vector<std::int32_t> series0; // oldest first
        std::vector<std::int32_t> series5;
        std::int32_t minimum;
        std::int32_t maximum;
    };
    std::vector<std::int32_t> beyondWindow(60, 5);
    beyondWindow[9] = 5000; // the 51st newest of 60: just outside 100 / 2 values
    std::vector<std::int32_t> lastVisible(60, 5);
    lastVisible[10] = 5000; // the 50th newest
    const Case cases[] = {
        {"zero to ten", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {}, 0, 11},
        {"large maximum", {3, 1234, 8}, {}, 0, 1357},
        {"negative value", {4, -5, 2}, {}, -5, 11},
        {"other series", {1}, {-300, 20}, -300, 22},
        {"beyond the window", beyondWindow, {}, 0, 11},
        {"last visible value", lastVisible, {}, 0, 5500},
    };
    for (const Case &c : cases) {
        m_model = CHistogramModel();
        std::fill(std::begin(m_started), std::end(m_started), false);
        m_model.SetClientSize(100, 100);
        m_model.SetEnabled(0, 1);
        m_model.SetEnabled(5, 1);
        MoveRangeAway();
        PushAll(0, c.series0);
        PushAll(5, c.series5);
        m_model.SetEnabled(5, 0); // a disabled series' history still counts
        EXPECT_EQ(m_model.UpdateAutoRange(), 1) << c.name;
        EXPECT_EQ(m_model.GetMinimum(), c.minimum) << c.name;
        EXPECT_EQ(m_model.GetMaximum(), c.maximum) << c.name;
    }
}

TEST_F(CHistogramModelTest, AutomaticRangeChangesOnlyPastItsThresholds)
{
    // The initial [0, 10] already fits values up to 10: nothing to redraw.
    PushAll(0, {0, 10});
    EXPECT_EQ(m_model.UpdateAutoRange(), 0);
    EXPECT_EQ(m_model.GetMaximum(), 10);

    MoveRangeAway();
    ASSERT_EQ(m_model.UpdateAutoRange(), 1);
    // The stored maximum 11 is compared with hi = 10 itself: a new range at every tick.
    EXPECT_EQ(m_model.UpdateAutoRange(), 1);
    EXPECT_EQ(m_model.GetMaximum(), 11);

    Push(0, 11); // now hi equals the stored maximum
    EXPECT_EQ(m_model.UpdateAutoRange(), 0);
    EXPECT_EQ(m_model.GetMaximum(), 11);

    // A small negative value alone is within the tolerance of the minimum...
    Push(0, -5);
    EXPECT_EQ(m_model.UpdateAutoRange(), 0);
    EXPECT_EQ(m_model.GetMinimum(), 0);
    // ...and is taken along when the maximum moves.
    Push(0, 20);
    ASSERT_EQ(m_model.UpdateAutoRange(), 1);
    EXPECT_EQ(m_model.GetMinimum(), -5);
    EXPECT_EQ(m_model.GetMaximum(), 22);
    Push(0, -205); // 200 below the stored minimum: tolerated
    Push(0, 22);
    EXPECT_EQ(m_model.UpdateAutoRange(), 0);
    EXPECT_EQ(m_model.GetMinimum(), -5);
    Push(0, -206);
    EXPECT_EQ(m_model.UpdateAutoRange(), 1);
    EXPECT_EQ(m_model.GetMinimum(), -206);
    EXPECT_EQ(m_model.GetMaximum(), 24);
}

TEST_F(CHistogramModelTest, ValueToYMapsTheRangeOntoTheClientHeight)
{
    m_model.SetRange(0, 110);
    EXPECT_EQ(m_model.ValueToY(55), 50);
    EXPECT_EQ(m_model.ValueToY(0), 100);
    EXPECT_EQ(m_model.ValueToY(110), 0);
    EXPECT_EQ(m_model.ValueToY(1), 100); // 100 - trunc(100 / 110)
    m_model.SetRange(-110, 0);
    EXPECT_EQ(m_model.ValueToY(-55), 50);
    EXPECT_EQ(m_model.ValueToY(-109), 100);
}

TEST_F(CHistogramModelTest, ValuesAtTheIntegerLimitsStayInRange)
{
    m_model.AddValue(0, kMax);
    Step();
    ASSERT_EQ(m_model.UpdateAutoRange(), 1);
    EXPECT_EQ(m_model.GetMinimum(), 0);
    EXPECT_EQ(m_model.GetMaximum(), kMax); // hi + hi / 10 does not fit 32 bits
    EXPECT_EQ(m_model.ValueToY(kMax), 0);
    EXPECT_EQ(m_model.ValueToY(0), 100);
    EXPECT_EQ(m_model.UpdateAutoRange(), 0); // settled at the limit

    m_model.AddValue(0, kMin);
    m_model.AddValue(0, kMin);
    Step(); // {kMax, kMin, kMin}
    m_model.AddValue(0, kMin);
    Step();
    ASSERT_EQ(m_model.UpdateAutoRange(), 1);
    EXPECT_EQ(m_model.GetMinimum(), kMin);
    EXPECT_EQ(m_model.GetMaximum(), kMax);
    EXPECT_EQ(m_model.ValueToY(kMin), 100);
    EXPECT_EQ(m_model.ValueToY(kMax), 0);
    EXPECT_EQ(m_model.ValueToY(0), 50);

    // In a small range a far-off value maps far outside the client area, without wrapping.
    m_model.SetRange(0, 11);
    EXPECT_GT(m_model.ValueToY(kMin), 100);
    EXPECT_LT(m_model.ValueToY(kMax), 0);
    m_model.SetRange(kMin, kMax);
    EXPECT_EQ(m_model.ValueToY(kMin), 100);
    EXPECT_EQ(m_model.ValueToY(kMax), 0);
}

TEST_F(CHistogramModelTest, GridStepsBelowFourAreRefused)
{
    EXPECT_EQ(m_model.GetXStep(), 20);
    EXPECT_EQ(m_model.GetYStep(), 20);
    for (const auto &[x, y] : {std::pair{3, 20}, std::pair{20, 3}, std::pair{1, 1}, std::pair{-4, 8}}) {
        EXPECT_EQ(m_model.SetGridSize(x, y), 0);
        EXPECT_EQ(m_model.GetXStep(), 20);
        EXPECT_EQ(m_model.GetYStep(), 20);
    }
    EXPECT_EQ(m_model.SetGridSize(4, 30), 1);
    EXPECT_EQ(m_model.GetXStep(), 4);
    EXPECT_EQ(m_model.GetYStep(), 30);
}

} // namespace
