#include "CTrafficTotals.h"

#include "CapWarning.h"
#include "TotalsFiles.h"

CTotalsStore::OpenResult CTrafficTotals::Open(const std::string &iniPath, std::int64_t now)
{
    m_strPath = DatabasePathFor(iniPath);
    m_bReadValid = false;
    return m_store.Open(m_strPath, now);
}

void CTrafficTotals::Count(const std::vector<plat::InterfaceOctets> &readings, std::int64_t now)
{
    // Without a date the cycle is left out; the next one's deltas cover it.
    LocalDate day;
    if (LocalDateOf(now, day))
        m_counter.AddReadings(readings, day);
}

int CTrafficTotals::Commit(std::int64_t now)
{
    if (m_counter.Pending().empty())
        return 1;
    const std::vector<DayCount> counts = m_counter.TakePending();
    // A database that fails is opened again, and set aside when it turns out damaged.
    const bool committed = (m_store.IsOpen() && m_store.Commit(counts))
                           || (!m_strPath.empty() && m_store.Open(m_strPath, now) != CTotalsStore::OpenResult::Failed
                               && m_store.Commit(counts));
    m_bReadValid = false;
    if (!committed)
        m_counter.RestorePending(counts);
    return committed ? 1 : 0;
}

int CTrafficTotals::Summarize(int capDay, std::int64_t now, TotalsSummary &summary)
{
    summary = TotalsSummary();
    if (!LocalDateOf(now, summary.today))
        return 0;
    summary.month = BillingMonthOf(summary.today, capDay);
    if (!m_bReadValid || m_readDay != summary.today || m_readMonth.start != summary.month.start) {
        m_bReadValid = m_store.ReadTotals(summary.today, summary.month, m_committed) != 0;
        m_readDay = summary.today;
        m_readMonth = summary.month;
    }
    if (m_bReadValid)
        summary.interfaces = m_committed;
    for (const auto &[key, count] : m_counter.Pending()) {
        if (count.day >= summary.month.start && count.day < summary.month.next)
            AddToTotals(count.identity, count.name, count.count, count.day == summary.today, summary.interfaces);
    }
    for (const InterfaceTotals &entry : summary.interfaces) {
        summary.todayAll.Add(entry.today);
        summary.monthAll.Add(entry.month);
    }
    return 1;
}

int CTrafficTotals::TakeCapWarning(const TotalsSummary &summary, int capMib)
{
    if (m_nWarnedLevel < 0 || m_warnedMonth != summary.month.start) {
        m_warnedMonth = summary.month.start;
        m_nWarnedLevel = 0;
        m_store.ReadCapWarning(m_warnedMonth, m_nWarnedLevel);
    }
    const int level = CapLevelOf(summary.monthAll.Total(), capMib);
    if (level <= m_nWarnedLevel)
        return 0;
    m_nWarnedLevel = level;
    m_store.RecordCapWarning(m_warnedMonth, level);
    return level;
}
