// Windows: the hardware adapters, the best interface toward the internet and a watch on
// routes, from the IP helper; each adapter named as the "Network Interface" counters name it.

#include "Platform.h"

#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <iphlpapi.h>
#include <netioapi.h>

#include <algorithm>
#include <atomic>
#include <memory>

namespace plat {

struct RouteWatch {
    HANDLE routes = nullptr;
    HANDLE interfaces = nullptr;
    std::atomic<bool> changed {false}; // set by the IP helper's own thread
};

namespace {

struct MibTableFree {
    void operator()(MIB_IF_TABLE2 *table) const { ::FreeMibTable(table); }
};

// The counters name an adapter after its description, with the characters that would
// break a counter path replaced. Replaced before the conversion to the ANSI code page,
// where a backslash byte can be the second half of a double-byte character.
std::string CounterInstanceName(const WCHAR *description)
{
    std::wstring wide(description, ::wcsnlen(description, IF_MAX_STRING_SIZE + 1));
    for (WCHAR &c : wide) {
        if (c == L'(')
            c = L'[';
        else if (c == L')')
            c = L']';
        else if (c == L'#' || c == L'/' || c == L'\\')
            c = L'_';
    }
    const int wideLength = static_cast<int>(wide.size());
    const int length = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string name(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        ::WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, name.data(), length, nullptr, nullptr);
    return name;
}

// Filter drivers stacked on an adapter share its hardware flag but are not adapters.
bool IsHardwareAdapter(const MIB_IF_ROW2 &row)
{
    return row.InterfaceAndOperStatusFlags.HardwareInterface && !row.InterfaceAndOperStatusFlags.FilterInterface;
}

// Addresses reserved for documentation: no route is more specific for them than the
// default one, and nothing is sent to them, since the lookup only reads the routing table.
bool BestInterface(NET_IFINDEX &index)
{
    sockaddr_in v4 {};
    v4.sin_family = AF_INET;
    v4.sin_addr.S_un.S_un_b = {192, 0, 2, 1};
    sockaddr_in6 v6 {};
    v6.sin6_family = AF_INET6;
    v6.sin6_addr.u.Byte[0] = 0x20;
    v6.sin6_addr.u.Byte[1] = 0x01;
    v6.sin6_addr.u.Byte[2] = 0x0D;
    v6.sin6_addr.u.Byte[3] = 0xB8;
    v6.sin6_addr.u.Byte[15] = 1;
    DWORD found = 0;
    if (::GetBestInterfaceEx(reinterpret_cast<sockaddr *>(&v4), &found) != NO_ERROR
        && ::GetBestInterfaceEx(reinterpret_cast<sockaddr *>(&v6), &found) != NO_ERROR)
        return false;
    index = found;
    return true;
}

void WINAPI OnRouteChange(PVOID context, PMIB_IPFORWARD_ROW2, MIB_NOTIFICATION_TYPE)
{
    static_cast<RouteWatch *>(context)->changed = true;
}

void WINAPI OnInterfaceChange(PVOID context, PMIB_IPINTERFACE_ROW, MIB_NOTIFICATION_TYPE)
{
    static_cast<RouteWatch *>(context)->changed = true;
}

} // namespace

int GetPhysicalInterfaces(std::vector<std::string> &names)
{
    names.clear();
    MIB_IF_TABLE2 *raw = nullptr;
    if (::GetIfTable2(&raw) != NO_ERROR)
        return 0;
    const std::unique_ptr<MIB_IF_TABLE2, MibTableFree> table(raw);
    for (ULONG i = 0; i < table->NumEntries; ++i) {
        if (!IsHardwareAdapter(table->Table[i]))
            continue;
        std::string name = CounterInstanceName(table->Table[i].Description);
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(std::move(name));
    }
    return 1;
}

int GetDefaultRouteInterface(std::string &name)
{
    MIB_IF_ROW2 row {};
    if (!BestInterface(row.InterfaceIndex) || ::GetIfEntry2(&row) != NO_ERROR)
        return 0;
    std::string found = CounterInstanceName(row.Description);
    if (found.empty())
        return 0;
    name = std::move(found);
    return 1;
}

RouteWatch *OpenRouteWatch()
{
    auto watch = std::make_unique<RouteWatch>();
    if (::NotifyRouteChange2(AF_UNSPEC, OnRouteChange, watch.get(), FALSE, &watch->routes) != NO_ERROR)
        return nullptr;
    // An adapter that connects or drops changes the best interface without a route change.
    if (::NotifyIpInterfaceChange(AF_UNSPEC, OnInterfaceChange, watch.get(), FALSE, &watch->interfaces) != NO_ERROR) {
        ::CancelMibChangeNotify2(watch->routes);
        return nullptr;
    }
    return watch.release();
}

int TakeRouteChanges(RouteWatch *watch)
{
    return !watch || watch->changed.exchange(false) ? 1 : 0;
}

void CloseRouteWatch(RouteWatch *watch)
{
    if (!watch)
        return;
    // Returns once no callback runs any more, so the watch can go.
    ::CancelMibChangeNotify2(watch->routes);
    ::CancelMibChangeNotify2(watch->interfaces);
    delete watch;
}

} // namespace plat
