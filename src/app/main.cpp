#include "CMonitorApp.h"

#include <QApplication>

#include <cstdlib>

namespace {

// Wayland lets no window place itself or stay on top; run on X11 when both are there,
// unless the user chose a platform.
void PreferX11()
{
#ifdef __linux__
    if (!std::getenv("QT_QPA_PLATFORM") && std::getenv("DISPLAY") && std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "xcb", 1);
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    PreferX11();
    QApplication application(argc, argv);
    CMonitorApp theApp;
    theApp.InitInstance();
    return 0;
}
