#include "CommandLine.h"

#include <algorithm>
#include <cstdio>
#include <span>
#include <string_view>

namespace {

constexpr const char *kUsage = "Usage: corvala [--help | --version]\n";

constexpr const char *kHelp =
    "Usage: corvala [--help | --version]\n"
    "\n"
    "Shows the traffic of one network interface as a scrolling graph in a small window, with\n"
    "an icon in the notification area. Everything else is set in the program's options sheet\n"
    "and kept in its settings file; see corvala(1).\n"
    "\n"
    "  --help     show this text\n"
    "  --version  show the version\n";

// The toolkit reads its own options from the same command line, and a session manager
// restarts a program with -session ID. These take a value; kToolkitFlags take none.
constexpr std::string_view kToolkitOptions[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "geometry",
    "qwindowicon", "icon", "qwindowtitle", "title", "session", "display", "name", "style", "stylesheet"};
constexpr std::string_view kToolkitFlags[] = {"reverse", "sync", "nograb", "dograb", "widgetcount"};

// The toolkit takes its options with one dash or two.
bool IsToolkitOption(std::string_view arg, std::span<const std::string_view> names)
{
    if (arg.size() < 2 || arg[0] != '-')
        return false;
    arg.remove_prefix(arg[1] == '-' ? 2 : 1);
    return std::find(names.begin(), names.end(), arg) != names.end();
}

} // namespace

bool ReadCommandLine(int argc, char **argv, int &exitStatus)
{
    exitStatus = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kHelp, stdout);
            return false;
        }
        if (arg == "--version") {
            std::printf("corvala %s\n", CORVALA_VERSION);
            return false;
        }
        if (IsToolkitOption(arg, kToolkitOptions) && i + 1 < argc)
            ++i;
        else if (!IsToolkitOption(arg, kToolkitFlags)) {
            std::fprintf(stderr, "corvala: %s '%s'\n%s", arg.starts_with('-') ? "unknown option" : "unexpected argument",
                         argv[i], kUsage);
            exitStatus = 2;
            return false;
        }
    }
    return true;
}
