#include "OptionMessage.h"

#include "AppMessageBox.h"

namespace {

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
