#pragma once
// When the billing month's traffic calls for a warning against a monthly cap.

#include <cstdint>

// The warning level that `used` bytes have reached against a cap of `capMib` MiB: 100 at the
// cap or beyond, 80 from 80 % of it, 0 below that or without a cap (capMib <= 0).
int CapLevelOf(std::uint64_t used, int capMib);
