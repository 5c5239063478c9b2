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
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace plat {
namespace {

// Larger files are not settings files we wrote: refused at start-up, never read or written.
constexpr off_t kMaxFileSize = 16 * 1024 * 1024;

enum class ReadResult { Ok, Missing, TooLarge, Unusable };

// One reading of a settings file: where its links led, its status on disk and what it
// holds (a missing file holds nothing, and may be written).
struct ProfileFile {
    std::string target; // empty when the links may not be followed
    ReadResult result = ReadResult::Unusable;
    std::string text;
    struct stat st {};
    bool dirty = false; // `text` waits to be written
};

bool HasText(const ProfileFile &file)
{
    return file.result == ReadResult::Ok || file.result == ReadResult::Missing;
}

// The reading that a ProfileBatch keeps on its thread, with the section found last, so
// that a run of reads from one section looks for it once.
struct Batch {
    int depth = 0;
    std::string path;
    bool loaded = false;
    ProfileFile file;
    std::string section;                   // looked for last
    std::optional<std::string_view> lines; // its lines in file.text; empty when it has none
};
// Made by the outermost ProfileBatch and gone with it. Only a pointer is thread_local, so
// nothing here is destroyed by exit() before the handlers that may still save from inside it
// (the X server gone) have run.
thread_local Batch *t_batch = nullptr;

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

bool IsBatched(const std::string &path)
{
    return t_batch && t_batch->path == path;
}

// The file at `path`: the batch's reading when a batch holds that path, else `fresh`.
ProfileFile &Current(const std::string &path, ProfileFile &fresh)
{
    if (!IsBatched(path)) {
        fresh = ReadProfile(path);
        return fresh;
    }
    if (!t_batch->loaded) {
        t_batch->file = ReadProfile(path);
        t_batch->loaded = true;
    }
    return t_batch->file;
}

// Where to look for keys of `section`: within a batch, the section's lines found once.
std::string_view LinesToSearch(const ProfileFile &file, const std::string &path, const char *section)
{
    if (!IsBatched(path))
        return file.text;
    if (!t_batch->lines || t_batch->section != section) {
        t_batch->section = section;
        t_batch->lines = ini::FindSection(file.text, section);
    }
    return *t_batch->lines;
}

// A file the user made read-only stays as it is, although its directory would let us
// replace it. Root passes every access check, so for root a file without any write
// permission counts as read-only.
bool IsFileWritable(const std::string &path, const struct stat &st)
{
    return ::access(path.c_str(), W_OK) == 0 && (::geteuid() != 0 || (st.st_mode & 0222) != 0);
}

// Atomic replacement where the folder allows it, else a rewrite in place.
bool Store(ProfileFile &file)
{
    struct stat st = file.st;
    const bool ok = file.result == ReadResult::Missing ? ReplaceFile(file.target, file.text, nullptr, st)
                    : CanReplace(file.target, file.st) ? ReplaceFile(file.target, file.text, &file.st, st)
                                                       : RewriteInPlace(file.target, file.text, st);
    if (ok) {
        file.result = ReadResult::Ok;
        file.st = st;
    }
    file.dirty = false;
    return ok;
}

// Sets `keys` of `section` in the file at `path`: one after the other with SetValue
// (`oneByOne`), or in one go with SetValues, which leaves the same text.
int WriteKeys(const char *section, const std::vector<ProfileKey> &keys, const std::string &path,
              bool oneByOne)
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
    if (!HasText(file) || (file.result == ReadResult::Ok && !IsFileWritable(file.target, file.st)))
        return 0;
    bool changed = false;
    if (oneByOne) {
        std::string updated = file.text;
        for (const ProfileKey &key : valid)
            updated = ini::SetValue(updated, section, key.key, key.value);
        changed = updated != file.text;
        file.text = std::move(updated);
    } else {
        changed = ini::SetValues(file.text, section, valid);
    }
    if (!changed)
        return allValid; // a missing file always changes: it gains the section
    file.dirty = true;
    if (t_batch)
        t_batch->lines.reset(); // they moved with the text
    if (IsBatched(path))
        return allValid; // written when the batch closes
    return Store(file) ? allValid : 0;
}

} // namespace

ProfileBatch::ProfileBatch(const std::string &path)
{
    if (t_batch && t_batch->path != path)
        return;
    m_bJoined = true;
    if (!t_batch) {
        t_batch = new Batch();
        t_batch->path = path;
    }
    ++t_batch->depth;
}

ProfileBatch::~ProfileBatch()
{
    if (!m_bJoined || --t_batch->depth > 0)
        return;
    if (t_batch->file.dirty)
        Store(t_batch->file); // as a failed write of each key, a failure leaves the file as it was
    delete std::exchange(t_batch, nullptr);
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
    if (!HasText(file) || !ini::FindValue(LinesToSearch(file, path, section), section, key, raw))
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
    return WriteKeys(section, keys, path, false);
}

int WritePrivateProfileString(const char *section, const char *key, const char *value,
                              const std::string &path)
{
    if (!key)
        return 0;
    return WriteKeys(section, {{key, value ? value : ""}}, path, true);
}

} // namespace plat
