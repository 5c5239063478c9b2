#pragma once
// The message boxes of the options pages go through one replaceable function, so a test
// can record them instead of blocking on a modal box. User-interface thread.

#include <QMessageBox>

#include <functional>

class QWidget;

using OptionMessageHook = std::function<void(QWidget *, QMessageBox::Icon, const QString &)>;

// An empty hook restores the application's message box.
void SetOptionMessageHook(OptionMessageHook hook);
void ShowOptionMessage(QWidget *parent, QMessageBox::Icon icon, const QString &text);
// The warning that a value lies outside minimum..maximum.
void ShowRangeMessage(QWidget *parent, int minimum, int maximum);
