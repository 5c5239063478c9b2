#pragma once
// The main window: a small borderless tool window filled by the traffic graph.
// User-interface thread only.

#include <QDialog>

class CMonitorDlg : public QDialog {
    Q_OBJECT

public:
    explicit CMonitorDlg(QWidget *parent = nullptr);

public slots:
    // The window closes only through the exit command; Enter, Escape and close requests
    // do nothing.
    void accept() override;
    void reject() override;
};
