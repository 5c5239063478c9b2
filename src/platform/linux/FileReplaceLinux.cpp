#include "FileReplaceLinux.h"

#include "StartupRules.h"
#include "UniqueFd.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <set>
#include <string_view>
#include <sys/file.h>
#include <unistd.h>

namespace plat {
namespace {

// Temporaries are named "<file>.tmp-XXXXXX" and locked for as long as their writer lives,
// so one that nobody holds was left by a writer that was killed.
constexpr const char *kTempMark = ".tmp-";
constexpr std::size_t kTempRandom = 6;
constexpr int kMaxLinks = 40; // the kernel's own limit for one path

// Removes `name` when it is a temporary of ours that no writer holds, still holding its
// lock while it goes, so that no writer can take it up in between.
void RemoveIfStale(int dirFd, const char *name)
{
    struct stat st {};
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)
        || st.st_uid != ::geteuid())
        return;
    UniqueFd fd(::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.Valid() && ::flock(fd.Get(), LOCK_EX | LOCK_NB) == 0)
        ::unlinkat(dirFd, name, 0);
}

// Removes what writers of `target` that were killed left behind. A writer holds its lock
// until its temporary has been renamed, so a file that can be locked here is no one's.
void RemoveStaleTemporaries(const std::string &target)
{
    const std::string prefix = FileNameOf(target, kLinuxSeparators) + kTempMark;
    std::unique_ptr<DIR, int (*)(DIR *)> dir(::opendir(DirectoryOf(target, kLinuxSeparators).c_str()), ::closedir);
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name.size() == prefix.size() + kTempRandom && name.substr(0, prefix.size()) == prefix)
            RemoveIfStale(::dirfd(dir.get()), entry->d_name);
    }
}

// A new temporary, locked. A cleaner that took it for a leftover in the moment before the
// lock has removed it: make another.
UniqueFd CreateTemporary(const std::string &target, std::string &name)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        name = target + kTempMark + std::string(kTempRandom, 'X');
        UniqueFd fd(::mkostemp(name.data(), O_CLOEXEC));
        struct stat st {};
        if (!fd.Valid() || ::flock(fd.Get(), LOCK_EX) != 0 || ::fstat(fd.Get(), &st) != 0)
            return {};
        if (st.st_nlink > 0)
            return fd;
    }
    return {};
}

// Leftovers come from writers killed in earlier runs: one look per file and process will do,
// and spares a large folder a scan at every write.
void RemoveStaleTemporariesOnce(const std::string &target)
{
    static std::mutex lock;
    static std::set<std::string> done; // guarded by lock
    {
        std::scoped_lock guard(lock);
        if (!done.insert(target).second)
            return;
    }
    RemoveStaleTemporaries(target);
}

// The kernel's protected_symlinks rule for the link at `link`, whose status is `st`.
bool MayFollow(const std::string &link, const struct stat &st)
{
    struct stat dir {};
    if (::stat(DirectoryOf(link, kLinuxSeparators).c_str(), &dir) != 0)
        return false;
    const bool shared = (dir.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
    return !shared || st.st_uid == ::geteuid() || st.st_uid == dir.st_uid;
}

mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, const std::string &text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

LinkResult FollowLinks(const std::string &path, std::string &target)
{
    target = path;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return LinkResult::Ok; // not a link, or nothing there yet
        if (!MayFollow(target, st))
            return LinkResult::Refused;
        char link[PATH_MAX];
        const ssize_t length = ::readlink(target.c_str(), link, sizeof link);
        if (length <= 0 || static_cast<std::size_t>(length) >= sizeof link)
            return LinkResult::Unusable;
        const std::string next(link, static_cast<std::size_t>(length));
        target = next.front() == '/' ? next : DirectoryOf(target, kLinuxSeparators) + "/" + next;
    }
    return LinkResult::Unusable;
}

bool CanReplace(const std::string &target, const struct stat &st)
{
    const std::string dir = DirectoryOf(target, kLinuxSeparators);
    struct stat dirSt {};
    if (::stat(dir.c_str(), &dirSt) != 0 || ::access(dir.c_str(), W_OK | X_OK) != 0)
        return false;
    // In a sticky folder only the file's or the folder's owner may rename over the file.
    const uid_t user = ::geteuid();
    return !(dirSt.st_mode & S_ISVTX) || user == 0 || st.st_uid == user || dirSt.st_uid == user;
}

bool ReplaceFile(const std::string &target, const std::string &text, const struct stat *old,
                 struct stat &written)
{
    RemoveStaleTemporariesOnce(target);
    std::string temp;
    UniqueFd fd = CreateTemporary(target, temp);
    if (!fd.Valid())
        return false;
    bool ok = ::fchmod(fd.Get(), old ? old->st_mode & 07777 : NewFileMode()) == 0 && WriteAll(fd.Get(), text)
              && ::fdatasync(fd.Get()) == 0;
    if (ok && old && (old->st_uid != ::geteuid() || old->st_gid != ::getegid()))
        (void)::fchown(fd.Get(), old->st_uid, old->st_gid); // only root can; others keep theirs
    // Renamed while still locked, so no cleaner can take it for a leftover.
    if (ok && ::fstat(fd.Get(), &written) == 0 && ::rename(temp.c_str(), target.c_str()) == 0)
        return true;
    ::unlink(temp.c_str());
    return false;
}

bool RewriteInPlace(const std::string &target, const std::string &text, struct stat &st)
{
    UniqueFd fd(::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat now {};
    if (!fd.Valid() || ::fstat(fd.Get(), &now) != 0 || !S_ISREG(now.st_mode) || now.st_dev != st.st_dev
        || now.st_ino != st.st_ino)
        return false;
    const auto size = static_cast<off_t>(text.size());
    if (size > now.st_size) {
        const int error = ::posix_fallocate(fd.Get(), now.st_size, size - now.st_size);
        if (error != 0 && error != EOPNOTSUPP && error != EINVAL)
            return false;
    }
    return WriteAll(fd.Get(), text) && ::ftruncate(fd.Get(), size) == 0 && ::fdatasync(fd.Get()) == 0
           && ::fstat(fd.Get(), &st) == 0;
}

} // namespace plat
