#include "FileReplaceLinux.h"

#include "StartupRules.h"
#include "UniqueFd.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
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

std::string FollowLinks(const std::string &path)
{
    std::string current = path;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        char link[PATH_MAX];
        const ssize_t length = ::readlink(current.c_str(), link, sizeof link);
        if (length <= 0)
            return current; // not a link, or nothing there yet
        if (static_cast<std::size_t>(length) >= sizeof link)
            return {};
        const std::string next(link, static_cast<std::size_t>(length));
        current = next.front() == '/' ? next : DirectoryOf(current, kLinuxSeparators) + "/" + next;
    }
    return {};
}

bool ReplaceFile(const std::string &target, const std::string &text, const struct stat *old)
{
    RemoveStaleTemporaries(target);
    std::string temp;
    UniqueFd fd = CreateTemporary(target, temp);
    if (!fd.Valid())
        return false;
    bool ok = ::fchmod(fd.Get(), old ? old->st_mode & 07777 : NewFileMode()) == 0 && WriteAll(fd.Get(), text)
              && ::fdatasync(fd.Get()) == 0;
    if (ok && old && (old->st_uid != ::geteuid() || old->st_gid != ::getegid()))
        (void)::fchown(fd.Get(), old->st_uid, old->st_gid); // only root can; others keep theirs
    // Renamed while still locked, so no cleaner can take it for a leftover.
    if (ok && ::rename(temp.c_str(), target.c_str()) == 0)
        return true;
    ::unlink(temp.c_str());
    return false;
}

} // namespace plat
