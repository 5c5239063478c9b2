// Linux: the private-profile store on top of IniText. Every write replaces the file
// atomically (temporary file in the same directory, then rename), so a crash, a kill or a
// full disk leaves either the old file or the new one, never a torn one.

#include "IniText.h"
#include "Platform.h"
#include "UniqueFd.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {
namespace {

// Larger files are not settings files we wrote; they read as missing and are never replaced.
constexpr off_t kMaxFileSize = 16 * 1024 * 1024;

enum class ReadResult { Ok, Missing, Unusable };

ReadResult ReadWholeFile(const std::string &path, std::string &text, struct stat &st)
{
    text.clear();
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid())
        return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Unusable;
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxFileSize)
        return ReadResult::Unusable;
    text.resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::read(fd.Get(), text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return ReadResult::Unusable;
        if (n == 0)
            break; // the file shrank while we read it
        done += static_cast<std::size_t>(n);
    }
    text.resize(done);
    return ReadResult::Ok;
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

// A symbolic link to the settings file stays a link: the file it points to is replaced.
std::string ResolveTarget(const std::string &path)
{
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved))
        return resolved;
    return path;
}

std::string DirectoryOf(const std::string &path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool ReplaceFile(const std::string &target, const std::string &text, const struct stat *old)
{
    std::string temp = target + ".XXXXXX";
    UniqueFd fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (!fd.Valid())
        return false;
    mode_t mode = 0666;
    if (old) {
        mode = old->st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    bool ok = ::fchmod(fd.Get(), mode) == 0 && WriteAll(fd.Get(), text) && ::fdatasync(fd.Get()) == 0;
    if (ok && old && (old->st_uid != ::geteuid() || old->st_gid != ::getegid()))
        (void)::fchown(fd.Get(), old->st_uid, old->st_gid); // only root can; others keep theirs
    ok = ::close(fd.Release()) == 0 && ok;
    if (ok && ::rename(temp.c_str(), target.c_str()) == 0)
        return true;
    ::unlink(temp.c_str());
    return false;
}

} // namespace

std::string GetPrivateProfileString(const char *section, const char *key, const char *def,
                                    std::size_t size, const std::string &path)
{
    const char *fallback = def ? def : "";
    std::string text;
    struct stat st {};
    std::string_view raw;
    if (!section || !key || ReadWholeFile(path, text, st) != ReadResult::Ok
        || !ini::FindValue(text, section, key, raw))
        return ini::CleanValue(fallback, size);
    return ini::CleanValue(raw, size);
}

int GetPrivateProfileInt(const char *section, const char *key, int def, const std::string &path)
{
    // A value that is absent or empty gives the default; NUL cannot occur in a real value.
    const std::string value = GetPrivateProfileString(section, key, "", 64, path);
    if (value.empty())
        return def;
    const char *first = value.data();
    const char *last = first + value.size();
    while (first < last && (*first == ' ' || *first == '\t'))
        ++first;
    if (first < last && *first == '+')
        ++first;
    long long number = 0;
    const auto [end, error] = std::from_chars(first, last, number);
    if (end == first)
        return 0;
    if (error == std::errc::result_out_of_range)
        return *first == '-' ? INT_MIN : INT_MAX;
    if (number < INT_MIN)
        return INT_MIN;
    if (number > INT_MAX)
        return INT_MAX;
    return static_cast<int>(number);
}

int WritePrivateProfileString(const char *section, const char *key, const char *value,
                              const std::string &path)
{
    if (!section || !key || path.empty() || !ini::IsWritableName(section, key))
        return 0;
    const std::string target = ResolveTarget(path);
    std::string text;
    struct stat st {};
    const ReadResult read = ReadWholeFile(target, text, st);
    if (read == ReadResult::Unusable)
        return 0; // never replace a file we could not read: its contents would be lost
    const std::string updated = ini::SetValue(text, section, key, value ? value : "");
    if (read == ReadResult::Ok && updated == text)
        return 1;
    if (!IsDirectoryWritable(DirectoryOf(target)))
        return 0;
    return ReplaceFile(target, updated, read == ReadResult::Ok ? &st : nullptr) ? 1 : 0;
}

} // namespace plat
