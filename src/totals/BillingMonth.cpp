#include "BillingMonth.h"

namespace {

LocalDate SameDayNextMonth(const LocalDate &date)
{
    return date.month == 12 ? LocalDate {date.year + 1, 1, date.day} : LocalDate {date.year, date.month + 1, date.day};
}

LocalDate SameDayPreviousMonth(const LocalDate &date)
{
    return date.month == 1 ? LocalDate {date.year - 1, 12, date.day} : LocalDate {date.year, date.month - 1, date.day};
}

} // namespace

int ValidCapDay(int capDay)
{
    return capDay >= 1 && capDay <= 28 ? capDay : kDefaultCapDay;
}

BillingMonth BillingMonthOf(const LocalDate &day, int capDay)
{
    const LocalDate thisMonths {day.year, day.month, ValidCapDay(capDay)};
    const LocalDate start = day.day >= thisMonths.day ? thisMonths : SameDayPreviousMonth(thisMonths);
    return {start, SameDayNextMonth(start)};
}
