#include "TrafficCount.h"

#include <algorithm>

void AddToTotals(const std::string &identity, const std::string &name, const TrafficCount &count, bool isToday,
                 std::vector<InterfaceTotals> &totals)
{
    auto entry = std::find_if(totals.begin(), totals.end(),
                              [&identity](const InterfaceTotals &totalsOf) { return totalsOf.identity == identity; });
    if (entry == totals.end())
        entry = totals.insert(totals.end(), InterfaceTotals {identity, name, {}, {}});
    else if (!name.empty())
        entry->name = name;
    entry->month.Add(count);
    if (isToday)
        entry->today.Add(count);
}
