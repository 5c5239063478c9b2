#pragma once
// The operating-system services that the Qt-free core needs, declared once.
// linux/PlatformLinux.cpp (with its helpers) or win/PlatformWin.cpp defines them; CMake
// picks one. Plain types only. Calls in the PDH shape keep PDH's meaning: 0 = success,
// non-zero = status.

#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace plat {

// ---- Operating system and executable --------------------------------------------------

// First thing in a program: the system's libraries are taken from the system's own folder
// alone, never from the executable's folder or the working directory (Windows searches
// those first). Linux: the dynamic loader reads no such folder; nothing to do.
void RestrictLibrarySearch();

struct OsVersion {
    unsigned major = 0;
    unsigned minor = 0;
};

// Non-zero when the version could be queried.
int GetOsVersion(OsVersion &version);

// Whether the program runs on this version (Windows: 2000 or later; Linux: any).
bool IsOsVersionSupported(const OsVersion &version);

// Full path of the running executable; empty when it cannot be obtained.
std::string GetModuleFileName();

// The program's name: the executable's file name without its extension.
std::string GetProgramName(const std::string &modulePath);

// The name after a path's last separator (the whole path when it has none).
std::string GetFileNameOf(const std::string &path);

// The settings file of the executable at `modulePath` (empty when its path is unknown):
// named after the executable, beside it, or in the user's own folder when the executable's
// folder cannot be written.
std::string GetSettingsFilePath(const std::string &modulePath);

// ---- Single-instance lock -------------------------------------------------------------

// The lock's name for the executable (or, when its path is unknown, the settings file) at
// `path`: the path with its separators replaced; on Windows also upper case.
std::string GetInstanceLockName(const std::string &path);

enum class LockResult { Acquired, AlreadyExists, Failed };

// Takes the system-wide lock called `name` and holds it until the process ends.
LockResult CreateInstanceLock(const std::string &name);

// ---- Private profile (INI) store ------------------------------------------------------

// The key's value as a signed decimal integer; `def` when the file, section or key is
// missing or the value is empty.
int GetPrivateProfileInt(const char *section, const char *key, int def, const std::string &path);

// The key's value without surrounding white space and without one pair of quotes that
// encloses it, cut to at most size - 1 bytes; `def` when the file, section or key is missing.
std::string GetPrivateProfileString(const char *section, const char *key, const char *def,
                                    std::size_t size, const std::string &path);

// Creates the file, section or key as needed, or replaces the value in place.
// Non-zero on success; a failure leaves the file as it was.
int WritePrivateProfileString(const char *section, const char *key, const char *value,
                              const std::string &path);

struct ProfileKey {
    std::string key;
    std::string value;
};

// Writes `keys` into `section` in one go, with the result that WritePrivateProfileString
// would have had for each in turn (Linux: one replacement of the file; Windows: the
// system's call per key). Non-zero when every key was written.
int WritePrivateProfileKeys(const char *section, const std::vector<ProfileKey> &keys,
                            const std::string &path);

// While one is open on a thread, that thread's reads of the settings file at `path` go
// through one reading of the file, and its writes change that reading and reach the file
// together, in one write when the outermost batch closes (Linux; on Windows every call goes
// to the system at once). Batches for the same path nest; one for another path opened
// inside changes nothing.
class ProfileBatch {
public:
    explicit ProfileBatch(const std::string &path);
    ~ProfileBatch();
    ProfileBatch(const ProfileBatch &) = delete;
    ProfileBatch &operator=(const ProfileBatch &) = delete;

private:
    bool m_bJoined = false; // counted in the nesting of the open batch
};

// True when the settings file at `path` is larger than the store takes (Linux: 16 MiB);
// such a file is neither read nor written.
bool IsProfileFileTooLarge(const std::string &path);

// Whether new files can be created in `directory`.
bool IsDirectoryWritable(const std::string &directory);

// The per-user configuration directory ($XDG_CONFIG_HOME or ~/.config; %APPDATA% on
// Windows), created with `subdirectory` inside it; empty when there is none.
std::string GetUserConfigDir(const std::string &subdirectory);

// ---- Performance counters (PDH shape) -------------------------------------------------

using PdhStatus = std::uint32_t;
using PdhQuery = void *;
using PdhCounter = void *;

constexpr PdhStatus PDH_OK = 0;
constexpr PdhStatus PDH_CSTATUS_NO_MACHINE = 0x800007D0;
constexpr PdhStatus PDH_CSTATUS_NO_INSTANCE = 0x800007D1;
constexpr PdhStatus PDH_MORE_DATA = 0x800007D2;
constexpr PdhStatus PDH_NO_DATA = 0x800007D5;
constexpr PdhStatus PDH_CALC_NEGATIVE_VALUE = 0x800007D8;
constexpr PdhStatus PDH_CSTATUS_NO_OBJECT = 0xC0000BB8;
constexpr PdhStatus PDH_CSTATUS_NO_COUNTER = 0xC0000BB9;
constexpr PdhStatus PDH_CSTATUS_BAD_COUNTERNAME = 0xC0000BC0;
constexpr PdhStatus PDH_INVALID_HANDLE = 0xC0000BBC;
constexpr PdhStatus PDH_INVALID_ARGUMENT = 0xC0000BBD;
constexpr PdhStatus PDH_MEMORY_ALLOCATION_FAILURE = 0xC0000BBB;
constexpr PdhStatus PDH_INVALID_DATA = 0xC0000BC6;

constexpr std::uint32_t PDH_FMT_LONG = 0x100;
constexpr std::uint32_t PDH_FMT_DOUBLE = 0x200;
constexpr std::uint32_t PDH_FMT_LARGE = 0x400;

constexpr std::uint32_t PERF_DETAIL_WIZARD = 400;

// The object that counts each network interface's traffic, and its ten per-second counters
// in the order the object lists them: Windows has them, the Linux layer makes them.
inline constexpr const char *kNetworkInterfaceObject = "Network Interface";
inline constexpr std::size_t kNetCounterCount = 10;
inline constexpr std::array<const char *, kNetCounterCount> kNetCounterNames = {
    "Bytes Received/sec",
    "Bytes Sent/sec",
    "Bytes Total/sec",
    "Packets Received/sec",
    "Packets Sent/sec",
    "Packets/sec",
    "Packets Received Unicast/sec",
    "Packets Sent Unicast/sec",
    "Packets Received Non-Unicast/sec",
    "Packets Sent Non-Unicast/sec",
};

struct CounterPathElements {
    const char *machineName = nullptr;
    const char *objectName = nullptr;
    const char *instanceName = nullptr;
    const char *parentInstance = nullptr;
    std::uint32_t instanceIndex = 0;
    const char *counterName = nullptr;
};

struct FmtCounterValue {
    std::uint32_t status = 0;
    union {
        std::int32_t longValue;
        double doubleValue;
        std::int64_t largeValue;
    };
};

// Linux: a query reads the network interfaces of the namespace that the thread calling
// OpenQuery is in at that moment, for its whole life. A query and its counters are used by
// one thread at a time.

// With no buffer and *size 0: *size receives the length needed, terminating zero included.
PdhStatus MakeCounterPath(const CounterPathElements *elements, char *buffer, std::uint32_t *size,
                          std::uint32_t flags);
PdhStatus OpenQuery(const char *dataSource, std::uintptr_t userData, PdhQuery *query);
PdhStatus AddCounter(PdhQuery query, const char *path, std::uintptr_t userData,
                     PdhCounter *counter);
PdhStatus CollectQueryData(PdhQuery query);
PdhStatus GetFormattedCounterValue(PdhCounter counter, std::uint32_t format, std::uint32_t *type,
                                   FmtCounterValue *value);
PdhStatus RemoveCounter(PdhCounter counter);
PdhStatus CloseQuery(PdhQuery query);

// Instance and counter names of `objectName`, each list a run of zero-terminated strings
// ended by an empty one. With no buffers and both lengths 0 the lengths needed are reported.
PdhStatus EnumObjectItems(const char *dataSource, const char *machineName, const char *objectName,
                          char *counterList, std::uint32_t *counterLength, char *instanceList,
                          std::uint32_t *instanceLength, std::uint32_t detailLevel,
                          std::uint32_t flags);

// ---- Interface sources ------------------------------------------------------------------
// Names are the "Network Interface" instance names that the counter functions take. On
// Linux each call reads the network namespace that the calling thread is in.

// Every physical interface: one with hardware behind it. Linux: a parent device, the one
// /sys/class/net/NAME/device links to; Windows: an adapter the system flags as a hardware
// interface. Loopback, bridges, veth, tun/tap, WireGuard and other VPNs are left out by
// that rule. Non-zero on success, also when there is none.
int GetPhysicalInterfaces(std::vector<std::string> &names);

// The interface that carries the default route (Linux: the lowest metric, IPv4 before
// IPv6; Windows: the system's best interface toward the internet). Non-zero when there is one.
int GetDefaultRouteInterface(std::string &name);

// Learning cheaply that the default route may have moved: TakeRouteChanges never blocks
// and says whether routes, or the links and addresses they rest on, changed since the
// watch was opened or last asked. OpenRouteWatch gives nullptr when nothing can be
// watched; a null watch says "changed" every time, so its holder asks again each time.
struct RouteWatch;
RouteWatch *OpenRouteWatch();
int TakeRouteChanges(RouteWatch *watch);
void CloseRouteWatch(RouteWatch *watch);

// ---- Interface octet counters and local time ------------------------------------------

// One reading of an interface's cumulative 64-bit octet counters.
struct InterfaceOctets {
    // Stays the same across renames: Linux: the permanent hardware address ("52:54:00:..")
    // when the interface has one, else its name; Windows: its GUID ("{...}").
    std::string identity;
    std::string name;           // the current name, as the counters' instances are named
    std::uint64_t instance = 0; // changes when the interface is re-created (its index)
    std::uint64_t rxBytes = 0;
    std::uint64_t txBytes = 0;
};

// Reads the octet counters of network interfaces, used by one thread at a time. Linux: it
// reads the network namespace that the thread constructing it was in.
class COctetReader {
public:
    COctetReader();
    ~COctetReader();
    COctetReader(const COctetReader &) = delete;
    COctetReader &operator=(const COctetReader &) = delete;

    // The interfaces called `names` that exist now, in that order (every interface when
    // `names` is empty). Non-zero on success; 0 when the counters could not be read at all.
    int Read(const std::vector<std::string> &names, std::vector<InterfaceOctets> &octets);

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};

// The local calendar time of `unixSeconds` in the process's time zone (TZ on Linux).
// Non-zero on success.
int LocalTimeOf(std::int64_t unixSeconds, std::tm &local);

// A path of ours (Windows: in the ANSI code page) in UTF-8, as SQLite and std::filesystem's
// u8 paths take it; Linux paths pass unchanged.
std::string PathToUtf8(const std::string &path);

} // namespace plat
