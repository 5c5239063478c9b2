#pragma once
// The ways the process ends around the main window: a request to end it (SIGTERM, SIGHUP at
// logout, SIGINT), which the window answers as its exit command, and an exit() that comes
// past the window's own stop (the toolkit calls it when the connection to the X server
// breaks: an X crash, a session without a session manager), during which the window can
// still store what it knows. User-interface thread only.

#include <QObject>

class CProcessEnd : public QObject {
    Q_OBJECT

public:
    explicit CProcessEnd(QObject *parent = nullptr);
    ~CProcessEnd() override;

    // The window has stopped by itself: an exit() after this has nothing left to store.
    void Disarm();

signals:
    void endRequested();
    // Emitted from inside exit(), at most once: the window system must not be asked anything.
    void exiting();

private:
    static void OnExit();
};
