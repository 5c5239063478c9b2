#include "TotalsFiles.h"

#include "Platform.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

constexpr const char *kCompanions[] = {"-wal", "-shm"};

std::filesystem::path FsPath(const std::string &path)
{
    const std::string utf8 = plat::PathToUtf8(path);
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool Exists(const std::string &path)
{
    std::error_code error;
    return std::filesystem::symlink_status(FsPath(path), error).type() != std::filesystem::file_type::not_found;
}

bool Rename(const std::string &from, const std::string &to)
{
    std::error_code error;
    std::filesystem::rename(FsPath(from), FsPath(to), error);
    return !error;
}

bool EndsWithIni(const std::string &path)
{
    if (path.size() < 4 || path[path.size() - 4] != '.')
        return false;
    for (std::size_t i = 0; i < 3; ++i)
        if ((path[path.size() - 3 + i] | 0x20) != "ini"[i])
            return false;
    return true;
}

} // namespace

std::string DatabasePathFor(const std::string &iniPath)
{
    return (EndsWithIni(iniPath) ? iniPath.substr(0, iniPath.size() - 4) : iniPath) + ".db";
}

std::string SetAsideName(const std::string &path, std::int64_t unixSeconds)
{
    std::tm local {};
    plat::LocalTimeOf(unixSeconds, local);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, ".broken-%04d%02d%02d-%02d%02d%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return path + stamp;
}

int SetAsideDatabase(const std::string &path, std::int64_t unixSeconds)
{
    const std::string base = SetAsideName(path, unixSeconds);
    std::string aside = base;
    for (int n = 2; n < 100 && Exists(aside); ++n)
        aside = base + "-" + std::to_string(n);
    if (!Rename(path, aside) && Exists(path))
        return 0;
    // A journal left beside a new database would be taken for its own.
    for (const char *companion : kCompanions) {
        std::error_code error;
        if (!Rename(path + companion, aside + companion) && Exists(path + companion)
            && !std::filesystem::remove(FsPath(path + companion), error))
            return 0;
    }
    return 1;
}
