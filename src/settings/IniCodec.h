#pragma once
// Reading and writing one key of the settings file as an integer, a string or a colour.
// Stateless: every call goes to the file. A read of a missing key writes the caller's
// default back, so after the first start every known key stands in the file. Each
// operation comes twice: on one key alone, and on a section that reads and writes a run of
// keys in one go (CIniSection), which leaves the file as the one-key calls would.

#include "CIniSection.h"
#include "ColorRef.h"

#include <string>

inline constexpr const char *kIniAbsent = "%NULL%";  // passed as the default of string reads
inline constexpr const char *kIniBlank = "%BLANK%";  // stands for an empty string in the file
inline constexpr int kIniBufferSize = 260;
inline constexpr ColorRef kIniColorMarker = 0xFEFEFE;

int ReadIniInt(const char *section, const char *key, int def, int missing, const std::string &path);
std::string ReadIniString(const char *section, const char *key, const std::string &fallback,
                          const std::string &absent, const std::string &path, int size);
ColorRef ReadIniColor(const char *section, const char *key, ColorRef def, ColorRef marker,
                      const std::string &path);

void WriteIniInt(const char *section, const char *key, int value, const std::string &path);
void WriteIniString(const char *section, const char *key, const std::string &text,
                    const std::string &path);
void WriteIniColor(const char *section, const char *key, ColorRef color, const std::string &path);

int ReadIniInt(CIniSection &ini, const char *key, int def, int missing);
std::string ReadIniString(CIniSection &ini, const char *key, const std::string &fallback,
                          const std::string &absent, int size);
ColorRef ReadIniColor(CIniSection &ini, const char *key, ColorRef def, ColorRef marker);

// Reads an integer key without writing anything back: non-zero, with `value` set, only when
// the key holds a whole decimal integer (a comment after it allowed); 0 for a missing key
// or any other text, and `value` is left alone.
int PeekIniInt(CIniSection &ini, const char *key, int &value);

void WriteIniInt(CIniSection &ini, const char *key, int value);
void WriteIniString(CIniSection &ini, const char *key, const std::string &text);
void WriteIniColor(CIniSection &ini, const char *key, ColorRef color);
