#pragma once
// The colour value shared by settings, graph and options: 0x00BBGGRR, red in the low byte.

#include <cstdint>

using ColorRef = std::uint32_t;

constexpr ColorRef MakeRgb(unsigned red, unsigned green, unsigned blue)
{
    return (red & 0xFFu) | (green & 0xFFu) << 8 | (blue & 0xFFu) << 16;
}
constexpr unsigned RedOf(ColorRef color) { return color & 0xFFu; }
constexpr unsigned GreenOf(ColorRef color) { return color >> 8 & 0xFFu; }
constexpr unsigned BlueOf(ColorRef color) { return color >> 16 & 0xFFu; }
