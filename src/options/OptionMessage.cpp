#include "OptionMessage.h"

#include "AppMessageBox.h"

namespace {

constexpr const char *kOutOfRange = "%1 から %2 までの値を入力してください。";

OptionMessageHook &Hook()
{
    static OptionMessageHook hook;
    return hook;
}

} // namespace

void SetOptionMessageHook(OptionMessageHook hook)
{
    Hook() = std::move(hook);
}

void ShowOptionMessage(QWidget *parent, QMessageBox::Icon icon, const QString &text)
{
    if (Hook())
        Hook()(parent, icon, text);
    else
        ShowAppMessage(parent, icon, text);
}

void ShowRangeMessage(QWidget *parent, int minimum, int maximum)
{
    ShowOptionMessage(parent, QMessageBox::Warning, QString::fromUtf8(kOutOfRange).arg(minimum).arg(maximum));
}
