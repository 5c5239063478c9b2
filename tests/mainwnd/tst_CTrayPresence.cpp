#include "CTrayPresence.h"
#include "IniPath.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTest>

namespace {

bool g_bAreaUp = false;
bool AreaUp() { return g_bAreaUp; }

} // namespace

class tst_CTrayPresence : public QObject {
    Q_OBJECT

private slots:
    void iconComesWithTheAreaAndTheWindowBackWhenItGoes();
    void restoreGestures_data();
    void restoreGestures();
    void liveReadoutTooltipAndIcon();

private:
    QMenu m_menu;
};

void tst_CTrayPresence::iconComesWithTheAreaAndTheWindowBackWhenItGoes()
{
    g_bAreaUp = false;
    CTrayPresence tray(&m_menu, nullptr, AreaUp);
    QSignalSpy shown(&tray, &CTrayPresence::iconShown);
    QSignalSpy restore(&tray, &CTrayPresence::restoreRequested);
    QVERIFY(!tray.CanHide());
    tray.Watch();
    QCOMPARE(shown.count(), 0);
    g_bAreaUp = true;
    tray.Watch();
    QCOMPARE(shown.count(), 1);
    QVERIFY(tray.findChild<QSystemTrayIcon *>());
    tray.Watch(); // shown: nothing to ask for
    QCOMPARE(restore.count(), 0);
    // The offscreen platform shows no area: a hidden window must come back.
    tray.SetHidden(true);
    tray.Watch();
    QCOMPARE(restore.count(), 1);
}

void tst_CTrayPresence::restoreGestures_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("restores");
    QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << true;
    // Offscreen the icon has no geometry, as where the host draws it: a primary click restores.
    QTest::newRow("primary click, host-drawn") << int(QSystemTrayIcon::Trigger) << true;
    QTest::newRow("middle click") << int(QSystemTrayIcon::MiddleClick) << false;
    QTest::newRow("context menu") << int(QSystemTrayIcon::Context) << false;
}

void tst_CTrayPresence::restoreGestures()
{
    QFETCH(int, reason);
    QFETCH(bool, restores);
    g_bAreaUp = true;
    CTrayPresence tray(&m_menu, nullptr, AreaUp);
    QSignalSpy restore(&tray, &CTrayPresence::restoreRequested);
    auto *icon = tray.findChild<QSystemTrayIcon *>();
    QVERIFY(icon);
    QCOMPARE(icon->contextMenu(), &m_menu);
    emit icon->activated(QSystemTrayIcon::ActivationReason(reason));
    QCOMPARE(restore.count(), restores ? 1 : 0);
}

// Off, the tooltip is the name and the icon the program's; on, the rates and the bars, with
// the extra line last either way, and the icon is drawn anew only when the bars change.
void tst_CTrayPresence::liveReadoutTooltipAndIcon()
{
    g_bAreaUp = true;
    CTrayPresence tray(&m_menu, nullptr, AreaUp);
    auto *icon = tray.findChild<QSystemTrayIcon *>();
    const QString name = QString::fromStdString(GetAppName());
    const qint64 programIcon = icon->icon().cacheKey();
    const QImage programImage = icon->icon().pixmap(16).toImage();
    LevelBars bars {LevelBars::LevelOf(5, 10), LevelBars::LevelOf(0, 10), Qt::green, Qt::red};
    tray.ShowReadout("12.000 Kbit/s", "0 bit/s", bars);
    QCOMPARE(tray.ToolTip(), name);
    QCOMPARE(icon->icon().cacheKey(), programIcon);

    tray.SetLiveReadout(true, true);
    tray.ShowReadout("12.000 Kbit/s", "0 bit/s", bars);
    QCOMPARE(tray.ToolTip(), name + "\n受信 12.000 Kbit/s\n送信 0 bit/s");
    const qint64 barsIcon = icon->icon().cacheKey();
    QVERIFY(barsIcon != programIcon);
    bars.received += 1; // a steady rate wavering by one step keeps the icon
    tray.ShowReadout("12.000 Kbit/s", "0 bit/s", bars);
    QCOMPARE(icon->icon().cacheKey(), barsIcon);
    bars.sent = LevelBars::LevelOf(20, 10);
    tray.ShowReadout("12.000 Kbit/s", "2.000 Kbit/s", bars);
    QVERIFY(icon->icon().cacheKey() != barsIcon);
    QCOMPARE(bars.sent, LevelBars::kFull);

    tray.SetTooltipLine(QStringLiteral("today"));
    QCOMPARE(tray.ToolTip(), name + "\n受信 12.000 Kbit/s\n送信 2.000 Kbit/s\ntoday");
    tray.ShowReadout(QString(), "2.000 Kbit/s", bars); // the received counter switched off
    QCOMPARE(tray.ToolTip(), name + "\n送信 2.000 Kbit/s\ntoday");
    tray.SetLiveReadout(false, false);
    QCOMPARE(tray.ToolTip(), name + "\ntoday");
    QCOMPARE(icon->icon().pixmap(16).toImage(), programImage);
}

QTEST_MAIN(tst_CTrayPresence)
#include "tst_CTrayPresence.moc"
