// PickColor with the platform's colour dialog: it starts on the swatch's colour with the
// stored custom colours in their places, and keeps what the user left only on OK.

#include "PickColor.h"

#include "CColorButton.h"
#include "CSetSystem.h"
#include "ColorRefQt.h"
#include "IniPath.h"
#include "TempDir.h"

#include <QApplication>
#include <QColorDialog>
#include <QTest>
#include <QTimer>

class tst_PickColor : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        SetIniPath(m_dir.File("t.ini"));
        WriteFile(GetIniPath(), ""); // each row starts from the defaults
        theSetSystem.Load(GetIniPath());
        // Index 1 is the second colour of the first row, index 8 the first of the second.
        theSetSystem.m_ColorDlg.SetCustomColor(1, MakeRgb(0, 0, 1));
        theSetSystem.m_ColorDlg.SetCustomColor(8, MakeRgb(0, 0, 8));
    }

    void keepsColourAndCustomColoursOnlyOnOk_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void keepsColourAndCustomColoursOnlyOnOk()
    {
        QFETCH(bool, ok);
        CColorButton button;
        button.SetColor(MakeRgb(10, 20, 30));
        const std::string before = ReadFile(GetIniPath());
        QColor started, slotOfIndex1, slotOfIndex8;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QColorDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            started = dialog->currentColor();
            slotOfIndex1 = QColorDialog::customColor(2); // first row, second column
            slotOfIndex8 = QColorDialog::customColor(1); // second row, first column
            QColorDialog::setCustomColor(15, QColor(1, 2, 3)); // last of the second row
            dialog->setCurrentColor(QColor(40, 50, 60));
            ok ? dialog->accept() : dialog->reject();
        });
        int checks = 0;
        PickColor(nullptr, button, [&] { ++checks; });
        QCOMPARE(started, ToQColor(MakeRgb(10, 20, 30)));
        QCOMPARE(slotOfIndex1, ToQColor(MakeRgb(0, 0, 1)));
        QCOMPARE(slotOfIndex8, ToQColor(MakeRgb(0, 0, 8)));
        QCOMPARE(button.GetColor(), ok ? MakeRgb(40, 50, 60) : MakeRgb(10, 20, 30));
        QCOMPARE(checks, ok ? 1 : 0);
        QCOMPARE(theSetSystem.m_ColorDlg.GetCustomColor(15), ok ? MakeRgb(1, 2, 3) : MakeRgb(255, 255, 255));
        if (!ok)
            QCOMPARE(ReadFile(GetIniPath()), before);
        CSetSystem disk;
        disk.Load(GetIniPath());
        QCOMPARE(disk.m_ColorDlg.GetCustomColor(15), theSetSystem.m_ColorDlg.GetCustomColor(15));
        QCOMPARE(disk.m_ColorDlg.GetCustomColor(8), ok ? MakeRgb(0, 0, 8) : MakeRgb(255, 255, 255));
    }

private:
    TempDir m_dir;
};

QTEST_MAIN(tst_PickColor)
#include "tst_PickColor.moc"
