#pragma once
// Linux: writing a settings file safely. Where its folder allows, the file is replaced
// atomically: a crash, a kill or a full disk leaves either the old file or the new one,
// never a torn one, and no temporary file piles up. Where it does not, the file is
// rewritten in place, as Windows' own settings functions do.

#include <string>
#include <sys/stat.h>

namespace plat {

enum class LinkResult { Ok, Refused, Unusable };

// The file that `path` names after following symbolic links, dangling ones included, so a
// link to the settings file stays a link. As the kernel's protected_symlinks rule has it,
// a link in a sticky folder that everyone can write (/tmp) is followed only when it is the
// user's own or the folder owner's: Refused otherwise. Unusable for a loop of links.
LinkResult FollowLinks(const std::string &path, std::string &target);

// Whether `target`, whose status is `st`, can be replaced by renaming a new file over it.
bool CanReplace(const std::string &target, const struct stat &st);

// Writes `text` to a temporary file beside `target` and renames it over `target`. `old` is
// the replaced file's status (its mode and owner are kept), or null for a new file, which
// gets the mode that the umask allows. `written` receives the new file's status.
bool ReplaceFile(const std::string &target, const std::string &text, const struct stat *old,
                 struct stat &written);

// Writes `text` over the file at `target`, which must still be the one whose status is `st`,
// then cuts it to that length and flushes it. Room for a longer text is taken first, so a
// full disk fails before anything changed. `st` receives the new status.
bool RewriteInPlace(const std::string &target, const std::string &text, struct stat &st);

} // namespace plat
