#pragma once
// One key of section "S" read and written through the platform's private-profile store, a
// file no store should choke on, and a check that a folder holds nothing but one file (no
// temporary left behind).

#include "Platform.h"

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

inline std::string Read(const std::string &path, const char *key, const char *def = "<def>")
{
    return plat::GetPrivateProfileString("S", key, def, 260, path);
}

inline int Write(const std::string &path, const char *key, const char *value)
{
    return plat::WritePrivateProfileString("S", key, value, path);
}

// A byte-order mark, a line of 1 MiB, a value longer than any buffer and control bytes.
inline std::string HugeAndMalformedText()
{
    return "\xEF\xBB\xBF[S]\r\n" + std::string(1 << 20, 'z') + "\r\nK=" + std::string(400, 'v')
           + std::string("\0\x01\x02garbage\n", 11);
}

inline bool OnlyFileInDir(const fs::path &dir, const std::string &name)
{
    int count = 0;
    for (const auto &entry : fs::directory_iterator(dir))
        count += entry.path().filename() == name ? 1 : 100;
    return count == 1;
}
