#pragma once
// The monitor's command line, read on the main thread before the toolkit starts. The monitor
// takes no options of its own beyond --help and --version; the toolkit's own options
// (-platform, -session ...) stay on the command line for the toolkit.

// True: start the monitor. False: the run ends here with `exitStatus`, 0 after --help or
// --version, 2 after an unknown option or argument (with the usage line on standard error).
bool ReadCommandLine(int argc, char **argv, int &exitStatus);
