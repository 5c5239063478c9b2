#include "CAboutDlg.h"
#include "FontSetup.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

class tst_CAboutDlg : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutions(); }
    void showsTheVersion();
    void ownerTakesNoInputWhileShown_data();
    void ownerTakesNoInputWhileShown();
    void showingAgainKeepsOwnerDisabled();
};

void tst_CAboutDlg::showsTheVersion()
{
    QWidget owner;
    CAboutDlg box(&owner);
    QCOMPARE(box.windowTitle(), QString::fromUtf8("Corvalaのバージョン情報"));
    QStringList texts;
    for (const QLabel *label : box.findChildren<QLabel *>())
        texts << label->text();
    QVERIFY(texts.contains(QStringLiteral("Corvala Version 1.0")));
    const auto buttons = box.findChildren<QPushButton *>();
    QCOMPARE(buttons.size(), 1);
    QCOMPARE(buttons.front()->text(), QStringLiteral("OK"));
    QVERIFY(buttons.front()->isDefault());
    QVERIFY(!box.isVisible());
}

void tst_CAboutDlg::ownerTakesNoInputWhileShown_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("OK by Enter") << int(Qt::Key_Return);
    QTest::newRow("Cancel by Escape") << int(Qt::Key_Escape);
}

void tst_CAboutDlg::ownerTakesNoInputWhileShown()
{
    QFETCH(int, key);
    QWidget owner;
    owner.resize(400, 300);
    owner.show();
    CAboutDlg box(&owner);
    box.ShowOver(owner.frameGeometry());
    QVERIFY(box.isVisible());
    QVERIFY(!owner.isEnabled());
    QVERIFY(box.isEnabled());
    QTest::keyClick(&box, Qt::Key(key));
    QVERIFY(!box.isVisible());
    QVERIFY(owner.isEnabled());
}

void tst_CAboutDlg::showingAgainKeepsOwnerDisabled()
{
    QWidget owner;
    owner.setGeometry(100, 100, 600, 400);
    owner.show();
    CAboutDlg box(&owner);
    box.ShowOver(owner.frameGeometry());
    box.move(0, 0);
    box.ShowOver(owner.frameGeometry());
    QVERIFY(!owner.isEnabled());
    QVERIFY(qAbs(box.frameGeometry().center().x() - owner.frameGeometry().center().x()) <= 1);
    box.findChildren<QPushButton *>().front()->click();
    QVERIFY(owner.isEnabled());
}

QTEST_MAIN(tst_CAboutDlg)
#include "tst_CAboutDlg.moc"
