#pragma once
// Linux: replacing a settings file atomically. A crash, a kill or a full disk leaves either
// the old file or the new one, never a torn one, and no temporary file piles up.

#include <string>
#include <sys/stat.h>

namespace plat {

// The file that `path` names after following symbolic links, dangling ones included, so a
// link to the settings file stays a link. Empty for a loop of links.
std::string FollowLinks(const std::string &path);

// Writes `text` to a temporary file beside `target` and renames it over `target`. `old` is
// the replaced file's status (its mode and owner are kept), or null for a new file, which
// gets the mode that the umask allows.
bool ReplaceFile(const std::string &target, const std::string &text, const struct stat *old);

} // namespace plat
