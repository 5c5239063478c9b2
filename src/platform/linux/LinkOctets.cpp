#include "LinkOctets.h"

#include "NetlinkMessages.h"

#include <cstdint>
#include <cstring>
#include <linux/if_link.h>
#include <linux/rtnetlink.h>

namespace plat {

std::string LinkIdentity(const unsigned char *permanentAddress, std::size_t length, const std::string &name)
{
    bool zero = true;
    for (std::size_t i = 0; i < length; ++i)
        zero = zero && permanentAddress[i] == 0;
    if (length < 2 || zero)
        return name;
    static const char kHex[] = "0123456789abcdef";
    std::string identity;
    for (std::size_t i = 0; i < length; ++i) {
        if (i > 0)
            identity += ':';
        identity += kHex[permanentAddress[i] >> 4];
        identity += kHex[permanentAddress[i] & 15];
    }
    return identity;
}

bool ParseLinkOctets(const nlmsghdr &header, const char *message, InterfaceOctets &octets)
{
    ifinfomsg info;
    if (header.nlmsg_type != RTM_NEWLINK || !FixedPartOf(header, message, info))
        return false;
    unsigned char address[32] = {};
    std::size_t addressLength = 0;
    bool haveStats = false;
    octets = InterfaceOctets();
    octets.instance = static_cast<std::uint32_t>(info.ifi_index);
    ForEachAttribute(header, message, sizeof(ifinfomsg), [&](unsigned type, const char *payload, std::size_t length) {
        if (type == IFLA_IFNAME) {
            octets.name.assign(payload, ::strnlen(payload, length));
        } else if (type == IFLA_PERM_ADDRESS && length <= sizeof address) {
            std::memcpy(address, payload, length);
            addressLength = length;
        } else if (type == IFLA_STATS64) {
            // Older or newer kernels may carry a shorter or longer structure; its head is stable.
            rtnl_link_stats64 stats {};
            std::memcpy(&stats, payload, length < sizeof stats ? length : sizeof stats);
            octets.rxBytes = stats.rx_bytes;
            octets.txBytes = stats.tx_bytes;
            haveStats = length >= 4 * sizeof(std::uint64_t);
        }
    });
    octets.identity = LinkIdentity(address, addressLength, octets.name);
    return haveStats && !octets.name.empty();
}

} // namespace plat
