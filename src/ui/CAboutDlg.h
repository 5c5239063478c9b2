#pragma once
// The version box: created hidden with the main window, shown by the version command.
// While it is visible its owner takes no input, as under a modal dialog, without a modal
// loop of its own. User-interface thread only.

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget *parent = nullptr);

    // Shows the box, brings it to the front and centres it over `ownerRect`, where its owner
    // is shown on the screen.
    void ShowOver(const QRect &ownerRect);

public slots:
    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void EnableOwner(bool enable);
};
