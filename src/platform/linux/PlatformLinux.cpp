// Linux: operating system, executable path, single-instance lock and directories.

#include "InstanceLockLinux.h"
#include "Platform.h"
#include "StartupRules.h"
#include "UniqueFd.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>
#include <vector>

namespace plat {
namespace {

unsigned LeadingNumber(std::string_view text, std::size_t &pos)
{
    unsigned value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && value < 100000)
        value = value * 10 + unsigned(text[pos++] - '0');
    return value;
}

// A directory for lock files must be ours and closed to everyone else: anyone can make a
// directory of a given name in /tmp and hold our lock names there. Opened without following
// links, so what was checked is what is used.
bool IsPrivateDir(const std::string &path, bool create)
{
    if (create && ::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st {};
    return fd.Valid() && ::fstat(fd.Get(), &st) == 0 && st.st_uid == ::geteuid()
           && (st.st_mode & 077) == 0;
}

// From the user database: unlike $HOME, the same in every environment.
std::string HomeDirectory()
{
    struct passwd entry {};
    struct passwd *found = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found
        || !found->pw_dir || found->pw_dir[0] != '/')
        return {};
    return found->pw_dir;
}

// A file name holds at most NAME_MAX bytes; a longer lock name keeps its tail and a hash.
std::string LockFileName(const std::string &name)
{
    constexpr std::size_t kMax = 200;
    if (name.size() <= kMax)
        return name + ".lock";
    std::uint64_t hash = 1469598103934665603ull;
    for (const char c : name)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return name.substr(name.size() - kMax) + "-" + hex + ".lock";
}

} // namespace

std::string InstanceLockDirectory()
{
    const std::string uid = std::to_string(::geteuid());
    if (const std::string runtime = "/run/user/" + uid; IsPrivateDir(runtime, false))
        return runtime;
    if (const std::string tmp = "/tmp/corvala-" + uid; IsPrivateDir(tmp, true))
        return tmp;
    // Someone else holds that name in /tmp: fall back to a place only this user can write.
    const std::string home = HomeDirectory();
    if (home.empty())
        return {};
    ::mkdir((home + "/.cache").c_str(), 0700);
    const std::string cache = home + "/.cache/corvala-locks";
    return IsPrivateDir(cache, true) ? cache : std::string();
}

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

std::string GetSettingsFilePath(const std::string &modulePath)
{
    const bool writable = !modulePath.empty() && IsDirectoryWritable(DirectoryOf(modulePath, kLinuxSeparators));
    return MakeLinuxIniPath(modulePath, writable, writable ? std::string() : GetUserConfigDir("corvala"));
}

std::string GetInstanceLockName(const std::string &path)
{
    return MakeLinuxLockName(path);
}

LockResult CreateInstanceLock(const std::string &name)
{
    const std::string dir = InstanceLockDirectory();
    if (dir.empty() || name.empty())
        return LockResult::Failed;
    const std::string path = dir + "/" + LockFileName(name);
    // Never closed: the kernel drops the lock when the process ends, however it ends.
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd.Valid())
        return LockResult::Failed;
    if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0)
        return errno == EWOULDBLOCK ? LockResult::AlreadyExists : LockResult::Failed;
    fd.Release();
    return LockResult::Acquired;
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
