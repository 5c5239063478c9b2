#include "AppMessageBox.h"

#include "IniPath.h"

void ShowAppMessage(QWidget *parent, QMessageBox::Icon icon, const QString &text)
{
    QMessageBox box(icon, QString::fromLocal8Bit(GetAppName()), text, QMessageBox::Ok, parent);
    box.exec();
}
