// Local days and billing months from instants, in time zones with daylight saving. The zones
// are POSIX rules (Berlin's and New York's), so no time-zone database is needed.

#include "BillingMonth.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

constexpr const char *kBerlin = "CET-1CEST,M3.5.0,M10.5.0/3";
constexpr const char *kNewYork = "EST5EDT,M3.2.0,M11.1.0";

struct Case {
    const char *zone;
    std::int64_t instant;
    int capDay;
    const char *today, *start, *next;
};

} // namespace

TEST(BillingMonth, LocalDayAndBillingMonthOfInstants)
{
    const Case cases[] = {
        {kBerlin, 1711841400, 1, "2024-03-31", "2024-03-01", "2024-04-01"},    // 00:30 on the 23-hour day
        {kBerlin, 1711922399, 31, "2024-03-31", "2024-03-01", "2024-04-01"},   // its last second; 31: default
        {kBerlin, 1711922400, 1, "2024-04-01", "2024-04-01", "2024-05-01"},    // midnight after it
        {kBerlin, 1729979999, 27, "2024-10-26", "2024-09-27", "2024-10-27"},   // before the 25-hour day
        {kBerlin, 1730069999, 27, "2024-10-27", "2024-10-27", "2024-11-27"},   // its last second
        {kNewYork, 1710046799, 10, "2024-03-09", "2024-02-10", "2024-03-10"},  // before the 23-hour day
        {kNewYork, 1710046800, 10, "2024-03-10", "2024-03-10", "2024-04-10"},  // its midnight
        {kNewYork, 1730696399, 3, "2024-11-03", "2024-11-03", "2024-12-03"},   // last second of the 25-hour day
        {kNewYork, 1735705800, 15, "2024-12-31", "2024-12-15", "2025-01-15"},  // year end
        {kNewYork, 1735707600, 1, "2025-01-01", "2025-01-01", "2025-02-01"},   // new year
        {kNewYork, 1735707600, 28, "2025-01-01", "2024-12-28", "2025-01-28"},  // back over the year end
        {kBerlin, 1709208000, 28, "2024-02-29", "2024-02-28", "2024-03-28"},   // leap day
        {kBerlin, 1709208000, 29, "2024-02-29", "2024-02-01", "2024-03-01"},   // 29: default
    };
    for (const Case &c : cases) {
        ::setenv("TZ", c.zone, 1);
        ::tzset();
        LocalDate today;
        ASSERT_TRUE(LocalDateOf(c.instant, today));
        const BillingMonth month = BillingMonthOf(today, c.capDay);
        EXPECT_EQ(DateText(today) + " " + DateText(month.start) + " " + DateText(month.next),
                  std::string(c.today) + " " + c.start + " " + c.next)
            << c.zone << " " << c.instant << " CAP_DAY " << c.capDay;
    }
    ::unsetenv("TZ");
    ::tzset();
}
