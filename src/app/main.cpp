#include "CMonitorApp.h"
#include "WindowStates.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    ChooseWindowSystem();
    QApplication application(argc, argv);
    CMonitorApp theApp;
    theApp.InitInstance();
    return 0;
}
