#include "NetlinkMessages.h"

#include <cerrno>
#include <sys/socket.h>

namespace plat {

UniqueFd OpenRouteSocket(unsigned groups, int extraType)
{
    UniqueFd fd(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | extraType, NETLINK_ROUTE));
    if (!fd.Valid())
        return fd;
    sockaddr_nl address {};
    address.nl_family = AF_NETLINK;
    address.nl_groups = groups;
    if (::bind(fd.Get(), reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0)
        return UniqueFd();
    return fd;
}

bool DrainNotifications(const UniqueFd &fd)
{
    if (!fd.Valid())
        return false;
    bool changed = false;
    char sink[64];
    for (int read = 0; read < 4096; ++read) {
        const ssize_t length = ::recv(fd.Get(), sink, sizeof sink, MSG_DONTWAIT | MSG_TRUNC);
        if (length > 0 || (length < 0 && errno == ENOBUFS))
            changed = true; // ENOBUFS: notifications were dropped, so assume the worst
        else if (!(length < 0 && errno == EINTR))
            break;
    }
    return changed;
}

int NetlinkErrorOf(const nlmsghdr &header, const char *message)
{
    int error = 0;
    if (header.nlmsg_len < NetlinkAlign(sizeof(nlmsghdr)) + sizeof error)
        return -EPROTO;
    std::memcpy(&error, message + NetlinkAlign(sizeof(nlmsghdr)), sizeof error);
    return error;
}

} // namespace plat
