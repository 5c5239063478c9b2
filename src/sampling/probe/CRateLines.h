#pragma once
// The probe's output for status bars: each sampling cycle's received and sent byte rates as
// one line of JSON, flushed at once, in the probe's own form or in waybar's.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

class CRateLines {
public:
    enum class Format { Tab, Json, Waybar };

    // "tab", "json" or "waybar"; false for anything else.
    static bool ParseFormat(std::string_view text, Format &format);

    CRateLines(Format format, std::string interface) : m_format(format), m_strInterface(std::move(interface)) {}

    // Whether the samples go here rather than to the tab-separated lines.
    bool Wanted() const { return m_format != Format::Tab; }

    // Takes the sample of counter `index` with its value and value text; the cycle's line is
    // printed when its sent rate (counter 1) comes after its received rate (counter 0).
    void Take(int index, std::int64_t value, const std::string &text);

private:
    void Print(std::int64_t sent, const std::string &sentText) const;

    Format m_format;
    std::string m_strInterface;
    bool m_bHaveReceived = false;
    std::int64_t m_nReceived = 0;
    std::string m_strReceivedText;
};
