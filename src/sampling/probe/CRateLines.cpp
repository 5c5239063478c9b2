#include "CRateLines.h"

#include <chrono>
#include <cstdio>

namespace {

// A JSON string: quotes, backslashes and control characters escaped; other bytes as they are.
std::string Quoted(std::string_view text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

} // namespace

bool CRateLines::ParseFormat(std::string_view text, Format &format)
{
    if (text == "tab")
        format = Format::Tab;
    else if (text == "json")
        format = Format::Json;
    else if (text == "waybar")
        format = Format::Waybar;
    else
        return false;
    return true;
}

void CRateLines::Take(int index, std::int64_t value, const std::string &text)
{
    if (index == 0) {
        m_bHaveReceived = true;
        m_nReceived = value;
        m_strReceivedText = text;
    } else if (index == 1 && m_bHaveReceived) {
        m_bHaveReceived = false;
        Print(value, text);
    }
}

void CRateLines::Print(std::int64_t sent, const std::string &sentText) const
{
    const std::string rates = "\xE2\x86\x93 " + m_strReceivedText + " \xE2\x86\x91 " + sentText; // down and up arrows
    if (m_format == Format::Waybar) {
        std::printf("{\"text\":%s,\"tooltip\":%s}\n", Quoted(rates).c_str(), Quoted(m_strInterface + ": " + rates).c_str());
    } else {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        const double seconds = double(std::chrono::duration_cast<std::chrono::milliseconds>(now).count()) / 1000.0;
        std::printf("{\"time\":%.3f,\"interface\":%s,\"received\":%lld,\"sent\":%lld,"
                    "\"received_text\":%s,\"sent_text\":%s}\n",
                    seconds, Quoted(m_strInterface).c_str(), static_cast<long long>(m_nReceived),
                    static_cast<long long>(sent), Quoted(m_strReceivedText).c_str(), Quoted(sentText).c_str());
    }
    std::fflush(stdout);
}
