#include "IniCodec.h"

#include <charconv>
#include <climits>
#include <cstdio>
#include <string_view>

namespace {

constexpr std::string_view kTrailingBlanks = " \t\n\v\f\r";

// Comments after a value: ";" and then "//", each only when it is not the first character.
void CutComments(std::string &value)
{
    for (const std::string_view marker : {std::string_view(";"), std::string_view("//")}) {
        const auto at = value.find(marker);
        if (at != std::string::npos && at > 0)
            value.erase(at);
    }
}

void TrimTrailingBlanks(std::string &value)
{
    const auto last = value.find_last_not_of(kTrailingBlanks);
    value.erase(last == std::string::npos ? 0 : last + 1);
}

// Leading white space, an optional sign, digits up to the first other character; 0 when
// there are no digits. Out-of-range numbers saturate (only their low byte is kept later).
long long LeadingDecimal(std::string_view piece)
{
    std::size_t pos = piece.find_first_not_of(" \t\n\v\f\r");
    if (pos == std::string_view::npos)
        return 0;
    const bool negative = piece[pos] == '-';
    if (negative || piece[pos] == '+')
        ++pos;
    // Unsigned, so that no second sign is taken: "--5" has no digits after its sign.
    unsigned long long number = 0;
    const char *first = piece.data() + pos;
    const auto [end, error] = std::from_chars(first, piece.data() + piece.size(), number);
    if (end == first)
        return 0;
    const long long magnitude = error == std::errc::result_out_of_range || number > LLONG_MAX
                                    ? LLONG_MAX
                                    : static_cast<long long>(number);
    return negative ? -magnitude : magnitude;
}

// Takes the text up to the next comma (or all that is left) off the front of `rest`.
long long NextColorPiece(std::string_view &rest)
{
    const auto comma = rest.find(',');
    const std::string_view piece = rest.substr(0, comma);
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    return piece.empty() ? -1 : LeadingDecimal(piece);
}

std::string ColorText(ColorRef color)
{
    char text[48];
    std::snprintf(text, sizeof text, "\"%u, %u, %u\"", RedOf(color), GreenOf(color), BlueOf(color));
    return text;
}

} // namespace

int ReadIniInt(CIniSection &ini, const char *key, int def, int missing)
{
    const int value = ini.GetInt(key, missing);
    if (value != missing)
        return value;
    WriteIniInt(ini, key, def);
    return def;
}

std::string ReadIniString(CIniSection &ini, const char *key, const std::string &fallback,
                          const std::string &absent, int size)
{
    std::string value = ini.GetString(key, absent.c_str(), size > 0 ? static_cast<std::size_t>(size) : 0);
    const auto open = value.find('"');
    if (open != std::string::npos) {
        const auto close = value.find('"', open + 1);
        if (close != std::string::npos)
            value = value.substr(open + 1, close - open - 1);
    }
    if (value.empty() || value == absent) {
        ini.Put(key, fallback);
        value = fallback;
    }
    CutComments(value);
    TrimTrailingBlanks(value);
    return value;
}

ColorRef ReadIniColor(CIniSection &ini, const char *key, ColorRef def, ColorRef marker)
{
    std::string text = ini.GetString(key, kIniAbsent, kIniBufferSize);
    if (text.empty() || text == kIniAbsent) {
        ini.Put(key, ColorText(def));
        return def;
    }
    CutComments(text);
    TrimTrailingBlanks(text);

    std::string_view rest = text;
    ColorRef color = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        long long component = NextColorPiece(rest);
        if (component == static_cast<long long>(marker >> shift & 0xFF))
            component = def >> shift & 0xFF;
        color |= (static_cast<ColorRef>(component) & 0xFF) << shift;
    }
    return color;
}

void WriteIniInt(CIniSection &ini, const char *key, int value)
{
    ini.Put(key, std::to_string(value));
}

void WriteIniString(CIniSection &ini, const char *key, const std::string &text)
{
    if (!ini.Section() || ini.Path().empty())
        return;
    ini.Put(key, "\"" + text + "\"");
}

void WriteIniColor(CIniSection &ini, const char *key, ColorRef color)
{
    if (!ini.Section() || ini.Path().empty())
        return;
    ini.Put(key, ColorText(color));
}

// One key alone: a section of its own, written at once.

int ReadIniInt(const char *section, const char *key, int def, int missing, const std::string &path)
{
    CIniSection ini(section, path);
    const int value = ReadIniInt(ini, key, def, missing);
    ini.Commit();
    return value;
}

std::string ReadIniString(const char *section, const char *key, const std::string &fallback,
                          const std::string &absent, const std::string &path, int size)
{
    CIniSection ini(section, path);
    std::string value = ReadIniString(ini, key, fallback, absent, size);
    ini.Commit();
    return value;
}

ColorRef ReadIniColor(const char *section, const char *key, ColorRef def, ColorRef marker,
                      const std::string &path)
{
    CIniSection ini(section, path);
    const ColorRef color = ReadIniColor(ini, key, def, marker);
    ini.Commit();
    return color;
}

int PeekIniInt(CIniSection &ini, const char *key, int &value)
{
    std::string text = ini.GetString(key, kIniAbsent, kIniBufferSize);
    if (text == kIniAbsent)
        return 0;
    CutComments(text);
    TrimTrailingBlanks(text);
    int number = 0;
    const char *end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    if (text.empty() || error != std::errc() || stop != end)
        return 0;
    value = number;
    return 1;
}

void WriteIniInt(const char *section, const char *key, int value, const std::string &path)
{
    CIniSection ini(section, path);
    WriteIniInt(ini, key, value);
    ini.Commit();
}

void WriteIniString(const char *section, const char *key, const std::string &text,
                    const std::string &path)
{
    CIniSection ini(section, path);
    WriteIniString(ini, key, text);
    ini.Commit();
}

void WriteIniColor(const char *section, const char *key, ColorRef color, const std::string &path)
{
    CIniSection ini(section, path);
    WriteIniColor(ini, key, color);
    ini.Commit();
}
