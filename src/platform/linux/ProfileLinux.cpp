// Linux: the private-profile store on top of IniText. Only a regular file is read or
// written: anything else at the path reads as a missing file and is never written.

#include "FileReplaceLinux.h"
#include "IniText.h"
#include "Platform.h"
#include "UniqueFd.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {
namespace {

// Larger files are not settings files we wrote: refused at start-up, never read or written.
constexpr off_t kMaxFileSize = 16 * 1024 * 1024;

enum class ReadResult { Ok, Missing, TooLarge, Unusable };

// One reading of a settings file: where its links led, its status then and what it held.
struct ProfileFile {
    std::string target; // empty when the links may not be followed
    ReadResult result = ReadResult::Unusable;
    std::string text;
    struct stat st {};
};

// The reading that a ProfileReadScope keeps on its thread, with the section found last, so
// that a run of reads from one section looks for it once.
struct ScopedReading {
    int depth = 0;
    std::string path;
    bool loaded = false;
    ProfileFile file;
    std::string section;
    std::string_view lines; // of `section` in file.text
};
thread_local ScopedReading t_reading;

ReadResult OpenFailure()
{
    return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Unusable;
}

// A device is not even opened (that alone can have effects), and O_NONBLOCK keeps a FIFO
// that appeared in its place since from waiting for a writer. `target` has no links left
// to follow; one that appears there since is not followed either.
ReadResult ReadRegularFile(const std::string &target, std::string &text, struct stat &st)
{
    if (::lstat(target.c_str(), &st) != 0)
        return OpenFailure();
    if (!S_ISREG(st.st_mode))
        return ReadResult::Unusable;
    UniqueFd fd(::open(target.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.Valid())
        return OpenFailure();
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode))
        return ReadResult::Unusable;
    if (st.st_size > kMaxFileSize)
        return ReadResult::TooLarge;
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

void ReportRefusedLink(const std::string &path)
{
    static std::atomic<bool> reported {false};
    if (!reported.exchange(true))
        std::fprintf(stderr,
                     "%s: not using the settings file %s: it is a symbolic link that another user made "
                     "in a folder that everyone can write\n",
                     program_invocation_short_name, path.c_str());
}

ProfileFile ReadProfile(const std::string &path)
{
    ProfileFile file;
    const LinkResult links = FollowLinks(path, file.target);
    if (links == LinkResult::Ok)
        file.result = ReadRegularFile(file.target, file.text, file.st);
    else
        file.target.clear();
    if (links == LinkResult::Refused)
        ReportRefusedLink(path);
    return file;
}

bool IsScoped(const std::string &path)
{
    return t_reading.depth > 0 && t_reading.path == path;
}

// The file at `path`: the scope's reading when a scope holds that path, else `fresh`.
ProfileFile &Current(const std::string &path, ProfileFile &fresh)
{
    if (!IsScoped(path)) {
        fresh = ReadProfile(path);
        return fresh;
    }
    if (!t_reading.loaded) {
        t_reading.file = ReadProfile(path);
        t_reading.loaded = true;
    }
    return t_reading.file;
}

// Where to look for keys of `section`: within a scope, the section's lines found once.
std::string_view LinesToSearch(const ProfileFile &file, const std::string &path, const char *section)
{
    if (!IsScoped(path))
        return file.text;
    if (t_reading.section != section || t_reading.lines.data() == nullptr) {
        t_reading.section = section;
        t_reading.lines = ini::FindSection(file.text, section);
        if (t_reading.lines.data() == nullptr)
            t_reading.lines = std::string_view(file.text.data(), 0);
    }
    return t_reading.lines;
}

// A file the user made read-only stays as it is, although its directory would let us
// replace it. Root passes every access check, so for root a file without any write
// permission counts as read-only.
bool IsFileWritable(const std::string &path, const struct stat &st)
{
    return ::access(path.c_str(), W_OK) == 0 && (::geteuid() != 0 || (st.st_mode & 0222) != 0);
}

// Atomic replacement where the folder allows it, else a rewrite in place.
bool Store(ProfileFile &file, std::string &&text)
{
    struct stat st = file.st;
    const bool ok = file.result == ReadResult::Missing ? ReplaceFile(file.target, text, nullptr, st)
                    : CanReplace(file.target, file.st) ? ReplaceFile(file.target, text, &file.st, st)
                                                       : RewriteInPlace(file.target, text, st);
    if (!ok)
        return false;
    file.result = ReadResult::Ok;
    file.st = st;
    file.text = std::move(text);
    t_reading.section.clear(); // its lines moved with the text
    t_reading.lines = {};
    return true;
}

} // namespace

ProfileReadScope::ProfileReadScope(const std::string &path)
{
    if (t_reading.depth > 0 && t_reading.path != path)
        return;
    m_bJoined = true;
    if (t_reading.depth++ == 0) {
        t_reading.path = path;
        t_reading.loaded = false;
    }
}

ProfileReadScope::~ProfileReadScope()
{
    if (m_bJoined && --t_reading.depth == 0)
        t_reading = ScopedReading();
}

bool IsProfileFileTooLarge(const std::string &path)
{
    ProfileFile fresh;
    return Current(path, fresh).result == ReadResult::TooLarge;
}

std::string GetPrivateProfileString(const char *section, const char *key, const char *def,
                                    std::size_t size, const std::string &path)
{
    const char *fallback = def ? def : "";
    if (!section || !key)
        return ini::CleanValue(fallback, size);
    ProfileFile fresh;
    const ProfileFile &file = Current(path, fresh);
    std::string_view raw;
    if (file.result != ReadResult::Ok || !ini::FindValue(LinesToSearch(file, path, section), section, key, raw))
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

int WritePrivateProfileKeys(const char *section, const std::vector<ProfileKey> &keys,
                            const std::string &path)
{
    if (!section || path.empty())
        return 0;
    std::vector<ProfileKey> valid;
    for (const ProfileKey &key : keys)
        if (ini::IsWritableName(section, key.key))
            valid.push_back(key);
    const int allValid = valid.size() == keys.size() ? 1 : 0;
    if (valid.empty())
        return 0;
    ProfileFile fresh;
    ProfileFile &file = Current(path, fresh);
    // Never replace a file we could not read: its contents would be lost.
    if (file.result != ReadResult::Ok && file.result != ReadResult::Missing)
        return 0;
    if (file.result == ReadResult::Ok && !IsFileWritable(file.target, file.st))
        return 0;
    std::string updated = ini::SetValues(file.text, section, valid);
    if (file.result == ReadResult::Ok && updated == file.text)
        return allValid;
    return Store(file, std::move(updated)) ? allValid : 0;
}

int WritePrivateProfileString(const char *section, const char *key, const char *value,
                              const std::string &path)
{
    if (!key)
        return 0;
    return WritePrivateProfileKeys(section, {{key, value ? value : ""}}, path);
}

} // namespace plat
