#pragma once
// Turns requests to end the process (SIGTERM, SIGHUP at logout, SIGINT) into a Qt signal
// on the user-interface thread, so the monitor can save its state as on the exit command.
// One implementation per OS; whatever it needs lives with it as child objects.

#include <QObject>

class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

signals:
    void terminationRequested();
};
