#pragma once
// corvala-probe --totals: the traffic totals of the monitor's database, read only.

#include <string>

// The database of the monitor that this probe (at `probePath`) belongs to: the monitor is the
// program beside the probe with "-probe" taken out of its name (installed: /usr/bin/corvala),
// or, in a build tree, the one the build made; its database is the one beside its settings
// file, found by the monitor's own rule (~/.config/corvala/corvala.db for /usr/bin/corvala).
std::string DefaultDatabasePath(const std::string &probePath);

// Prints one tab-separated line per interface and period ("today", "month": the billing
// month): name, period, bytes received, bytes sent. The billing month starts on the CAP_DAY
// of the settings file beside the database. 0 on success, 1 when the database cannot be read.
int PrintTotals(const std::string &databasePath);
