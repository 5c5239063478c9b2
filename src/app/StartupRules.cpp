#include "StartupRules.h"

namespace {

constexpr std::string_view kSeparators = "\\/";

} // namespace

std::string MakeInstanceLockName(std::string_view modulePath)
{
    std::string name(modulePath);
    for (char &c : name) {
        if (c == '\\' || c == ':' || c == '/')
            c = '_';
        else if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
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
    return std::string(userConfigDir) + "/corvala.ini";
}

std::string MakeAppName(std::string_view modulePath)
{
    const auto slash = modulePath.find_last_of(kSeparators);
    std::string_view name = slash == std::string_view::npos ? modulePath : modulePath.substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > 0)
        name = name.substr(0, dot);
    return std::string(name);
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
