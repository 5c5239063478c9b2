#include "LocalDate.h"

#include "Platform.h"

#include <cstdio>

std::string DateText(const LocalDate &date)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

int LocalDateOf(std::int64_t unixSeconds, LocalDate &date)
{
    std::tm local {};
    if (!plat::LocalTimeOf(unixSeconds, local))
        return 0;
    date = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
    return 1;
}
