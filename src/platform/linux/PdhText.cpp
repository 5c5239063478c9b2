#include "PdhText.h"

#include <cstring>

namespace plat {

PdhStatus DeliverText(std::string_view text, char *buffer, std::uint32_t *size)
{
    if (!size)
        return PDH_INVALID_ARGUMENT;
    const std::size_t needed = text.size() + 1;
    if (needed > 0xFFFFFFFFu)
        return PDH_INVALID_ARGUMENT;
    const std::uint32_t offered = *size;
    *size = static_cast<std::uint32_t>(needed);
    if (!buffer || offered < needed)
        return PDH_MORE_DATA;
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return PDH_OK;
}

std::string JoinItemList(const std::vector<std::string> &names)
{
    std::string list;
    for (const std::string &name : names) {
        list += name;
        list += '\0';
    }
    return list;
}

} // namespace plat
