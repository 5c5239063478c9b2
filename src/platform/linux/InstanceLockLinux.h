#pragma once
// Linux: where the single-instance lock files live.

#include <string>

namespace plat {

// This user's folder for lock files, ~/.local/state/corvala-locks under the home folder that
// the user database gives the user id: every environment the program is started from
// (another shell, su, ssh, cron, a session that ends) finds the same one, and nothing that
// comes, goes or is cleaned up around the program moves it. Made 0700 and checked to be the
// user's and closed to everyone else; empty when it is not.
std::string InstanceLockDirectory();

} // namespace plat
