// What a swatch paints: its colour in a raised edge, sunken while held down, and a blank
// button face while disabled.

#include "CColorButton.h"

#include "ColorRefQt.h"

#include <QImage>
#include <QTest>

class tst_CColorButton : public QObject {
    Q_OBJECT

private slots:
    void paintsItsState_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("down");
        QTest::addColumn<bool>("showsColour");
        QTest::addColumn<int>("topLeftRole");
        QTest::newRow("raised") << true << false << true << int(QPalette::Light);
        QTest::newRow("held down") << true << true << true << int(QPalette::Dark);
        QTest::newRow("disabled") << false << false << false << int(QPalette::Light);
    }
    void paintsItsState()
    {
        QFETCH(bool, enabled);
        QFETCH(bool, down);
        QFETCH(bool, showsColour);
        QFETCH(int, topLeftRole);
        CColorButton button;
        button.resize(40, 16);
        button.SetColor(MakeRgb(12, 200, 99));
        button.setEnabled(enabled);
        button.setDown(down);
        const QImage image = button.grab().toImage();
        const QColor centre = image.pixelColor(20, 8);
        const QColor face = button.palette().color(QPalette::Button);
        QCOMPARE(centre.rgb(), (showsColour ? ToQColor(MakeRgb(12, 200, 99)) : face).rgb());
        QCOMPARE(image.pixelColor(0, 0).rgb(), button.palette().color(QPalette::ColorRole(topLeftRole)).rgb());
    }

};

QTEST_MAIN(tst_CColorButton)
#include "tst_CColorButton.moc"
