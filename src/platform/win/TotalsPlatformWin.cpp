// Windows: what the traffic totals need: interface octet counters from the IP helper's 64-bit
// per-interface table (not PDH's per-second rates), local time from the C runtime, and paths
// from the ANSI code page in UTF-8.

#include "Platform.h"

#include <winsock2.h>
#include <windows.h>
#include <ws2ipdef.h> // before iphlpapi.h, which declares the 64-bit table only after it
#include <iphlpapi.h>

#include <cstdio>
#include <utility>

namespace plat {
namespace {

// The instance name that "Network Interface" gives the adapter: its description in the
// ANSI code page with the characters that counter paths reserve replaced.
std::string InstanceNameOf(const MIB_IF_ROW2 &row)
{
    char buffer[512] = {};
    if (::WideCharToMultiByte(CP_ACP, 0, row.Description, -1, buffer, sizeof buffer, nullptr, nullptr) <= 0)
        return {};
    std::string name = buffer;
    for (char &c : name) {
        if (c == '(')
            c = '[';
        else if (c == ')')
            c = ']';
        else if (c == '#' || c == '/' || c == '\\')
            c = '_';
    }
    return name;
}

std::string GuidText(const GUID &guid)
{
    char text[40];
    std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                  guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

InterfaceOctets OctetsOf(const MIB_IF_ROW2 &row, const std::string &name)
{
    InterfaceOctets octets;
    octets.identity = GuidText(row.InterfaceGuid);
    octets.name = name;
    octets.instance = row.InterfaceIndex;
    octets.rxBytes = row.InOctets;
    octets.txBytes = row.OutOctets;
    return octets;
}

} // namespace

// The adapters found by name before, so that a cycle asks for each alone.
struct COctetReader::Impl {
    std::vector<std::pair<std::string, NET_LUID>> known;

    int ReadTable(const std::vector<std::string> &names, std::vector<InterfaceOctets> &octets);
    bool ReadKnown(const std::string &name, InterfaceOctets &octets) const;
};

int COctetReader::Impl::ReadTable(const std::vector<std::string> &names, std::vector<InterfaceOctets> &octets)
{
    MIB_IF_TABLE2 *table = nullptr;
    if (::GetIfTable2(&table) != NO_ERROR || !table)
        return 0;
    known.clear();
    for (ULONG i = 0; i < table->NumEntries; ++i) {
        const MIB_IF_ROW2 &row = table->Table[i];
        // Filter drivers repeat their adapter's counts under a name of their own.
        if (row.InterfaceAndOperStatusFlags.FilterInterface)
            continue;
        const std::string name = InstanceNameOf(row);
        known.emplace_back(name, row.InterfaceLuid);
        if (names.empty())
            octets.push_back(OctetsOf(row, name));
    }
    ::FreeMibTable(table);
    return 1;
}

bool COctetReader::Impl::ReadKnown(const std::string &name, InterfaceOctets &octets) const
{
    for (const auto &[knownName, luid] : known) {
        if (knownName != name)
            continue;
        MIB_IF_ROW2 row {};
        row.InterfaceLuid = luid;
        if (::GetIfEntry2(&row) != NO_ERROR || InstanceNameOf(row) != name)
            return false;
        octets = OctetsOf(row, name);
        return true;
    }
    return false;
}

COctetReader::COctetReader() : m_pImpl(std::make_unique<Impl>()) {}

COctetReader::~COctetReader() = default;

int COctetReader::Read(const std::vector<std::string> &names, std::vector<InterfaceOctets> &octets)
{
    octets.clear();
    if (names.empty())
        return m_pImpl->ReadTable(names, octets);
    bool refreshed = false;
    for (const std::string &name : names) {
        InterfaceOctets reading;
        bool found = m_pImpl->ReadKnown(name, reading);
        // An adapter not seen yet, or gone: one look at the whole table per cycle.
        if (!found && !refreshed) {
            refreshed = true;
            std::vector<InterfaceOctets> unused;
            if (!m_pImpl->ReadTable({}, unused))
                return 0;
            found = m_pImpl->ReadKnown(name, reading);
        }
        if (found)
            octets.push_back(std::move(reading));
    }
    return 1;
}

int LocalTimeOf(std::int64_t unixSeconds, std::tm &local)
{
    const std::time_t time = static_cast<std::time_t>(unixSeconds);
    return ::localtime_s(&local, &time) == 0 ? 1 : 0;
}

std::string PathToUtf8(const std::string &path)
{
    const int wide = ::MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(wide > 0 ? wide : 0), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), text.data(), wide);
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

} // namespace plat
