#pragma once
// The traffic totals while the program runs (TOTALS=1; with TOTALS=0 none exists, so no
// database is made or read). Once a second, on its own timer on the user-interface thread,
// it reads the octet counters of the interfaces that SOURCE names and counts them: the
// counters are cumulative, so the totals need no finer step than that, whatever
// COUNTER_WAIT the graph samples at. What it counted is written every five minutes, when it
// is destroyed, when the session ends (commitDataRequest) and before the system suspends.
// It gives the menus their totals line and warns through the tray icon when the billing
// month reaches 80 % and 100 % of CAP_MIB. User-interface thread only.

#include <QBasicTimer>
#include <QObject>

#include <memory>
#include <string>
#include <vector>

class CTrayPresence;
class CTrafficTotals;
struct TotalsSummary;
namespace plat {
class COctetReader;
struct InterfaceOctets;
struct RouteWatch;
} // namespace plat

class CTotalsKeeper : public QObject {
    Q_OBJECT

public:
    // Opens the database beside the settings file and takes the first reading, from which
    // the counting starts.
    CTotalsKeeper(CTrayPresence &tray, QObject *parent = nullptr);
    ~CTotalsKeeper() override; // counts once more and commits

    // Makes or ends `keeper` (a child of `parent`) as TOTALS now says, and has a kept one look
    // up its interfaces again, as SOURCE may have changed. Ended, it writes what it counted.
    static void Follow(CTotalsKeeper *&keeper, CTrayPresence &tray, QObject *parent);

    // Reads, counts, and updates what is shown from the totals.
    void Tick();
    // Reads once more, so that the count is up to this instant, and writes what is pending.
    // Shows nothing: it also serves inside exit(), when the window system may be gone.
    void CountAndCommit();
    // SOURCE or the interfaces may have changed: the interfaces are looked up again.
    void ForgetInterfaces() { m_bNamesKnown = false; }

    // "今日: ↓ X ↑ Y / 今月: ↓ X ↑ Y", in bytes with the chosen base and decimals.
    QString MenuLine() const;

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    void Count();
    void Show();
    void CountedNames(std::vector<std::string> &names);
    void WarnOfCap();

    CTrayPresence &m_tray;
    // Held apart: the toolkit's code generator cannot read the headers of the counting core.
    std::unique_ptr<CTrafficTotals> m_pTotals;
    std::unique_ptr<plat::COctetReader> m_pReader;
    std::unique_ptr<TotalsSummary> m_pSummary;
    plat::RouteWatch *m_pRouteWatch = nullptr; // opened when SOURCE first needs it
    bool m_bRouteWatchOpened = false;
    std::vector<std::string> m_names; // SOURCE 1 and 2, until the routes or links change
    bool m_bNamesKnown = false;
    std::vector<plat::InterfaceOctets> m_readings;
    QBasicTimer m_countTimer;
    QBasicTimer m_commitTimer;
};
