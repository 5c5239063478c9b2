#pragma once
// Text handed out in the PDH manner: a size query first, then the caller's buffer.

#include "Platform.h"

#include <string>
#include <string_view>
#include <vector>

namespace plat {

// Copies `text` and a terminating zero into `buffer`; *size gets the length needed.
// PDH_MORE_DATA when no buffer was given or it was too small (nothing is copied then).
PdhStatus DeliverText(std::string_view text, char *buffer, std::uint32_t *size);

// Each name followed by a zero. Delivered with DeliverText, the closing zero that ends the
// list comes on top, so an empty list is a single zero.
std::string JoinItemList(const std::vector<std::string> &names);

} // namespace plat
