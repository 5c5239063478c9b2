#include "CHistogramModel.h"
#include "HistoryFeed.h"

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

    // Appends exactly these values to the history.
    void Push(int index, const std::vector<std::int32_t> &values)
    {
        for (const std::int32_t value : values) {
            ASSERT_EQ(m_model.AddValue(index, static_cast<std::int32_t>(m_feed.For(index, value))), 1);
            ASSERT_EQ(Step(index), value);
        }
    }

    // Leaves the range fitted to a value no longer shown, as after any earlier traffic.
    void MoveRangeAway()
    {
        m_model.SetEnabled(9, 1);
        Push(9, {500});
        ASSERT_EQ(m_model.UpdateAutoRange(), 1);
        m_model.ClearHistory(9);
        m_model.SetEnabled(9, 0);
    }

    CHistogramModel m_model;
    HistoryFeed m_feed;
};

TEST_F(CHistogramModelTest, StepAveragesPendingValuesAndCarriesTheLastOne)
{
    EXPECT_EQ(Step(), 0); // nothing received: 0, and 0 is carried
    m_model.AddValue(0, 30);
    EXPECT_EQ(Step(), 15);
    m_model.AddValue(0, 10);
    m_model.AddValue(0, 20);
    EXPECT_EQ(Step(), 20); // {30, 10, 20}
    m_model.AddValue(0, 40);
    EXPECT_EQ(Step(), 30); // {20, 40}
    EXPECT_EQ(Step(), 40); // a quiet step repeats the carried value
    EXPECT_EQ(m_model.GetHistory(0).Size(), 5u);
    EXPECT_EQ(m_model.GetHistory(0).Newest(4), 0);
}

TEST_F(CHistogramModelTest, AveragesTruncateTowardZeroWithoutOverflow)
{
    struct Case {
        std::vector<std::int32_t> values;
        std::int32_t average;
    } const cases[] = {
        {{1, 2}, 1}, {{-1, -2}, -1}, {{-7, 0, 0}, -2}, {{kMax, kMax, kMax}, kMax}, {{kMin, kMin}, kMin},
        {{kMax, kMin}, 0}, {{kMin, kMin, kMax}, -715827883}, // (-2^32 + 2^31 - 1) / 3
    };
    for (const Case &c : cases) {
        CHistogramModel model;
        model.SetEnabled(0, 1);
        for (const std::int32_t value : c.values)
            model.AddValue(0, value);
        std::int32_t average = 0;
        ASSERT_EQ(model.TakeAverage(0, average), 1);
        EXPECT_EQ(average, c.average) << "first value " << c.values.front();
        model.TakeAverage(0, average); // only the newest value remains
        EXPECT_EQ(average, c.values.back());
    }
}

TEST_F(CHistogramModelTest, HistoryKeepsTheNewestThousandValues)
{
    for (std::int32_t s = 1; s <= 1001; ++s) { // 2s at step s gives 2, 3, 5, 7, …, 2001
        m_model.AddValue(0, 2 * s);
        Step();
    }
    const CValueHistory &history = m_model.GetHistory(0);
    ASSERT_EQ(history.Size(), 1000u);
    EXPECT_EQ(history.Newest(0), 2001);
    EXPECT_EQ(history.Newest(999), 3); // the first step's 2 has gone
}

TEST_F(CHistogramModelTest, StepReturnsEachSeriesPreviousAndNewPoint)
{
    m_model.SetEnabled(1, 1);
    Push(1, {7});
    m_model.AddValue(0, 4);
    m_model.AddValue(1, 9); // averaged with the carried 7
    const CHistogramModel::StepPoints points = m_model.Step();
    EXPECT_FALSE(points[0].previous.has_value()); // the first point of series 0
    EXPECT_EQ(points[0].point, 4);
    EXPECT_EQ(points[1].previous, 7);
    EXPECT_EQ(points[1].point, 8);
    EXPECT_EQ(m_model.GetHistory(1).Newest(), 8);
    EXPECT_TRUE(m_model.GetHistory(2).Empty()); // disabled: not stepped
    EXPECT_FALSE(points[2].previous.has_value());
}

TEST_F(CHistogramModelTest, RefusalsChangeNothing)
{
    Push(0, {8});
    m_model.SetEnabled(0, 0);
    std::int32_t average = 0;
    EXPECT_EQ(m_model.AddValue(0, 5), 0);
    EXPECT_EQ(m_model.StepSeries(0, average), 0);
    for (const int index : {-1, 10}) {
        EXPECT_EQ(m_model.SetEnabled(index, 1), 0);
        EXPECT_EQ(m_model.AddValue(index, 1), 0);
        EXPECT_EQ(m_model.TakeAverage(index, average), 0);
    }
    EXPECT_EQ(m_model.ClearHistory(10), 0);
    for (const auto &[x, y] : {std::pair{3, 20}, std::pair{20, 3}, std::pair{1, 1}}) {
        EXPECT_EQ(m_model.SetGridSize(x, y), 0);
        EXPECT_EQ(m_model.GetXStep(), 20);
        EXPECT_EQ(m_model.GetYStep(), 20);
    }
    EXPECT_EQ(m_model.SetGridSize(4, 30), 1);
    EXPECT_EQ(m_model.GetXStep(), 4);
    m_model.SetEnabled(0, 1); // the series continues from what it kept
    EXPECT_EQ(m_model.GetHistory(0).Size(), 1u);
    EXPECT_EQ(Step(), 8);
}

TEST_F(CHistogramModelTest, ClearHistoryKeepsPendingValues)
{
    m_model.SetEnabled(3, 1);
    Push(0, {40});
    Push(3, {7});
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
    EXPECT_EQ(m_model.AddValue(0, 101), 0);
    EXPECT_EQ(m_model.AddValue(0, -1), 0);
    EXPECT_EQ(m_model.AddValue(0, 100), 1);
    EXPECT_EQ(m_model.AddValue(0, 0), 1);
    EXPECT_EQ(Step(), 50); // the refused values were dropped
    EXPECT_EQ(m_model.UpdateAutoRange(), 0);
    // max <= min returns to the automatic range [0, 10], where no value is too large.
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
    std::vector<std::int32_t> beyondWindow(60, 5);
    beyondWindow[9] = 5000; // the 51st newest of 60: just outside 100 / 2 values
    std::vector<std::int32_t> lastVisible(60, 5);
    lastVisible[10] = 5000; // the 50th newest
    struct Case {
        const char *name;
        std::vector<std::int32_t> series0, series5; // oldest first; series 5 ends disabled
        std::int32_t minimum, maximum;
    } const cases[] = {
        {"zero to ten", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {}, 0, 11},
        {"large maximum", {3, 1234, 8}, {}, 0, 1357},
        {"negative value", {4, -5, 2}, {}, -5, 11},
        {"disabled series", {1}, {-300, 20}, -300, 22},
        {"beyond the window", beyondWindow, {}, 0, 11},
        {"last visible value", lastVisible, {}, 0, 5500},
    };
    for (const Case &c : cases) {
        m_model = CHistogramModel();
        m_feed = HistoryFeed();
        m_model.SetClientSize(100, 100);
        MoveRangeAway();
        m_model.SetEnabled(0, 1);
        m_model.SetEnabled(5, 1);
        Push(0, c.series0);
        Push(5, c.series5);
        m_model.SetEnabled(5, 0);
        EXPECT_EQ(m_model.UpdateAutoRange(), 1) << c.name;
        EXPECT_EQ(m_model.GetMinimum(), c.minimum) << c.name;
        EXPECT_EQ(m_model.GetMaximum(), c.maximum) << c.name;
    }
}

TEST_F(CHistogramModelTest, AutomaticRangeChangesOnlyPastItsThresholds)
{
    Push(0, {0, 10});
    EXPECT_EQ(m_model.UpdateAutoRange(), 0); // the initial [0, 10] already fits
    MoveRangeAway();
    ASSERT_EQ(m_model.UpdateAutoRange(), 1);
    EXPECT_EQ(m_model.UpdateAutoRange(), 1); // maximum 11 is compared with hi = 10 itself
    EXPECT_EQ(m_model.GetMaximum(), 11);
    Push(0, {11}); // hi now equals the maximum
    EXPECT_EQ(m_model.UpdateAutoRange(), 0);
    Push(0, {-5}); // within 200 of the minimum: kept until the maximum moves
    EXPECT_EQ(m_model.UpdateAutoRange(), 0);
    Push(0, {20});
    ASSERT_EQ(m_model.UpdateAutoRange(), 1);
    EXPECT_EQ(m_model.GetMinimum(), -5);
    EXPECT_EQ(m_model.GetMaximum(), 22);
    Push(0, {-205, 22});
    EXPECT_EQ(m_model.UpdateAutoRange(), 0);
    Push(0, {-206});
    EXPECT_EQ(m_model.UpdateAutoRange(), 1);
    EXPECT_EQ(m_model.GetMinimum(), -206);
}

TEST_F(CHistogramModelTest, ValueToYMapsTheRangeOntoTheClientHeight)
{
    struct Case {
        std::int32_t minimum, maximum, value;
        std::int64_t y;
    } const cases[] = {
        {0, 110, 55, 50}, {0, 110, 0, 100}, {0, 110, 110, 0}, {0, 110, 1, 100}, {-110, 0, -55, 50},
        {kMin, kMax, kMin, 100}, {kMin, kMax, kMax, 0}, {kMin, kMax, 0, 50}, {0, kMax, kMax, 0},
    };
    for (const Case &c : cases) {
        m_model.SetRange(c.minimum, c.maximum);
        EXPECT_EQ(m_model.ValueToY(c.value), c.y) << c.minimum << ".." << c.maximum << ": " << c.value;
    }
    m_model.SetRange(0, 11); // far outside a small range, without wrapping
    EXPECT_GT(m_model.ValueToY(kMin), 100);
    EXPECT_LT(m_model.ValueToY(kMax), 0);
}

TEST_F(CHistogramModelTest, AutomaticRangeStopsAtTheIntegerLimits)
{
    Push(0, {kMax});
    ASSERT_EQ(m_model.UpdateAutoRange(), 1);
    EXPECT_EQ(m_model.GetMinimum(), 0);
    EXPECT_EQ(m_model.GetMaximum(), kMax); // hi + hi / 10 does not fit 32 bits
    EXPECT_EQ(m_model.UpdateAutoRange(), 0); // and settles there
    m_model.AddValue(0, kMin);
    Step(); // {kMax, kMin}
    EXPECT_EQ(Step(), kMin);
    ASSERT_EQ(m_model.UpdateAutoRange(), 1);
    EXPECT_EQ(m_model.GetMinimum(), kMin);
    EXPECT_EQ(m_model.GetMaximum(), kMax);
}

} // namespace
