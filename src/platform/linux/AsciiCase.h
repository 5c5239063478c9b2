#pragma once
// Names matched without regard to case, as the system matches object, counter, section and
// key names: only ASCII letters fold, so multibyte UTF-8 sequences compare byte for byte.

#include <algorithm>
#include <string_view>

namespace plat {

constexpr char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

} // namespace plat
