#include "StartupRules.h"

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

std::string MakeWindowsIniPath(std::string_view modulePath, bool moduleDirWritable,
                               std::string_view userConfigDir)
{
    if (modulePath.empty())
        return "C:\\Quiram.ini";
    const std::size_t keep = modulePath.size() > 4 ? modulePath.size() - 4 : 0;
    const std::string beside = std::string(modulePath.substr(0, keep)) + ".ini";
    if (moduleDirWritable || userConfigDir.empty())
        return beside;
    return std::string(userConfigDir) + "\\" + FileNameOf(beside, kWindowsSeparators);
}

std::string MakeLinuxIniPath(std::string_view modulePath, bool moduleDirWritable,
                             std::string_view userConfigDir)
{
    if (!modulePath.empty() && (moduleDirWritable || userConfigDir.empty()))
        return std::string(modulePath) + ".ini";
    if (userConfigDir.empty())
        return {};
    const std::string name = modulePath.empty() ? "corvala" : FileNameOf(modulePath, kLinuxSeparators);
    return std::string(userConfigDir) + "/" + name + ".ini";
}

bool IsLinuxSystemProgramDir(std::string_view directory)
{
    static constexpr std::string_view kRoots[] = {"/usr", "/bin", "/sbin", "/lib", "/lib32", "/lib64",
                                                  "/libx32", "/opt", "/snap"};
    for (const std::string_view root : kRoots)
        if (directory.substr(0, root.size()) == root
            && (directory.size() == root.size() || directory[root.size()] == '/'))
            return true;
    return false;
}

std::string MakeAppName(std::string_view modulePath, std::string_view separators)
{
    std::string name = FileNameOf(modulePath, separators);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

bool IsWindowsVersionSupported(unsigned major)
{
    return major >= 5;
}

std::string DirectoryOf(std::string_view path, std::string_view separators)
{
    const auto slash = path.find_last_of(separators);
    if (slash == std::string_view::npos)
        return ".";
    return std::string(path.substr(0, slash == 0 ? 1 : slash));
}

std::string FileNameOf(std::string_view path, std::string_view separators)
{
    const auto slash = path.find_last_of(separators);
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}
