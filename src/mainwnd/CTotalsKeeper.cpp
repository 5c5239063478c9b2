#include "CTotalsKeeper.h"

#include "CSetSystem.h"
#include "CTrafficTotals.h"
#include "CTrayPresence.h"
#include "IniPath.h"
#include "SuspendWatch.h"
#include "ValueText.h"

#include <QGuiApplication>
#include <QTimerEvent>

#include <ctime>
#include <utility>

namespace {

constexpr int kCountInterval = 1000;      // ms
constexpr int kCommitInterval = 300000;   // ms: a kill loses at most five minutes
constexpr std::uint64_t kMebibyte = 1u << 20;

std::int64_t Now()
{
    return static_cast<std::int64_t>(std::time(nullptr));
}

const CSetExtra &Extra()
{
    return theSetSystem.m_Extra;
}

// Totals are bytes even where rates are shown in bits.
QString Bytes(std::uint64_t bytes)
{
    ValueTextOptions options = ValueTextOptionsOf(Extra());
    options.bits = false;
    return QString::fromStdString(FormatByteCount(bytes, options));
}

QString Arrows(const TrafficCount &count)
{
    return QString::fromUtf8("↓ %1 ↑ %2").arg(Bytes(count.received), Bytes(count.sent));
}

} // namespace

CTotalsKeeper::CTotalsKeeper(CTrayPresence &tray, QObject *parent)
    : QObject(parent),
      m_tray(tray),
      m_pTotals(std::make_unique<CTrafficTotals>()),
      m_pReader(std::make_unique<plat::COctetReader>()),
      m_pSummary(std::make_unique<TotalsSummary>())
{
    m_pTotals->Open(GetIniPath(), Now());
    Tick();
    m_countTimer.start(kCountInterval, this);
    m_commitTimer.start(kCommitInterval, this);
    // At logout the session may end the process without another word.
    connect(qApp, &QGuiApplication::commitDataRequest, this, &CTotalsKeeper::CountAndCommit);
    connect(new SuspendWatch(this), &SuspendWatch::suspending, this, &CTotalsKeeper::CountAndCommit);
}

CTotalsKeeper::~CTotalsKeeper()
{
    CountAndCommit();
    plat::CloseRouteWatch(m_pRouteWatch);
}

void CTotalsKeeper::Follow(CTotalsKeeper *&keeper, CTrayPresence &tray, QObject *parent)
{
    const bool on = theSetSystem.m_Extra.GetTotals() != 0;
    if (on && !keeper) {
        keeper = new CTotalsKeeper(tray, parent);
    } else if (on) {
        keeper->ForgetInterfaces();
    } else if (keeper) {
        delete std::exchange(keeper, nullptr);
        tray.SetTooltipLine(QString());
    }
}

void CTotalsKeeper::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_countTimer.timerId())
        Tick();
    else if (event->timerId() == m_commitTimer.timerId())
        CountAndCommit();
    else
        QObject::timerEvent(event);
}

void CTotalsKeeper::Tick()
{
    Count();
    Show();
}

void CTotalsKeeper::CountAndCommit()
{
    Count();
    m_pTotals->Commit(Now());
}

void CTotalsKeeper::Count()
{
    std::vector<std::string> names;
    CountedNames(names);
    m_readings.clear();
    // No interface to count reads nothing (an empty list would read them all); a failed read
    // leaves the cycle out, and the next reading's deltas cover it.
    if (names.empty() || m_pReader->Read(names, m_readings))
        m_pTotals->Count(m_readings, Now());
}

void CTotalsKeeper::Show()
{
    if (!m_pTotals->Summarize(Extra().GetCapDay(), Now(), *m_pSummary))
        return;
    WarnOfCap();
    m_tray.SetTooltipLine(Extra().GetTrayTip() ? QString::fromUtf8("今日: ") + Arrows(m_pSummary->todayAll)
                                                : QString());
}

void CTotalsKeeper::CountedNames(std::vector<std::string> &names)
{
    const int source = Extra().GetSource();
    if (source == CSetExtra::kSourceNamed) {
        const std::string name = theSetSystem.m_CntBase.GetInsName();
        if (!name.empty())
            names.push_back(name);
        return;
    }
    if (!std::exchange(m_bRouteWatchOpened, true))
        m_pRouteWatch = plat::OpenRouteWatch();
    if (plat::TakeRouteChanges(m_pRouteWatch) || !m_bNamesKnown) {
        m_names.clear();
        std::string route;
        if (source == CSetExtra::kSourcePhysicalSum)
            plat::GetPhysicalInterfaces(m_names);
        else if (plat::GetDefaultRouteInterface(route))
            m_names.push_back(route);
        m_bNamesKnown = true;
    }
    names = m_names;
}

// Given once per level and billing month, and only while the icon can show it: a warning
// taken is recorded at once.
void CTotalsKeeper::WarnOfCap()
{
    const int capMib = Extra().GetCapMib();
    if (capMib <= 0 || !m_tray.CanShowMessage())
        return;
    const int level = m_pTotals->TakeCapWarning(*m_pSummary, capMib);
    if (level == 0)
        return;
    const QString used = Bytes(m_pSummary->monthAll.Total()) + QStringLiteral(" / ")
                         + Bytes(static_cast<std::uint64_t>(capMib) * kMebibyte);
    m_tray.ShowMessage(level >= 100 ? QString::fromUtf8("今月の通信量が上限に達しました (%1)。").arg(used)
                                    : QString::fromUtf8("今月の通信量が上限の 80% に達しました (%1)。").arg(used));
}

QString CTotalsKeeper::MenuLine() const
{
    return QString::fromUtf8("今日: ") + Arrows(m_pSummary->todayAll) + QString::fromUtf8(" / 今月: ")
           + Arrows(m_pSummary->monthAll);
}
