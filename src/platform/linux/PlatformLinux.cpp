// Linux: operating system, executable path and directories.

#include "Platform.h"
#include "StartupRules.h"

#include <climits>
#include <cstdlib>
#include <string_view>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace plat {
namespace {

unsigned LeadingNumber(std::string_view text, std::size_t &pos)
{
    unsigned value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && value < 100000)
        value = value * 10 + unsigned(text[pos++] - '0');
    return value;
}

} // namespace

int GetOsVersion(OsVersion &version)
{
    struct utsname info {};
    if (::uname(&info) != 0)
        return 0;
    const std::string_view release = info.release;
    std::size_t pos = 0;
    version.major = LeadingNumber(release, pos);
    if (pos < release.size() && release[pos] == '.')
        ++pos;
    version.minor = LeadingNumber(release, pos);
    return 1;
}

bool IsOsVersionSupported(const OsVersion &)
{
    return true;
}

void RestrictLibrarySearch()
{
}

std::string GetModuleFileName()
{
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer)
        return {};
    return std::string(buffer, static_cast<std::size_t>(length));
}

std::string GetProgramName(const std::string &modulePath)
{
    return MakeAppName(modulePath, kLinuxSeparators);
}

std::string GetFileNameOf(const std::string &path)
{
    return FileNameOf(path, kLinuxSeparators);
}

std::string GetSettingsFilePath(const std::string &modulePath)
{
    // A folder of installed programs is the package manager's, even when root could write it.
    const std::string dir = DirectoryOf(modulePath, kLinuxSeparators);
    const bool installed = !modulePath.empty() && IsLinuxSystemProgramDir(dir);
    const bool writable = !modulePath.empty() && !installed && IsDirectoryWritable(dir);
    const std::string configDir = writable ? std::string() : GetUserConfigDir("corvala");
    if (installed && configDir.empty())
        return {}; // nowhere of the user's own: run on the defaults
    return MakeLinuxIniPath(modulePath, writable, configDir);
}

std::string GetInstanceLockName(const std::string &path)
{
    return MakeLinuxLockName(path);
}

bool IsDirectoryWritable(const std::string &directory)
{
    struct stat st {};
    return ::stat(directory.c_str(), &st) == 0 && S_ISDIR(st.st_mode)
           && ::access(directory.c_str(), W_OK | X_OK) == 0;
}

std::string GetUserConfigDir(const std::string &subdirectory)
{
    std::string base;
    if (const char *config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        base = config;
    else if (const char *home = std::getenv("HOME"); home && *home == '/')
        base = std::string(home) + "/.config";
    else
        return {};
    ::mkdir(base.c_str(), 0700);
    const std::string dir = base + "/" + subdirectory;
    ::mkdir(dir.c_str(), 0700);
    return IsDirectoryWritable(dir) ? dir : std::string();
}

} // namespace plat
