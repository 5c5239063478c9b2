#pragma once
// The billing month: the run of local days from CAP_DAY of one month up to, not including,
// CAP_DAY of the next. Days 29 to 31 are refused, as not every month has them.

#include "LocalDate.h"

struct BillingMonth {
    LocalDate start; // its first day
    LocalDate next;  // the first day of the following billing month
};

inline constexpr int kDefaultCapDay = 1;

// `capDay` when it is 1..28, else the default.
int ValidCapDay(int capDay);

// The billing month that contains `day`.
BillingMonth BillingMonthOf(const LocalDate &day, int capDay);
