#include "SessionEnvironment.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsSet(const char *name)
{
    const char *value = std::getenv(name);
    return value && *value;
}

// The bus libdbus finds by itself when no address is given: the user's socket in the runtime
// folder.
bool HasRuntimeBus()
{
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat bus {};
    return runtime && *runtime && ::stat((std::string(runtime) + "/bus").c_str(), &bus) == 0
        && S_ISSOCK(bus.st_mode) && bus.st_uid == ::getuid();
}

} // namespace

bool PrepareSessionEnvironment()
{
    // A platform named by the user (offscreen, say) needs no display.
    if (!IsSet("QT_QPA_PLATFORM") && !IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY")) {
        std::fputs("corvala: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)\n",
                   stderr);
        return false;
    }
    // Without an address or that socket, libdbus would launch a bus (dbus-launch) that stays
    // behind after the program. An address that can never be a bus makes it give up at once.
    if (!IsSet("DBUS_SESSION_BUS_ADDRESS") && !HasRuntimeBus())
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/dev/null", 1);
    return true;
}
