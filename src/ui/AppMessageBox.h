#pragma once
// Message boxes titled with the application's name: the stop icon for fatal start-up
// conditions, the warning icon for rejected option values.

#include <QMessageBox>

class QWidget;

void ShowAppMessage(QWidget *parent, QMessageBox::Icon icon, const QString &text);
