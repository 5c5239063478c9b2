#include "IniPath.h"

#include <mutex>

namespace {

std::mutex g_pathLock;
std::string g_iniPath; // guarded by g_pathLock
std::string g_appName; // guarded by g_pathLock

} // namespace

std::string GetIniPath()
{
    std::scoped_lock lock(g_pathLock);
    return g_iniPath;
}

void SetIniPath(const std::string &path)
{
    std::scoped_lock lock(g_pathLock);
    g_iniPath = path;
}

std::string GetAppName()
{
    std::scoped_lock lock(g_pathLock);
    return g_appName;
}

void SetAppName(const std::string &name)
{
    std::scoped_lock lock(g_pathLock);
    g_appName = name;
}
