#pragma once
// Calendar days in the user's local time: the unit in which traffic totals are kept, so a
// day is midnight to midnight however long it is (23 or 25 hours on daylight-saving days).

#include <compare>
#include <cstdint>
#include <string>

struct LocalDate {
    int year = 1970;
    int month = 1; // 1..12
    int day = 1;   // 1..31

    friend auto operator<=>(const LocalDate &, const LocalDate &) = default;
};

// "2024-03-31": sorts as the dates do, so the database compares days as text.
std::string DateText(const LocalDate &date);

// The local date of the instant `unixSeconds` in the process's time zone. Non-zero on success.
int LocalDateOf(std::int64_t unixSeconds, LocalDate &date);
