#pragma once
// Network namespaces made by a test and removed when it ends, even when it fails; a scoped
// move of the calling thread into one; veth pairs and UDP traffic. Needs root.

#include <arpa/inet.h>
#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <sched.h>
#include <string>
#include <unistd.h>

inline bool RunQuietly(const std::string &command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

class NetNamespace {
public:
    NetNamespace()
    {
        static std::atomic<int> serial {0};
        m_name = "corvala-t" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
        // Without IPv6, no router solicitation or neighbour discovery adds traffic of its own.
        m_ok = ::geteuid() == 0 && RunQuietly("ip netns add " + m_name)
               && RunQuietly("ip netns exec " + m_name + " sysctl -w net.ipv6.conf.all.disable_ipv6=1"
                             " net.ipv6.conf.default.disable_ipv6=1");
    }
    NetNamespace(const NetNamespace &) = delete;
    NetNamespace &operator=(const NetNamespace &) = delete;
    ~NetNamespace() { RunQuietly("ip netns del " + m_name); }

    bool Ok() const { return m_ok; }
    const std::string &Name() const { return m_name; }
    bool Ip(const std::string &arguments) const { return RunQuietly("ip -n " + m_name + " " + arguments); }

private:
    std::string m_name;
    bool m_ok = false;
};

// Moves the calling thread into `ns`, and back when destroyed.
class NamespaceEntry {
public:
    explicit NamespaceEntry(const NetNamespace &ns)
        : m_home(::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC))
    {
        const int target = ::open(("/run/netns/" + ns.Name()).c_str(), O_RDONLY | O_CLOEXEC);
        m_ok = m_home >= 0 && target >= 0 && ::setns(target, CLONE_NEWNET) == 0;
        if (target >= 0)
            ::close(target);
    }
    NamespaceEntry(const NamespaceEntry &) = delete;
    NamespaceEntry &operator=(const NamespaceEntry &) = delete;
    ~NamespaceEntry()
    {
        if (m_ok)
            ::setns(m_home, CLONE_NEWNET);
        if (m_home >= 0)
            ::close(m_home);
    }
    bool Ok() const { return m_ok; }

private:
    int m_home = -1;
    bool m_ok = false;
};

// A veth pair from `a` (nameA, 10.77.0.1/24) to `b` (nameB, 10.77.0.2/24), both up.
inline bool ConnectPair(const NetNamespace &a, const std::string &nameA, const NetNamespace &b,
                        const std::string &nameB)
{
    return a.Ip("link add " + nameA + " type veth peer name " + nameB + " netns " + b.Name())
           && a.Ip("addr add 10.77.0.1/24 dev " + nameA) && b.Ip("addr add 10.77.0.2/24 dev " + nameB)
           && a.Ip("link set " + nameA + " up") && b.Ip("link set " + nameB + " up");
}

// A UDP socket bound in the namespace the calling thread is in when it is made.
class UdpSocket {
public:
    explicit UdpSocket(const char *address, int port = 0)
        : m_fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0))
    {
        const sockaddr_in local = Address(address, port);
        m_ok = ::bind(m_fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) == 0;
    }
    UdpSocket(const UdpSocket &) = delete;
    UdpSocket &operator=(const UdpSocket &) = delete;
    ~UdpSocket() { ::close(m_fd); }
    bool Ok() const { return m_ok; }

    // Sends `count` datagrams of `bytes` bytes; returns how many went out.
    int Send(const char *address, int port, std::size_t bytes, int count) const
    {
        const sockaddr_in remote = Address(address, port);
        const std::string payload(bytes, 'c');
        int sent = 0;
        for (int i = 0; i < count; ++i)
            sent += ::sendto(m_fd, payload.data(), bytes, 0, reinterpret_cast<const sockaddr *>(&remote),
                             sizeof remote)
                    == static_cast<ssize_t>(bytes);
        return sent;
    }

private:
    static sockaddr_in Address(const char *text, int port)
    {
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        ::inet_pton(AF_INET, text, &address.sin_addr);
        return address;
    }

    int m_fd;
    bool m_ok = false;
};

#define CORVALA_SKIP_WITHOUT_NETNS(ns)                                                                       \
    do {                                                                                                     \
        if (::geteuid() != 0)                                                                                \
            GTEST_SKIP() << "needs root to create network namespaces and veth pairs";                        \
        if (!(ns).Ok())                                                                                      \
            GTEST_SKIP() << "cannot create a network namespace here (ip netns add failed)";                  \
    } while (0)
