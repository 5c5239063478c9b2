#pragma once
// The value text shown beside a series label, and the conversion of a queued sample to the
// integer that is graphed and formatted. Used by the display timer.

#include "CounterSample.h"

#include <cstdint>
#include <string>

// "v unit" below 1024, then "i.ttt Kunit" and "i.ttt Munit" in steps of 1024, with the
// thousandths rounded down. Negative values, which rates never are, are written plainly.
std::string FormatValueText(std::int64_t value, const std::string &unit);

// The sample's value as a 64-bit integer: a long sign-extended, a double truncated toward
// zero and held within the 64-bit range, a 64-bit value as it is. False, and `value`
// untouched, for any other format and for a double that is not a number.
bool SampleToValue(const CounterSample &sample, std::int64_t &value);
