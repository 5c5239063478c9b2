// Runs settings files of any content through the value codec and the file store on a real
// file: reads write missing keys back, writes replace the file. Besides crashes, hangs and
// undefined behaviour it checks that an integer, a colour or a plain word reads back as
// written and that no temporary file is left beside the settings file.

#include "IniCodec.h"
#include "IniText.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string g_dir;

void RemoveDir()
{
    ::unlink((g_dir + "/corvala.ini").c_str());
    ::rmdir(g_dir.c_str());
}

// On tmpfs when there is one: every write is synced to disk, which costs nothing there.
const std::string &SettingsPath()
{
    static const std::string path = [] {
        g_dir = std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/corvala-fuzz-XXXXXX";
        if (!::mkdtemp(g_dir.data()))
            std::abort();
        std::atexit(RemoveDir);
        return g_dir + "/corvala.ini";
    }();
    return path;
}

// Mostly names the file already holds, so that reads and writes meet the same keys.
std::string Name(FuzzedDataProvider &input)
{
    static constexpr std::array<const char *, 4> kNames {"S", "CNTBASE", "K", "COLOR"};
    if (input.ConsumeBool())
        return kNames[input.ConsumeIntegralInRange<std::size_t>(0, kNames.size() - 1)];
    return input.ConsumeRandomLengthString(12);
}

bool IsPlainWord(const std::string &text)
{
    if (text.empty() || text.size() >= kIniBufferSize)
        return false;
    for (const char c : text)
        if (!(c >= 'a' && c <= 'z') && !(c >= 'A' && c <= 'Z') && !(c >= '0' && c <= '9'))
            return false;
    return true;
}

bool OnlySettingsFileInDir()
{
    DIR *dir = ::opendir(g_dir.c_str());
    if (!dir)
        return false;
    int others = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        others += name != "." && name != ".." && name != "corvala.ini";
    }
    ::closedir(dir);
    return others == 0;
}

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void RunOne(FuzzedDataProvider &input, const std::string &path)
{
    const std::string section = Name(input);
    const std::string key = Name(input);
    const bool writable = ini::IsWritableName(section, key);
    switch (input.ConsumeIntegralInRange(0, 5)) {
    case 0:
        ReadIniInt(section.c_str(), key.c_str(), input.ConsumeIntegral<int>(), input.ConsumeIntegral<int>(),
                   path);
        break;
    case 1:
        ReadIniString(section.c_str(), key.c_str(), input.ConsumeRandomLengthString(32), kIniAbsent, path,
                      input.ConsumeIntegralInRange(-1, 300));
        break;
    case 2:
        ReadIniColor(section.c_str(), key.c_str(), input.ConsumeIntegral<ColorRef>(), kIniColorMarker, path);
        break;
    case 3: {
        const int value = input.ConsumeIntegral<int>();
        WriteIniInt(section.c_str(), key.c_str(), value, path);
        Check(!writable || ReadIniInt(section.c_str(), key.c_str(), 0, ~value, path) == value);
        break;
    }
    case 4: {
        const std::string text = input.ConsumeRandomLengthString(300);
        WriteIniString(section.c_str(), key.c_str(), text, path);
        Check(!writable || !IsPlainWord(text)
              || ReadIniString(section.c_str(), key.c_str(), "", kIniAbsent, path, kIniBufferSize) == text);
        break;
    }
    default: {
        const ColorRef color = input.ConsumeIntegral<ColorRef>();
        WriteIniColor(section.c_str(), key.c_str(), color, path);
        // With the colour itself as the default, the marker's components read back unchanged too.
        Check(!writable || ReadIniColor(section.c_str(), key.c_str(), color & 0xFFFFFF, kIniColorMarker, path)
                               == (color & 0xFFFFFF));
        break;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string &path = SettingsPath();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << input.ConsumeRandomLengthString(2048);
    for (int step = 0; step < 16 && input.remaining_bytes() > 0; ++step)
        RunOne(input, path);
    Check(OnlySettingsFileInDir());
    return 0;
}
