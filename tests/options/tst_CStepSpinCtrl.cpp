// The interval's up-down on its own: steps of m_nStep that continue at the other end of
// the range, typed positions, and the arrow keys of its edit.

#include "CStepSpinCtrl.h"

#include <QLineEdit>
#include <QTest>

class tst_CStepSpinCtrl : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_edit = new QLineEdit(&m_parent);
        m_edit->setGeometry(0, 0, 60, 20);
        m_spin = new CStepSpinCtrl(&m_parent);
        m_spin->setGeometry(0, 0, 12, 20);
        m_spin->SetBuddy(m_edit);
        m_spin->SetRange(50, 3000);
        m_spin->SetPos(500);
    }
    void cleanup() { qDeleteAll(m_parent.children()); }

    void stepsAndContinuesAtTheOtherEnd_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("direction");
        QTest::addColumn<QString>("shown");
        QTest::newRow("2950 up") << 100 << "2950" << 1 << "50";
        QTest::newRow("2900 up reaches the end") << 100 << "2900" << 1 << "3000";
        QTest::newRow("3000 up") << 100 << "3000" << 1 << "50";
        QTest::newRow("100 down") << 100 << "100" << -1 << "3000";
        QTest::newRow("150 down reaches the end") << 100 << "150" << -1 << "50";
        QTest::newRow("typed 75 up") << 100 << "75" << 1 << "175";
        QTest::newRow("blanks around a number") << 100 << " 620\t" << -1 << "520";
        QTest::newRow("above the range, down") << 100 << "5000" << -1 << "2900";
        QTest::newRow("no number: from the last position") << 100 << "abc" << 1 << "600";
        QTest::newRow("zero step is ignored") << 0 << "500" << 1 << "501";
    }
    void stepsAndContinuesAtTheOtherEnd()
    {
        QFETCH(int, step);
        QFETCH(QString, typed);
        QFETCH(int, direction);
        QFETCH(QString, shown);
        m_spin->SetStep(step);
        m_edit->setText(typed);
        QTest::mouseClick(m_spin->findChild<QWidget *>(direction > 0 ? "up" : "down"), Qt::LeftButton);
        QCOMPARE(m_edit->text(), shown);
        QCOMPARE(m_spin->GetPos(), shown.toInt());
    }

    void arrowKeysInTheEditStep()
    {
        m_spin->SetStep(100);
        m_spin->SetPos(2950);
        QTest::keyClick(m_edit, Qt::Key_Up);
        QCOMPARE(m_edit->text(), QString("50"));
        QTest::keyClick(m_edit, Qt::Key_Down);
        QTest::keyClick(m_edit, Qt::Key_Down);
        QCOMPARE(m_edit->text(), QString("2900"));
        m_spin->setEnabled(false);
        QTest::keyClick(m_edit, Qt::Key_Up);
        QCOMPARE(m_edit->text(), QString("2900"));
        // Beside the edit, which gave up the room.
        QCOMPARE(m_edit->geometry(), QRect(0, 0, 48, 20));
        QCOMPARE(m_spin->geometry(), QRect(48, 0, 12, 20));
    }

private:
    QWidget m_parent;
    QLineEdit *m_edit = nullptr;
    CStepSpinCtrl *m_spin = nullptr;
};

QTEST_MAIN(tst_CStepSpinCtrl)
#include "tst_CStepSpinCtrl.moc"
