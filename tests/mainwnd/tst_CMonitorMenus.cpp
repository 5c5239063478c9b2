#include "CMonitorMenus.h"
#include "CommandIds.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

namespace {

// The visible entries of a menu: "-" for a separator, the text otherwise, "[x] " before a
// checked entry and "(off) " before a disabled one.
QStringList Entries(const QMenu *menu)
{
    QStringList entries;
    for (const QAction *action : menu->actions()) {
        if (!action->isVisible())
            continue;
        if (action->isSeparator()) {
            entries << QStringLiteral("-");
            continue;
        }
        QString text = action->text();
        if (action->isChecked())
            text.prepend(QStringLiteral("[x] "));
        if (!action->isEnabled())
            text.prepend(QStringLiteral("(off) "));
        entries << text;
    }
    return entries;
}

QStringList Utf8(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *text : texts)
        list << QString::fromUtf8(text);
    return list;
}

} // namespace

class tst_CMonitorMenus : public QObject {
    Q_OBJECT

private slots:
    void entriesFollowTheState_data();
    void entriesFollowTheState();
    void commandsCarryTheirIdentifiers();
};

void tst_CMonitorMenus::entriesFollowTheState_data()
{
    QTest::addColumn<bool>("topMost");
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<bool>("canMinimize");
    QTest::addColumn<QString>("totals"); // the totals line, none when empty
    QTest::addColumn<QStringList>("tray");
    QTest::addColumn<QStringList>("window");

    QTest::newRow("shown") << false << false << true << QString()
                           << Utf8({"常に前面に表示 (&T)", "最小化 (&M)", "-", "オプション (&O)", "バージョン情報 (&A)", "-", "終了 (&X)"})
                           << Utf8({"常に全面に表示 (&T)", "最小化 (&M)", "-", "オプション (&O)", "バージョン情報 (&A)", "-", "終了 (&X)"});
    QTest::newRow("hidden, on top") << true << true << true << QString()
                                    << Utf8({"[x] 常に前面に表示 (&T)", "元のサイズに戻す (&R)", "-", "オプション (&O)",
                                             "バージョン情報 (&A)", "-", "終了 (&X)"})
                                    << Utf8({"[x] 常に全面に表示 (&T)", "最小化 (&M)", "-", "オプション (&O)",
                                             "バージョン情報 (&A)", "-", "終了 (&X)"});
    QTest::newRow("no notification area") << false << false << false << QString()
                                           << Utf8({"常に前面に表示 (&T)", "(off) 最小化 (&M)", "-", "オプション (&O)",
                                                    "バージョン情報 (&A)", "-", "終了 (&X)"})
                                           << Utf8({"常に全面に表示 (&T)", "(off) 最小化 (&M)", "-", "オプション (&O)",
                                                    "バージョン情報 (&A)", "-", "終了 (&X)"});
    const char *line = "今日: ↓ 1.500 KB ↑ 0 B / 今月: ↓ 3.000 GB ↑ 12 B";
    QTest::newRow("totals") << false << false << true << QString::fromUtf8(line)
                            << Utf8({"常に前面に表示 (&T)", "最小化 (&M)", "-", "オプション (&O)", "バージョン情報 (&A)",
                                     "(off) 今日: ↓ 1.500 KB ↑ 0 B / 今月: ↓ 3.000 GB ↑ 12 B", "-", "終了 (&X)"})
                            << Utf8({"常に全面に表示 (&T)", "最小化 (&M)", "-", "オプション (&O)", "バージョン情報 (&A)",
                                     "(off) 今日: ↓ 1.500 KB ↑ 0 B / 今月: ↓ 3.000 GB ↑ 12 B", "-", "終了 (&X)"});
}

void tst_CMonitorMenus::entriesFollowTheState()
{
    QFETCH(bool, topMost);
    QFETCH(bool, hidden);
    QFETCH(bool, canMinimize);
    QFETCH(QString, totals);
    QFETCH(QStringList, tray);
    QFETCH(QStringList, window);

    QWidget owner;
    CMonitorMenus menus(&owner);
    menus.Update(MenuState {!topMost, !hidden, !canMinimize}); // a state change must undo the last
    menus.Update(MenuState {topMost, hidden, canMinimize});
    menus.SetTotalsLine(QStringLiteral("earlier")); // replaced by the next line, or removed
    menus.SetTotalsLine(totals);
    QCOMPARE(Entries(menus.TrayMenu()), tray);
    QCOMPARE(Entries(menus.WindowMenu()), window);
}

void tst_CMonitorMenus::commandsCarryTheirIdentifiers()
{
    QWidget owner;
    CMonitorMenus menus(&owner);
    QSignalSpy spy(&menus, &CMonitorMenus::command);
    QList<int> expected;
    for (QMenu *menu : {menus.TrayMenu(), menus.WindowMenu()}) {
        for (QAction *action : menu->actions()) {
            if (action->isSeparator())
                continue;
            action->trigger();
            expected << action->data().toInt();
        }
    }
    QList<int> received;
    for (const QList<QVariant> &arguments : spy)
        received << arguments.at(0).toInt();
    QCOMPARE(received, expected);
    QCOMPARE(expected, (QList<int> {ID_TOPMOST, ID_RESTORE, ID_MINIMIZE, ID_OPTIONS, ID_ABOUT, ID_APP_EXIT,
                                    ID_TOPMOST, ID_MINIMIZE, ID_OPTIONS, ID_ABOUT, ID_APP_EXIT}));
}

QTEST_MAIN(tst_CMonitorMenus)
#include "tst_CMonitorMenus.moc"
