#pragma once
// Turns requests to end the process (SIGTERM, SIGHUP at logout, SIGINT) into a Qt signal
// on the user-interface thread, so the monitor can save its state as on the exit command.

#include <QObject>

class QSocketNotifier;

class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

signals:
    void terminationRequested();

private:
    void OnReadable();

    QSocketNotifier *m_notifier = nullptr;
};
