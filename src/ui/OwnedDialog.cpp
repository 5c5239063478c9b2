#include "OwnedDialog.h"

#include <QDialog>
#include <QEvent>

namespace {

// Some window managers minimise a dialog (and with it the whole group of its owner) from
// their own menu or key bindings, whatever the dialog's frame offers.
class MinimizeRefusal : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *dialog = static_cast<QWidget *>(watched);
        if (event->type() == QEvent::WindowStateChange && (dialog->windowState() & Qt::WindowMinimized))
            dialog->setWindowState(dialog->windowState() & ~Qt::WindowMinimized);
        return false;
    }
};

} // namespace

void MakeOwnedDialog(QDialog *dialog)
{
    dialog->setWindowModality(Qt::WindowModal);
    dialog->installEventFilter(new MinimizeRefusal(dialog));
}
