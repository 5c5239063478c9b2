#pragma once
// The value text shown beside a series label, and the conversion of a queued sample to the
// integer that is graphed and formatted. Used by the graph's feeder.

#include "CounterSample.h"

#include <cstdint>
#include <string>

class CSetExtra;

// How rates are written: bytes or bits, steps of 1024 or 1000, decimals after a step.
struct ValueTextOptions {
    bool bits = false; // byte counters ("B/s") shown as 8 x the value in "bit/s"
    int base = 1024;   // 1024 (K, M) or 1000 (k, M, G)
    int decimals = 3;  // 0 to 3, rounded down
    bool IsDefault() const { return !bits && base == 1024 && decimals == 3; }
};

// RATE_UNIT, RATE_BASE and RATE_DECIMALS as they stand in `extra`.
ValueTextOptions ValueTextOptionsOf(const CSetExtra &extra);

// "v unit" below 1024, then "i.ttt Kunit" and "i.ttt Munit" in steps of 1024, with the
// thousandths rounded down. Negative values, which rates never are, are written plainly.
std::string FormatValueText(std::int64_t value, const std::string &unit);

// The same with the readout options; for the defaults exactly the text above. With any
// option on, a G step follows M.
std::string FormatValueText(std::int64_t value, const std::string &unit, const ValueTextOptions &options);

// A count of bytes (a traffic total) in the options' base and decimals, up to T steps, and
// always in bytes: "1.500 KB", "12.25 GB". Bits mode is for rates only.
std::string FormatByteCount(std::uint64_t bytes, const ValueTextOptions &options);

// The graph takes 32-bit values. With bytes in steps of 1024 it plots the rates themselves
// and saturates, as it always did; with bits or steps of 1000 a byte counter is plotted in
// units of the step (kbit/s, kB/s ...), so that 100 Gbit/s stays on the scale.
std::int64_t GraphUnitDivisor(const std::string &unit, const ValueTextOptions &options);
std::int32_t GraphValue(std::int64_t value, const std::string &unit, const ValueTextOptions &options);

// The text of a value read off the graph (its top, a point under the pointer), in the
// chosen units: `graphValue` is in the graph's units, as GraphValue made it.
std::string FormatGraphValueText(std::int64_t graphValue, const std::string &unit,
                                 const ValueTextOptions &options);

// The sample's value as a 64-bit integer: a long sign-extended, a double truncated toward
// zero and held within the 64-bit range, a 64-bit value as it is. False, and `value`
// untouched, for any other format and for a double that is not a number.
bool SampleToValue(const CounterSample &sample, std::int64_t &value);
