// A stand-in for pdh.dll under Wine, whose own has no "Network Interface" object: it serves
// that object for the host's interfaces from Z:\sys\class\net (the Linux kernel's counters
// seen through Wine's drive Z:), so the Windows program's whole counter path can be tested
// with real traffic on loopback. Only the functions the program imports are here.

#include <windows.h>
#include <pdh.h>
#include <pdhmsg.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kObject[] = "Network Interface";
const char *const kCounters[] = {
    "Bytes Received/sec", "Bytes Sent/sec", "Bytes Total/sec", "Packets Received/sec",
    "Packets Sent/sec", "Packets/sec", "Packets Received Unicast/sec", "Packets Sent Unicast/sec",
    "Packets Received Non-Unicast/sec", "Packets Sent Non-Unicast/sec"};
constexpr int kCounterCount = 10;

struct Stats {
    double rxBytes = 0, txBytes = 0, rxPackets = 0, txPackets = 0, multicast = 0;
};

struct Query;

struct Counter {
    Query *owner = nullptr;
    std::string instance;
    int which = 0;
    int readings = 0;
    Stats previous, current;
    LONGLONG previousTime = 0, currentTime = 0;
};

struct Query {
    std::vector<Counter *> counters;
};

std::string NetDir()
{
    return "Z:\\sys\\class\\net\\";
}

bool ReadNumber(const std::string &path, double &value)
{
    FILE *file = std::fopen(path.c_str(), "r");
    if (!file)
        return false;
    unsigned long long number = 0;
    const bool ok = std::fscanf(file, "%llu", &number) == 1;
    std::fclose(file);
    value = static_cast<double>(number);
    return ok;
}

bool ReadStats(const std::string &instance, Stats &stats)
{
    const std::string dir = NetDir() + instance + "\\statistics\\";
    return ReadNumber(dir + "rx_bytes", stats.rxBytes) && ReadNumber(dir + "tx_bytes", stats.txBytes)
           && ReadNumber(dir + "rx_packets", stats.rxPackets) && ReadNumber(dir + "tx_packets", stats.txPackets)
           && ReadNumber(dir + "multicast", stats.multicast);
}

double Value(const Stats &s, int which)
{
    const double values[kCounterCount] = {s.rxBytes, s.txBytes, s.rxBytes + s.txBytes, s.rxPackets,
                                          s.txPackets, s.rxPackets + s.txPackets, s.rxPackets - s.multicast,
                                          s.txPackets, s.multicast, 0};
    return values[which];
}

std::vector<std::string> Instances()
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((NetDir() + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (entry.cFileName[0] != '.')
            names.push_back(entry.cFileName);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return names;
}

// A run of zero-terminated strings ended by an empty one, into a caller's buffer of
// `*length` characters; the length needed when the buffer is missing or short.
bool FillList(const std::vector<std::string> &items, LPSTR buffer, LPDWORD length)
{
    std::string list;
    for (const std::string &item : items)
        list += item + '\0';
    list += '\0';
    const bool fits = buffer && *length >= list.size();
    if (fits)
        std::memcpy(buffer, list.data(), list.size());
    *length = static_cast<DWORD>(list.size());
    return fits;
}

LONGLONG Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

} // namespace

extern "C" {

PDH_FUNCTION PdhEnumObjectItemsA(LPCSTR, LPCSTR, LPCSTR object, LPSTR counters, LPDWORD counterLength,
                                 LPSTR instances, LPDWORD instanceLength, DWORD, DWORD)
{
    if (!object || std::strcmp(object, kObject) != 0)
        return PDH_CSTATUS_NO_OBJECT;
    if (!counterLength || !instanceLength)
        return PDH_INVALID_ARGUMENT;
    const bool countersFit = FillList(std::vector<std::string>(kCounters, kCounters + kCounterCount),
                                      counters, counterLength);
    const bool instancesFit = FillList(Instances(), instances, instanceLength);
    return countersFit && instancesFit ? ERROR_SUCCESS : PDH_MORE_DATA;
}

PDH_FUNCTION PdhMakeCounterPathA(PPDH_COUNTER_PATH_ELEMENTS_A e, LPSTR buffer, LPDWORD size, DWORD)
{
    if (!e || !size || !e->szObjectName || !e->szCounterName)
        return PDH_INVALID_ARGUMENT;
    std::string path = std::string("\\") + e->szObjectName;
    if (e->szInstanceName) {
        path += std::string("(") + e->szInstanceName;
        if (e->dwInstanceIndex != 0 && e->dwInstanceIndex != static_cast<DWORD>(-1))
            path += "#" + std::to_string(e->dwInstanceIndex);
        path += ")";
    }
    path += std::string("\\") + e->szCounterName;
    const bool fits = buffer && *size > path.size();
    if (fits)
        std::memcpy(buffer, path.c_str(), path.size() + 1);
    *size = static_cast<DWORD>(path.size() + 1);
    return fits ? ERROR_SUCCESS : PDH_MORE_DATA;
}

PDH_FUNCTION PdhOpenQueryA(LPCSTR, DWORD_PTR, PDH_HQUERY *query)
{
    if (!query)
        return PDH_INVALID_ARGUMENT;
    *query = new Query;
    return ERROR_SUCCESS;
}

PDH_FUNCTION PdhAddCounterA(PDH_HQUERY query, LPCSTR path, DWORD_PTR, PDH_HCOUNTER *counter)
{
    if (!query || !path || !counter)
        return PDH_INVALID_ARGUMENT;
    *counter = nullptr;
    const std::string text = path;
    const std::string prefix = std::string("\\") + kObject + "(";
    const auto close = text.rfind(")\\");
    if (text.compare(0, prefix.size(), prefix) != 0 || close == std::string::npos || close < prefix.size())
        return PDH_CSTATUS_NO_OBJECT;
    auto *added = new Counter;
    added->owner = static_cast<Query *>(query);
    added->instance = text.substr(prefix.size(), close - prefix.size());
    const std::string name = text.substr(close + 2);
    added->which = -1;
    for (int i = 0; i < kCounterCount; ++i)
        if (_stricmp(name.c_str(), kCounters[i]) == 0)
            added->which = i;
    Stats probe;
    const PDH_STATUS status = added->which < 0 ? PDH_CSTATUS_NO_COUNTER
                              : !ReadStats(added->instance, probe) ? PDH_CSTATUS_NO_INSTANCE
                                                                   : ERROR_SUCCESS;
    if (status != ERROR_SUCCESS) {
        delete added;
        return status;
    }
    static_cast<Query *>(query)->counters.push_back(added);
    *counter = added;
    return ERROR_SUCCESS;
}

PDH_FUNCTION PdhCollectQueryData(PDH_HQUERY query)
{
    if (!query)
        return PDH_INVALID_HANDLE;
    const LONGLONG now = Now();
    for (Counter *counter : static_cast<Query *>(query)->counters) {
        Stats stats;
        if (!ReadStats(counter->instance, stats)) {
            counter->readings = 0; // gone: no value until two readings again
            continue;
        }
        counter->previous = counter->current;
        counter->previousTime = counter->currentTime;
        counter->current = stats;
        counter->currentTime = now;
        ++counter->readings;
    }
    return ERROR_SUCCESS;
}

PDH_FUNCTION PdhGetFormattedCounterValue(PDH_HCOUNTER handle, DWORD format, LPDWORD type,
                                         PPDH_FMT_COUNTERVALUE value)
{
    if (!handle || !value)
        return PDH_INVALID_ARGUMENT;
    const auto *counter = static_cast<const Counter *>(handle);
    if (type)
        *type = 0;
    if (counter->readings < 2 || counter->currentTime <= counter->previousTime) {
        value->CStatus = PDH_CSTATUS_INVALID_DATA;
        return PDH_INVALID_DATA;
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    const double seconds = double(counter->currentTime - counter->previousTime) / double(frequency.QuadPart);
    const double delta = Value(counter->current, counter->which) - Value(counter->previous, counter->which);
    const double rate = delta < 0 ? 0 : delta / seconds;
    value->CStatus = PDH_CSTATUS_VALID_DATA;
    if (format & PDH_FMT_LONG)
        value->longValue = static_cast<LONG>(std::llround(std::fmin(rate, 2147483647.0)));
    else if (format & PDH_FMT_DOUBLE)
        value->doubleValue = rate;
    else if (format & PDH_FMT_LARGE)
        value->largeValue = std::llround(rate);
    else
        return PDH_INVALID_ARGUMENT;
    return ERROR_SUCCESS;
}

PDH_FUNCTION PdhRemoveCounter(PDH_HCOUNTER handle)
{
    if (!handle)
        return PDH_INVALID_HANDLE;
    auto *counter = static_cast<Counter *>(handle);
    std::erase(counter->owner->counters, counter);
    delete counter;
    return ERROR_SUCCESS;
}

PDH_FUNCTION PdhCloseQuery(PDH_HQUERY handle)
{
    if (!handle)
        return PDH_INVALID_HANDLE;
    auto *query = static_cast<Query *>(handle);
    for (Counter *counter : query->counters)
        delete counter;
    delete query;
    return ERROR_SUCCESS;
}

} // extern "C"
