#pragma once
// An interface's octet counters and identity from one RTM_NEWLINK message.

#include "Platform.h"

#include <cstddef>
#include <linux/netlink.h>
#include <string>

namespace plat {

// The identity that survives a rename: the permanent hardware address as "aa:bb:..", which
// a name never matches (the kernel refuses ':' in names); the name when there is no such
// address (virtual devices, older kernels) or it is all zeros.
std::string LinkIdentity(const unsigned char *permanentAddress, std::size_t length, const std::string &name);

// False when the message is not a whole link message with a name and 64-bit statistics.
bool ParseLinkOctets(const nlmsghdr &header, const char *message, InterfaceOctets &octets);

} // namespace plat
