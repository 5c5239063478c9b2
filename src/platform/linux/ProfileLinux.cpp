// Linux: the private-profile store on top of IniText. Every write replaces the file
// atomically (FileReplaceLinux). Only a regular file is read or written: anything else
// at the path reads as a missing file and is never replaced.

#include "FileReplaceLinux.h"
#include "IniText.h"
#include "Platform.h"
#include "UniqueFd.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {
namespace {

// Larger files are not settings files we wrote; they read as missing and are never replaced.
constexpr off_t kMaxFileSize = 16 * 1024 * 1024;

enum class ReadResult { Ok, Missing, Unusable };

ReadResult OpenFailure()
{
    return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Unusable;
}

// A device is not even opened (that alone can have effects), and O_NONBLOCK keeps a FIFO
// that appeared in its place since from waiting for a writer.
ReadResult ReadWholeFile(const std::string &path, std::string &text, struct stat &st)
{
    text.clear();
    if (::stat(path.c_str(), &st) != 0)
        return OpenFailure();
    if (!S_ISREG(st.st_mode))
        return ReadResult::Unusable;
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.Valid())
        return OpenFailure();
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

// A file the user made read-only stays as it is, although its directory would let us
// replace it. Root passes every access check, so for root a file without any write
// permission counts as read-only.
bool IsFileWritable(const std::string &path, const struct stat &st)
{
    return ::access(path.c_str(), W_OK) == 0 && (::geteuid() != 0 || (st.st_mode & 0222) != 0);
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
    const std::string target = FollowLinks(path);
    std::string text;
    struct stat st {};
    const ReadResult read = target.empty() ? ReadResult::Unusable : ReadWholeFile(target, text, st);
    if (read == ReadResult::Unusable)
        return 0; // never replace a file we could not read: its contents would be lost
    if (read == ReadResult::Ok && !IsFileWritable(target, st))
        return 0;
    const std::string updated = ini::SetValue(text, section, key, value ? value : "");
    if (read == ReadResult::Ok && updated == text)
        return 1;
    return ReplaceFile(target, updated, read == ReadResult::Ok ? &st : nullptr) ? 1 : 0;
}

} // namespace plat
