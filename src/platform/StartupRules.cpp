#include "StartupRules.h"

namespace {

bool IsLeadByte(LeadByteTest isLeadByte, char byte)
{
    return isLeadByte && isLeadByte(static_cast<unsigned char>(byte));
}

// The last separator that is a character of its own, not the second byte of a character.
std::size_t FindLastSeparator(std::string_view path, std::string_view separators, LeadByteTest isLeadByte)
{
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (IsLeadByte(isLeadByte, path[i]))
            ++i;
        else if (separators.find(path[i]) != std::string_view::npos)
            last = i;
    }
    return last;
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

std::string MakeWindowsLockName(std::string_view modulePath, LeadByteTest isLeadByte)
{
    std::string name(modulePath);
    for (std::size_t i = 0; i < name.size(); ++i) {
        char &c = name[i];
        if (IsLeadByte(isLeadByte, c))
            ++i;
        else if (c == '\\' || c == ':' || c == '/')
            c = '_';
        else if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return name;
}

std::string MakeWindowsIniPath(std::string_view modulePath, bool moduleDirWritable,
                               std::string_view userConfigDir, LeadByteTest isLeadByte)
{
    if (modulePath.empty())
        return "C:\\Quiram.ini";
    const std::size_t keep = modulePath.size() > 4 ? modulePath.size() - 4 : 0;
    const std::string beside = std::string(modulePath.substr(0, keep)) + ".ini";
    if (moduleDirWritable || userConfigDir.empty())
        return beside;
    return std::string(userConfigDir) + "\\" + FileNameOf(beside, kWindowsSeparators, isLeadByte);
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

std::string MakeAppName(std::string_view modulePath, std::string_view separators, LeadByteTest isLeadByte)
{
    // No second byte of a double-byte code page is a dot.
    std::string name = FileNameOf(modulePath, separators, isLeadByte);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

bool IsWindowsVersionSupported(unsigned major)
{
    return major >= 5;
}

std::string DirectoryOf(std::string_view path, std::string_view separators, LeadByteTest isLeadByte)
{
    const auto slash = FindLastSeparator(path, separators, isLeadByte);
    if (slash == std::string_view::npos)
        return ".";
    return std::string(path.substr(0, slash == 0 ? 1 : slash));
}

std::string FileNameOf(std::string_view path, std::string_view separators, LeadByteTest isLeadByte)
{
    const auto slash = FindLastSeparator(path, separators, isLeadByte);
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}
