#pragma once
// Counter paths of the form \\machine\object(parent/instance#index)\counter: building them
// from their elements and taking them apart again. Pure text work, the same on every OS.

#include "Platform.h"

#include <string>
#include <string_view>

namespace plat {

struct CounterPathParts {
    std::string machine;  // empty: the local machine
    std::string object;
    bool hasInstance = false;
    std::string parent;   // empty when the path names none
    std::string instance; // the text in parentheses after the parent, index suffix included
    std::string counter;
};

// The path that `elements` describe. An instance index of 0 or 0xFFFFFFFF (-1 stored as
// unsigned) adds no "#index"; an absent instance name leaves out the parentheses.
std::string FormatCounterPath(const CounterPathElements &elements);

// Splits a path; false when it is not of the form above. The counter name is everything
// after the last backslash and the instance everything inside the outermost parentheses,
// so interface names holding '(', ')' or '\' survive the round trip.
bool ParseCounterPath(std::string_view path, CounterPathParts &parts);

} // namespace plat
