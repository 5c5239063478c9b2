// The Linux counter layer against real traffic: two namespaces made by the test, joined by
// a veth pair, with UDP datagrams both ways. Needs root; skipped otherwise.

#include "CNetlinkStats.h"
#include "NetNamespace.h"
#include "Platform.h"

#include <gtest/gtest.h>

#include <array>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

namespace {

enum { RxBytes, TxBytes, RxPackets, TxPackets, Multicast };
using Stats = std::array<double, 5>;

double BootSeconds()
{
    timespec now {};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// The kernel's own counts for `name`, read through another door than the layer's.
Stats KernelStats(const std::string &name)
{
    std::ifstream in("/proc/thread-self/net/dev");
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string label;
        double f[16] = {};
        fields >> label;
        for (double &field : f)
            fields >> field;
        if (label == name + ":")
            return {f[0], f[8], f[1], f[9], f[7]};
    }
    ADD_FAILURE() << name << " is not in /proc/thread-self/net/dev";
    return {};
}

// Waits until the kernel has counted `sent` more packets out of `name` and `received` more in
// than `from` holds: a datagram leaves only once its neighbour's address is known.
bool CountedSince(const std::string &name, const Stats &from, double sent, double received = 0)
{
    for (int poll = 0; poll < 1000; ++poll) {
        const Stats now = KernelStats(name);
        if (now[TxPackets] - from[TxPackets] >= sent && now[RxPackets] - from[RxPackets] >= received)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

class CounterQueryNetns : public ::testing::Test {
protected:
    void SetUp() override
    {
        CORVALA_SKIP_WITHOUT_NETNS(m_a);
        ASSERT_TRUE(m_b.Ok() && ConnectPair(m_a, "cva", m_b, "cvb"));
    }
    void TearDown() override { plat::CloseQuery(m_query); }
    // Opens the query in the calling thread's namespace with `counters` of cva, and with a
    // counter of lo after them when `withLo` (two interfaces: read by one dump).
    void Open(const std::vector<std::string> &counters, bool withLo = false)
    {
        plat::CloseQuery(m_query);
        m_counters.clear();
        ASSERT_EQ(plat::OpenQuery(nullptr, 0, &m_query), plat::PDH_OK);
        for (const std::string &name : counters) {
            const std::string path = "\\Network Interface(cva)\\" + name;
            ASSERT_EQ(plat::AddCounter(m_query, path.c_str(), 0, &m_counters.emplace_back()), plat::PDH_OK);
        }
        if (withLo)
            ASSERT_EQ(plat::AddCounter(m_query, "\\Network Interface(lo)\\Bytes Sent/sec", 0,
                                       &m_counters.emplace_back()),
                      plat::PDH_OK);
    }
    plat::PdhStatus Fetch(std::size_t i, double &rate) const
    {
        plat::FmtCounterValue value;
        const auto status
            = plat::GetFormattedCounterValue(m_counters[i], plat::PDH_FMT_DOUBLE, nullptr, &value);
        rate = value.doubleValue;
        return status;
    }

    NetNamespace m_a, m_b;
    plat::PdhQuery m_query = nullptr;
    std::vector<plat::PdhCounter> m_counters;
};

} // namespace

TEST_F(CounterQueryNetns, RatesMatchTheKernelsOwnCountsOverTheInterval)
{
    NamespaceEntry inA(m_a);
    ASSERT_TRUE(inA.Ok());
    UdpSocket receiverA("10.77.0.1", 40001), senderA("10.77.0.1");
    std::unique_ptr<UdpSocket> receiverB, senderB;
    {
        NamespaceEntry inB(m_b);
        receiverB = std::make_unique<UdpSocket>("10.77.0.2", 40002);
        senderB = std::make_unique<UdpSocket>("10.77.0.2");
    }
    senderA.Send("10.77.0.2", 40002, 10, 1); // resolve the neighbour before measuring
    ASSERT_TRUE(CountedSince("cva", {}, 2)); // the address request and the datagram
    const std::pair<const char *, double (*)(const Stats &)> cases[] = {
        {"Bytes Received/sec", [](const Stats &d) { return d[RxBytes]; }},
        {"Bytes Sent/sec", [](const Stats &d) { return d[TxBytes]; }},
        {"Bytes Total/sec", [](const Stats &d) { return d[RxBytes] + d[TxBytes]; }},
        {"Packets Received/sec", [](const Stats &d) { return d[RxPackets]; }},
        {"Packets Sent/sec", [](const Stats &d) { return d[TxPackets]; }},
        {"Packets/sec", [](const Stats &d) { return d[RxPackets] + d[TxPackets]; }},
        {"Packets Received Unicast/sec", [](const Stats &d) { return d[RxPackets] - d[Multicast]; }},
        {"Packets Sent Unicast/sec", [](const Stats &d) { return d[TxPackets]; }},
        {"Packets Received Non-Unicast/sec", [](const Stats &d) { return d[Multicast]; }},
        {"Packets Sent Non-Unicast/sec", [](const Stats &) { return 0.0; }},
    };
    std::vector<std::string> names;
    for (const auto &c : cases)
        names.push_back(c.first);
    Open(names);

    const double before0 = BootSeconds();
    plat::CollectQueryData(m_query);
    const double after0 = BootSeconds();
    const Stats first = KernelStats("cva");
    ASSERT_EQ(senderA.Send("10.77.0.2", 40002, 700, 60), 60);
    ASSERT_EQ(senderB->Send("10.77.0.1", 40001, 300, 40), 40);
    ASSERT_TRUE(CountedSince("cva", first, 60, 40));
    const Stats second = KernelStats("cva");
    const double before1 = BootSeconds();
    plat::CollectQueryData(m_query);
    const double after1 = BootSeconds();

    Stats delta {};
    for (std::size_t i = 0; i < delta.size(); ++i)
        delta[i] = second[i] - first[i];
    ASSERT_GE(delta[TxPackets], 60) << "the datagrams to B left through cva";
    ASSERT_GE(delta[RxPackets], 40) << "the datagrams from B came in through cva";
    // The layer's interval lies between the inner and the outer pair of clock readings.
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const double count = cases[i].second(delta);
        double rate = 0;
        ASSERT_EQ(Fetch(i, rate), plat::PDH_OK) << cases[i].first;
        EXPECT_GE(rate, count / (after1 - before0) * 0.99) << cases[i].first;
        EXPECT_LE(rate, count / (before1 - after0) * 1.01) << cases[i].first;
    }
}

TEST_F(CounterQueryNetns, RecreatedInterfaceSkipsOneValueThenResumes)
{
    NamespaceEntry inA(m_a);
    ASSERT_TRUE(inA.Ok());
    for (const bool dumped : {false, true}) {
        SCOPED_TRACE(dumped ? "one dump for two interfaces" : "one request for one interface");
        Open({"Bytes Sent/sec"}, dumped);
        UdpSocket("10.77.0.1").Send("10.77.0.2", 40002, 700, 50);
        ASSERT_TRUE(CountedSince("cva", {}, 1 + 50));
        plat::CollectQueryData(m_query);
        // Counts restart from zero under a new index; no value may span the two interfaces.
        ASSERT_TRUE(m_a.Ip("link del cva") && ConnectPair(m_a, "cva", m_b, "cvb"));
        plat::CollectQueryData(m_query);
        double rate = 0;
        EXPECT_NE(Fetch(0, rate), plat::PDH_OK);
        UdpSocket("10.77.0.1").Send("10.77.0.2", 40002, 700, 20);
        ASSERT_TRUE(CountedSince("cva", {}, 1 + 20)); // the new interface counts from zero
        plat::CollectQueryData(m_query);
        ASSERT_EQ(Fetch(0, rate), plat::PDH_OK);
        EXPECT_GT(rate, 0);
    }
}

TEST_F(CounterQueryNetns, RenamedInterfaceIsNotFollowedUnderItsOldName)
{
    NamespaceEntry inA(m_a);
    ASSERT_TRUE(inA.Ok());
    Open({"Bytes Sent/sec"});
    plat::CollectQueryData(m_query);
    ASSERT_TRUE(m_a.Ip("link set cva down") && m_a.Ip("link set cva name cvx"));
    plat::CollectQueryData(m_query);
    double rate = 0;
    EXPECT_EQ(Fetch(0, rate), plat::PDH_CSTATUS_NO_INSTANCE);
}

TEST_F(CounterQueryNetns, QueryReadsTheNamespaceItWasOpenedIn)
{
    {
        NamespaceEntry inA(m_a);
        ASSERT_TRUE(inA.Ok());
        Open({"Packets Sent/sec"});
    }
    // Back in the test's own namespace, where no cva exists.
    plat::CollectQueryData(m_query);
    plat::CollectQueryData(m_query);
    double rate = 0;
    EXPECT_EQ(Fetch(0, rate), plat::PDH_OK);
}

TEST_F(CounterQueryNetns, DefaultRouteIsFollowedAndVethsAreNotPhysical)
{
    NamespaceEntry inA(m_a);
    ASSERT_TRUE(inA.Ok());
    ASSERT_TRUE(m_a.Ip("link add cvc type veth peer name cvd netns " + m_b.Name()) && m_a.Ip("link set cvc up")
                && m_a.Ip("addr add 10.78.0.1/24 dev cvc") && m_a.Ip("route add default via 10.77.0.2 metric 100"));
    const std::unique_ptr<plat::RouteWatch, void (*)(plat::RouteWatch *)> watch(plat::OpenRouteWatch(),
                                                                               plat::CloseRouteWatch);
    ASSERT_TRUE(watch);
    plat::TakeRouteChanges(watch.get());
    EXPECT_EQ(plat::TakeRouteChanges(watch.get()), 0);
    std::string name;
    ASSERT_EQ(plat::GetDefaultRouteInterface(name), 1);
    EXPECT_EQ(name, "cva");
    // Where, what, and the interface of the default route after it.
    const std::tuple<const NetNamespace *, const char *, const char *> moves[] = {
        {&m_a, "route add default via 10.78.0.2 metric 50", "cva"}, // cvc has no carrier yet
        {&m_b, "link set cvd up", "cvc"},
        {&m_a, "route del default via 10.78.0.2 metric 50", "cva"},
        {&m_a, "link set cva down", ""},
    };
    for (const auto &[where, command, expected] : moves) {
        ASSERT_TRUE(where->Ip(command)) << command;
        // A carrier change reaches the routes a moment after the command returns.
        bool changed = false, found = false;
        for (int look = 0; look < 200 && !(changed && name == expected); ++look) {
            if (look > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            changed = plat::TakeRouteChanges(watch.get()) || changed;
            name.clear();
            found = plat::GetDefaultRouteInterface(name);
        }
        EXPECT_TRUE(changed) << command;
        EXPECT_EQ(found, *expected != 0) << command;
        EXPECT_EQ(name, expected) << command;
    }
    std::vector<std::string> physical {"stale"};
    ASSERT_EQ(plat::GetPhysicalInterfaces(physical), 1);
    EXPECT_TRUE(physical.empty()) << "loopback and veth have no hardware behind them";
}

TEST_F(CounterQueryNetns, OneDumpReadsWhatSingleRequestsRead)
{
    NamespaceEntry inA(m_a);
    ASSERT_TRUE(inA.Ok());
    ASSERT_EQ(UdpSocket("10.77.0.1").Send("10.77.0.2", 40002, 700, 30), 30);
    ASSERT_TRUE(CountedSince("cva", {}, 1 + 30)); // no count may change between the two reads
    plat::CNetlinkStats netlink;
    ASSERT_EQ(netlink.Open(false), 1);
    std::vector<plat::LinkStats> all;
    ASSERT_EQ(netlink.DumpLinkStats(all), 1);
    ASSERT_EQ(all.size(), 2u) << "lo and cva";
    for (const plat::LinkStats &one : all) {
        plat::LinkCounters alone;
        ASSERT_EQ(netlink.ReadLinkStats(one.index, alone), plat::CNetlinkStats::ReadResult::Ok);
        EXPECT_EQ(one.counters.txBytes, alone.txBytes);
        EXPECT_EQ(one.counters.rxPackets, alone.rxPackets);
    }
}

// In the machine's own namespace, where /sys/class/net shows the same interfaces.
TEST(InterfaceSource, PhysicalInterfacesAreThoseWithADeviceLink)
{
    std::vector<std::string> expected;
    for (const auto &entry : std::filesystem::directory_iterator("/sys/class/net"))
        if (std::filesystem::exists(entry.path() / "device"))
            expected.push_back(entry.path().filename().string());
    std::vector<std::string> physical;
    ASSERT_EQ(plat::GetPhysicalInterfaces(physical), 1);
    std::sort(physical.begin(), physical.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(physical, expected);
}

namespace {

// Waits, within bounds, until cva has sent `bytes` more than `from` by the kernel's count.
bool WaitForSent(double from, double bytes)
{
    for (int i = 0; i < 1000 && KernelStats("cva")[TxBytes] - from < bytes; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return KernelStats("cva")[TxBytes] - from >= bytes;
}

} // namespace

TEST_F(CounterQueryNetns, OctetReaderGivesTheKernelsExactByteCounts)
{
    NamespaceEntry inA(m_a);
    ASSERT_TRUE(inA.Ok());
    std::unique_ptr<UdpSocket> receiverB; // so that B answers with nothing
    {
        NamespaceEntry inB(m_b);
        receiverB = std::make_unique<UdpSocket>("10.77.0.2", 40002);
    }
    plat::COctetReader reader;
    UdpSocket sender("10.77.0.1");
    const double start = KernelStats("cva")[TxBytes];
    sender.Send("10.77.0.2", 40002, 10, 1); // resolve the neighbour before measuring
    ASSERT_TRUE(WaitForSent(start, 10 + 42));
    std::vector<plat::InterfaceOctets> first, second, all;
    ASSERT_TRUE(reader.Read({"cva", "corvala-no-such-if0"}, first));
    const Stats before = KernelStats("cva");
    ASSERT_EQ(sender.Send("10.77.0.2", 40002, 700, 60), 60);
    ASSERT_TRUE(WaitForSent(before[TxBytes], 60 * (700 + 42))); // UDP, IPv4 and Ethernet headers: 42
    ASSERT_TRUE(reader.Read({"cva"}, second));
    const Stats after = KernelStats("cva");
    ASSERT_EQ(first.size(), 1u) << "an interface that does not exist is left out";
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(first[0].identity, "cva") << "a veth pair has no permanent address";
    EXPECT_EQ(second[0].txBytes - first[0].txBytes, 60u * (700 + 42));
    EXPECT_EQ(double(second[0].txBytes - first[0].txBytes), after[TxBytes] - before[TxBytes]);
    EXPECT_EQ(double(second[0].rxBytes - first[0].rxBytes), after[RxBytes] - before[RxBytes]);
    ASSERT_TRUE(reader.Read({}, all));
    EXPECT_EQ(all.size(), 2u) << "lo and cva";
    ASSERT_TRUE(m_a.Ip("link del cva") && ConnectPair(m_a, "cva", m_b, "cvb") && reader.Read({"cva"}, all));
    EXPECT_NE(all.at(0).instance, second[0].instance) << "a re-created interface is another instance";
}
