#pragma once
// The current instance names of "Network Interface", in the platform's order: the list the
// first start picks from and the options offer.

#include "CSetSystem.h"
#include "Platform.h"

#include <string>
#include <vector>

using EnumObjectItemsFn = decltype(&plat::EnumObjectItems);

// Empties `list`, then appends every name the platform reports, duplicates included, and
// returns their number; 0 when none could be obtained.
int EnumNetworkInterfaces(std::vector<std::string> &list);

// The same through another source of the object's items (tests use a fake one).
int EnumNetworkInterfaces(std::vector<std::string> &list, EnumObjectItemsFn enumObjectItems);

// The first start's choice when no interface is stored: the first one listed, shown with the
// byte group's first two counters; each section it changes is saved at once. 0 when an
// interface is stored already or none is listed, which leaves the settings alone.
int ChooseFirstInterface(CSetSystem &settings, const std::string &iniPath);
