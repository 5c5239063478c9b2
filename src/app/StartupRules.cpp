#include "StartupRules.h"

namespace {

constexpr std::string_view kSeparators = "\\/";

std::string FileNameOf(std::string_view path)
{
    const auto slash = path.find_last_of(kSeparators);
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

} // namespace

std::string MakeLinuxLockName(std::string_view modulePath)
{
    std::string name(modulePath);
    for (char &c : name)
        if (c == '\\' || c == ':' || c == '/')
            c = '_';
    return name;
}

std::string MakeWindowsLockName(std::string_view modulePath)
{
    std::string name = MakeLinuxLockName(modulePath);
    for (char &c : name)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return name;
}

std::string MakeWindowsIniPath(std::string_view modulePath)
{
    if (modulePath.empty())
        return "C:\\Quiram.ini";
    const std::size_t keep = modulePath.size() > 4 ? modulePath.size() - 4 : 0;
    return std::string(modulePath.substr(0, keep)) + ".ini";
}

std::string MakeLinuxIniPath(std::string_view modulePath, bool moduleDirWritable,
                             std::string_view userConfigDir)
{
    if (!modulePath.empty() && (moduleDirWritable || userConfigDir.empty()))
        return std::string(modulePath) + ".ini";
    if (userConfigDir.empty())
        return {};
    const std::string name = modulePath.empty() ? "corvala" : FileNameOf(modulePath);
    return std::string(userConfigDir) + "/" + name + ".ini";
}

std::string MakeAppName(std::string_view modulePath)
{
    std::string name = FileNameOf(modulePath);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

bool IsWindowsVersionSupported(unsigned major)
{
    return major >= 5;
}

std::string DirectoryOf(std::string_view path)
{
    const auto slash = path.find_last_of(kSeparators);
    if (slash == std::string_view::npos)
        return ".";
    return std::string(path.substr(0, slash == 0 ? 1 : slash));
}
