#pragma once
// The text side of our INI store: finding, cleaning and replacing one key's value in the
// contents of a settings file. Pure functions on byte strings, so they can be tested and
// fuzzed without files. Any bytes are accepted; nothing here can fail on bad input.

#include "Platform.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ini {

// Finds `key` in the first section called `section` (both matched case-insensitively; the
// first of duplicate keys wins). On success `raw` is the text after the key's '='.
bool FindValue(std::string_view text, std::string_view section, std::string_view key,
               std::string_view &raw);

// The value as a reader sees it: surrounding white space and one pair of enclosing double
// quotes removed, then cut to at most size - 1 bytes without splitting a UTF-8 character.
std::string CleanValue(std::string_view raw, std::size_t size);

// The lines of the first section called `section`, from its header line up to the next
// section's header line; empty when there is none. FindValue on them finds what it finds on
// the whole text.
std::string_view FindSection(std::string_view text, std::string_view section);

// Whether `section` and `key` can be written without changing the file's structure.
bool IsWritableName(std::string_view section, std::string_view key);

// `text` with `key` of `section` set to `value`: the value is replaced in place, or the key
// (and the section) is added. Every other byte of `text` is kept. A value is cut at its
// first line break or NUL, which would otherwise start a line of its own.
std::string SetValue(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value);

// Sets each of `keys` in `section` of `text` in turn, leaving exactly what SetValue one key
// after the other would make, but going over the text a fixed number of times, however many
// keys there are. Every name must pass IsWritableName. True when the text changed.
bool SetValues(std::string &text, std::string_view section, const std::vector<plat::ProfileKey> &keys);

} // namespace ini
