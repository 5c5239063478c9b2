#pragma once
// Linux: where the single-instance lock files live.

#include <string>

namespace plat {

// This user's directory for lock files, derived from the user id alone, so that every
// environment the program is started from (another shell, su, ssh, cron) finds the same one:
// /run/user/UID when it is private, else /tmp/corvala-UID, else one under the home
// directory. Empty when none of them is ours and closed to others.
std::string InstanceLockDirectory();

} // namespace plat
