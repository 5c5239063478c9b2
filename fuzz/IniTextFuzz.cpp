// Feeds arbitrary file contents, names and values to the INI text functions. Besides
// crashes and hangs it checks what a writer relies on: a written key reads back as the
// value written, writing the same value again changes nothing, and keys written in one go
// leave the text exactly as writing them one by one does.

#include "IniText.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(16);
    const std::string key = input.ConsumeRandomLengthString(16);
    const std::string value = input.ConsumeRandomLengthString(64);
    const std::string text = input.ConsumeRemainingBytesAsString();

    std::string_view raw;
    if (ini::FindValue(text, section, key, raw))
        (void)ini::CleanValue(raw, 260);
    if (!ini::IsWritableName(section, key))
        return 0;

    const std::string updated = ini::SetValue(text, section, key, value);
    const std::string expected = value.substr(0, value.find_first_of(std::string("\r\n\0", 3)));
    if (!ini::FindValue(updated, section, key, raw) || raw != expected)
        std::abort();
    if (ini::SetValue(updated, section, key, value) != updated)
        std::abort();

    const std::vector<plat::ProfileKey> keys = {{key, value}, {"OTHER", "1"}, {key, "again"}, {"other", ""}};
    std::string oneByOne = text;
    for (const plat::ProfileKey &each : keys)
        oneByOne = ini::SetValue(oneByOne, section, each.key, each.value);
    std::string inOneGo = text;
    ini::SetValues(inOneGo, section, keys);
    if (inOneGo != oneByOne)
        std::abort();
    return 0;
}
