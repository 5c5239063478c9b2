#include "CAboutDlg.h"

#include "AppIcons.h"
#include "DialogUnits.h"
#include "OwnedDialog.h"

#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
{
    MakeOwnedDialog(this);
    setWindowTitle(QString::fromUtf8("Corvalaのバージョン情報"));
    setFont(DialogUnits::DialogFont());
    const DialogUnits units(font());
    setFixedSize(units.X(235), units.Y(55));

    auto *icon = new QLabel(this);
    icon->setGeometry(units.Rect(11, 17, 20, 20));
    icon->setPixmap(ProgramIcon().pixmap(32, 32));

    auto *product = new QLabel(QStringLiteral("Corvala Version 1.0"), this);
    product->setTextFormat(Qt::PlainText);
    product->setGeometry(units.Rect(40, 10, 119, 8).adjusted(0, 0, 0, 4));

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(units.Rect(178, 7, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CAboutDlg::accept);
}

void CAboutDlg::ShowOver(const QRect &ownerRect)
{
    show();
    raise();
    activateWindow();
    const QRect frame = frameGeometry();
    move(ownerRect.center() - QPoint(frame.width() / 2, frame.height() / 2) + (pos() - frame.topLeft()));
}

void CAboutDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    EnableOwner(false);
}

void CAboutDlg::accept()
{
    EnableOwner(true);
    QDialog::accept();
}

void CAboutDlg::reject()
{
    EnableOwner(true);
    QDialog::reject();
}

// Disabling a parent disables its children too, so this box, itself a child of its owner,
// must be re-enabled after its owner is disabled.
void CAboutDlg::EnableOwner(bool enable)
{
    if (QWidget *owner = parentWidget()) {
        owner->setEnabled(enable);
        setEnabled(true);
    }
}
