// Windows: every service is the system's own; this file only adapts the types.

#include "Platform.h"
#include "StartupRules.h"

#include <windows.h>
#include <pdh.h>
#include <shlobj.h>

#include <vector>

// windows.h maps these names onto its A and W functions; here they name ours.
#undef GetModuleFileName
#undef GetPrivateProfileInt
#undef GetPrivateProfileString
#undef WritePrivateProfileString

namespace {

// Paths come in the system's ANSI code page, whose double-byte characters (cp932) may end
// in a byte that looks like a backslash or a letter.
bool IsAnsiLeadByte(unsigned char byte)
{
    return ::IsDBCSLeadByte(byte) != FALSE;
}

} // namespace

namespace plat {

int GetOsVersion(OsVersion &version)
{
    OSVERSIONINFOA info {};
    info.dwOSVersionInfoSize = sizeof info;
#ifdef _MSC_VER
#pragma warning(suppress : 4996) // deprecated, but it is the version query we need
#endif
    if (!::GetVersionExA(&info))
        return 0;
    version.major = info.dwMajorVersion;
    version.minor = info.dwMinorVersion;
    return 1;
}

bool IsOsVersionSupported(const OsVersion &version)
{
    return IsWindowsVersionSupported(version.major);
}

std::string GetModuleFileName()
{
    char buffer[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return std::string(buffer, length < MAX_PATH ? length : 0);
}

std::string GetProgramName(const std::string &modulePath)
{
    return MakeAppName(modulePath, kWindowsSeparators, IsAnsiLeadByte);
}

std::string GetFileNameOf(const std::string &path)
{
    return FileNameOf(path, kWindowsSeparators, IsAnsiLeadByte);
}

std::string GetSettingsFilePath(const std::string &modulePath)
{
    const bool writable = !modulePath.empty()
                          && IsDirectoryWritable(DirectoryOf(modulePath, kWindowsSeparators, IsAnsiLeadByte));
    return MakeWindowsIniPath(modulePath, writable, writable ? std::string() : GetUserConfigDir("Corvala"),
                              IsAnsiLeadByte);
}

std::string GetInstanceLockName(const std::string &path)
{
    return MakeWindowsLockName(path, IsAnsiLeadByte);
}

LockResult CreateInstanceLock(const std::string &name)
{
    HANDLE mutex = ::CreateMutexA(nullptr, FALSE, name.c_str());
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        if (mutex)
            ::CloseHandle(mutex);
        return LockResult::AlreadyExists;
    }
    return mutex ? LockResult::Acquired : LockResult::Failed; // held until the process ends
}

int GetPrivateProfileInt(const char *section, const char *key, int def, const std::string &path)
{
    return static_cast<int>(::GetPrivateProfileIntA(section, key, def, path.c_str()));
}

std::string GetPrivateProfileString(const char *section, const char *key, const char *def,
                                    std::size_t size, const std::string &path)
{
    std::vector<char> buffer(size ? size : 1, '\0');
    const DWORD length = ::GetPrivateProfileStringA(section, key, def, buffer.data(),
                                                    static_cast<DWORD>(buffer.size()), path.c_str());
    return std::string(buffer.data(), length);
}

int WritePrivateProfileString(const char *section, const char *key, const char *value,
                              const std::string &path)
{
    return ::WritePrivateProfileStringA(section, key, value, path.c_str()) ? 1 : 0;
}

// The system's functions cache the file themselves: one call per key, no reading of our own.
int WritePrivateProfileKeys(const char *section, const std::vector<ProfileKey> &keys,
                            const std::string &path)
{
    int all = 1;
    for (const ProfileKey &key : keys)
        all &= WritePrivateProfileString(section, key.key.c_str(), key.value.c_str(), path);
    return all;
}

ProfileBatch::ProfileBatch(const std::string &) {}
ProfileBatch::~ProfileBatch() = default;

bool IsProfileFileTooLarge(const std::string &)
{
    return false;
}

bool IsDirectoryWritable(const std::string &directory)
{
    const std::string probe = directory + "\\corvala-probe.tmp";
    HANDLE file = ::CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(file);
    return true;
}

std::string GetUserConfigDir(const std::string &subdirectory)
{
    char base[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, base)))
        return {};
    const std::string dir = std::string(base) + "\\" + subdirectory;
    ::CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

PdhStatus MakeCounterPath(const CounterPathElements *elements, char *buffer, std::uint32_t *size,
                          std::uint32_t flags)
{
    if (!elements || !size)
        return PDH_INVALID_ARGUMENT;
    PDH_COUNTER_PATH_ELEMENTS_A native {};
    native.szMachineName = const_cast<LPSTR>(elements->machineName);
    native.szObjectName = const_cast<LPSTR>(elements->objectName);
    native.szInstanceName = const_cast<LPSTR>(elements->instanceName);
    native.szParentInstance = const_cast<LPSTR>(elements->parentInstance);
    native.dwInstanceIndex = elements->instanceIndex;
    native.szCounterName = const_cast<LPSTR>(elements->counterName);
    DWORD length = *size;
    const PDH_STATUS status = ::PdhMakeCounterPathA(&native, buffer, &length, flags);
    *size = length;
    return static_cast<PdhStatus>(status);
}

PdhStatus OpenQuery(const char *dataSource, std::uintptr_t userData, PdhQuery *query)
{
    PDH_HQUERY handle = nullptr;
    const PDH_STATUS status = ::PdhOpenQueryA(dataSource, userData, &handle);
    *query = handle;
    return static_cast<PdhStatus>(status);
}

PdhStatus AddCounter(PdhQuery query, const char *path, std::uintptr_t userData, PdhCounter *counter)
{
    PDH_HCOUNTER handle = nullptr;
    const PDH_STATUS status = ::PdhAddCounterA(static_cast<PDH_HQUERY>(query), path, userData, &handle);
    *counter = handle;
    return static_cast<PdhStatus>(status);
}

PdhStatus CollectQueryData(PdhQuery query)
{
    return static_cast<PdhStatus>(::PdhCollectQueryData(static_cast<PDH_HQUERY>(query)));
}

PdhStatus GetFormattedCounterValue(PdhCounter counter, std::uint32_t format, std::uint32_t *type,
                                   FmtCounterValue *value)
{
    PDH_FMT_COUNTERVALUE native {};
    DWORD nativeType = 0;
    const PDH_STATUS status = ::PdhGetFormattedCounterValue(static_cast<PDH_HCOUNTER>(counter),
                                                            format, type ? &nativeType : nullptr, &native);
    if (type)
        *type = nativeType;
    if (value) {
        value->status = native.CStatus;
        value->largeValue = 0;
        if (format & PDH_FMT_LONG)
            value->longValue = native.longValue;
        else if (format & PDH_FMT_DOUBLE)
            value->doubleValue = native.doubleValue;
        else if (format & PDH_FMT_LARGE)
            value->largeValue = native.largeValue;
    }
    return static_cast<PdhStatus>(status);
}

PdhStatus RemoveCounter(PdhCounter counter)
{
    return static_cast<PdhStatus>(::PdhRemoveCounter(static_cast<PDH_HCOUNTER>(counter)));
}

PdhStatus CloseQuery(PdhQuery query)
{
    return static_cast<PdhStatus>(::PdhCloseQuery(static_cast<PDH_HQUERY>(query)));
}

PdhStatus EnumObjectItems(const char *dataSource, const char *machineName, const char *objectName,
                          char *counterList, std::uint32_t *counterLength, char *instanceList,
                          std::uint32_t *instanceLength, std::uint32_t detailLevel, std::uint32_t flags)
{
    DWORD counters = *counterLength;
    DWORD instances = *instanceLength;
    const PDH_STATUS status = ::PdhEnumObjectItemsA(dataSource, machineName, objectName, counterList,
                                                    &counters, instanceList, &instances, detailLevel, flags);
    *counterLength = counters;
    *instanceLength = instances;
    return static_cast<PdhStatus>(status);
}

} // namespace plat
