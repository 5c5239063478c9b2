// Linux: the single-instance lock, a file held with flock() in a folder of the user's own.

#include "InstanceLockLinux.h"
#include "Platform.h"
#include "UniqueFd.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace plat {
namespace {

constexpr const char *kLockPath[] = {".local", "state", "corvala-locks"};

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

// Opens `name` in `parent`, made 0700 when missing. A folder on the way must be the user's
// (or root's) and writable by no one else, so that no one else can move what lies inside;
// the lock folder itself is opened without following a link, and must be the user's and
// closed to everyone else.
UniqueFd OpenOwnDirectory(int parent, const char *name, bool last)
{
    ::mkdirat(parent, name, 0700);
    UniqueFd fd(::openat(parent, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC | (last ? O_NOFOLLOW : 0)));
    struct stat st {};
    if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0)
        return {};
    const bool owned = st.st_uid == ::geteuid() || (!last && st.st_uid == 0);
    return owned && (st.st_mode & (last ? 077 : 022)) == 0 ? std::move(fd) : UniqueFd();
}

UniqueFd OpenLockDirectory(std::string &path)
{
    path = HomeDirectory();
    UniqueFd fd(path.empty() ? -1 : ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    for (std::size_t i = 0; i < std::size(kLockPath) && fd.Valid(); ++i) {
        fd = OpenOwnDirectory(fd.Get(), kLockPath[i], i + 1 == std::size(kLockPath));
        path += std::string("/") + kLockPath[i];
    }
    return fd;
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
    std::string path;
    return OpenLockDirectory(path).Valid() ? path : std::string();
}

LockResult CreateInstanceLock(const std::string &name)
{
    std::string dir;
    const UniqueFd dirFd = OpenLockDirectory(dir);
    if (!dirFd.Valid()) {
        std::fprintf(stderr, "%s: no private folder for the single-instance lock at %s\n",
                     program_invocation_short_name, dir.empty() ? "(no home folder)" : dir.c_str());
        return LockResult::Failed;
    }
    if (name.empty())
        return LockResult::Failed;
    // Never closed: the kernel drops the lock when the process ends, however it ends.
    UniqueFd fd(::openat(dirFd.Get(), LockFileName(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd.Valid())
        return LockResult::Failed;
    if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0)
        return errno == EWOULDBLOCK ? LockResult::AlreadyExists : LockResult::Failed;
    fd.Release();
    return LockResult::Acquired;
}

} // namespace plat
