#pragma once
// Tells that the system is about to suspend, so that what is kept in memory can be written
// first. Linux: logind's PrepareForSleep on the system bus, with a delay lock held so that
// the suspend waits for the writing (when there is no system bus, nothing is told); Windows:
// the power-broadcast message. One implementation per OS. User-interface thread only.

#include <QObject>

class SuspendWatch : public QObject {
    Q_OBJECT

public:
    explicit SuspendWatch(QObject *parent = nullptr);
    ~SuspendWatch() override;

signals:
    // Emitted before the suspend; what is connected runs before the system may go on.
    void suspending();

private:
    struct Impl;
    Impl *m_pImpl;
};
