#pragma once
// The parts of the desktop session that the toolkit would use on its own, settled on the main
// thread before it starts.

// False, after one line on standard error, when there is no display to show the window on.
// Otherwise true, with the toolkit kept from starting a session bus of its own when the
// session has none (one it started would outlive the program; without a bus the tray is the
// X server's).
bool PrepareSessionEnvironment();
