#include "CTrayPresence.h"

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

QTEST_MAIN(tst_CTrayPresence)
#include "tst_CTrayPresence.moc"
