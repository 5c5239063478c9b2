#include "CMonitorApp.h"
#include "CommandLine.h"
#include "Platform.h"
#include "SessionEnvironment.h"
#include "WindowStates.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

QtMessageHandler g_previousHandler = nullptr;

// While the toolkit starts, a fatal message means that it found no window system to run on (a
// display that has gone, a platform that cannot start): one line and status 1, not an abort.
void OnStartMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
        if (g_previousHandler)
            g_previousHandler(type, context, message);
        return;
    }
    std::fputs("corvala: no display to show the window on (the window system could not be reached)\n", stderr);
    std::_Exit(1);
}

} // namespace

int main(int argc, char *argv[])
{
    plat::RestrictLibrarySearch();
    int status = 0;
    if (!ReadCommandLine(argc, argv, status))
        return status;
    if (!PrepareSessionEnvironment())
        return 1;
    ChooseWindowSystem();
    g_previousHandler = qInstallMessageHandler(OnStartMessage);
    QApplication application(argc, argv);
    qInstallMessageHandler(g_previousHandler);
    CMonitorApp theApp;
    theApp.InitInstance();
    return 0;
}
