// The Linux counter layer against real traffic: two namespaces made by the test, joined by
// a veth pair, with UDP datagrams sent both ways. Needs root; skipped otherwise.

#include "NetNamespace.h"
#include "Platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <thread>

namespace {

using Stats = std::array<std::uint64_t, 5>; // rx bytes, tx bytes, rx packets, tx packets, multicast

std::uint64_t BootNs()
{
    timespec now {};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000000u + static_cast<std::uint64_t>(now.tv_nsec);
}

// The kernel's own counts for `name`, read through another door than the layer's.
Stats KernelStats(const std::string &name)
{
    std::ifstream in("/proc/thread-self/net/dev");
    for (std::string line; std::getline(in, line);) {
        const auto colon = line.find(':');
        const auto start = line.find_first_not_of(' ');
        if (colon == std::string::npos || line.compare(start, colon - start, name) != 0)
            continue;
        std::istringstream fields(line.substr(colon + 1));
        std::uint64_t f[16] = {};
        for (std::uint64_t &field : f)
            fields >> field;
        return {f[0], f[8], f[1], f[9], f[7]};
    }
    ADD_FAILURE() << name << " is not in /proc/thread-self/net/dev";
    return {};
}

void Settle()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

class CounterQueryNetns : public ::testing::Test {
protected:
    void SetUp() override
    {
        CORVALA_SKIP_WITHOUT_NETNS(m_a);
        ASSERT_TRUE(m_b.Ok());
        ASSERT_TRUE(ConnectPair(m_a, "cva", m_b, "cvb"));
    }
    void TearDown() override
    {
        if (m_query)
            plat::CloseQuery(m_query);
    }
    // Opens the query in the calling thread's namespace and adds `counters` for cva.
    void OpenWith(const std::vector<const char *> &counters)
    {
        ASSERT_EQ(plat::OpenQuery(nullptr, 0, &m_query), plat::PDH_OK);
        for (const char *name : counters) {
            plat::PdhCounter counter = nullptr;
            const std::string path = std::string("\\Network Interface(cva)\\") + name;
            ASSERT_EQ(plat::AddCounter(m_query, path.c_str(), 0, &counter), plat::PDH_OK);
            m_counters.push_back(counter);
        }
    }
    plat::PdhStatus Fetch(std::size_t i, double &rate)
    {
        plat::FmtCounterValue value;
        const plat::PdhStatus status = plat::GetFormattedCounterValue(m_counters[i], plat::PDH_FMT_DOUBLE, nullptr, &value);
        rate = status == plat::PDH_OK ? value.doubleValue : -1;
        return status;
    }
    // Sends from A to B (the caller is in A).
    static void Traffic(int datagrams)
    {
        UdpSocket sender("10.77.0.1");
        ASSERT_EQ(sender.Send("10.77.0.2", 40002, 700, datagrams), datagrams);
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
    ASSERT_TRUE(receiverA.Ok() && senderA.Ok() && receiverB->Ok() && senderB->Ok());
    senderA.Send("10.77.0.2", 40002, 10, 1); // resolve the neighbour before measuring
    Settle();

    const std::vector<std::pair<const char *, std::function<std::uint64_t(const Stats &)>>> cases = {
        {"Bytes Received/sec", [](const Stats &d) { return d[0]; }},
        {"Bytes Sent/sec", [](const Stats &d) { return d[1]; }},
        {"Bytes Total/sec", [](const Stats &d) { return d[0] + d[1]; }},
        {"Packets Received/sec", [](const Stats &d) { return d[2]; }},
        {"Packets Sent/sec", [](const Stats &d) { return d[3]; }},
        {"Packets/sec", [](const Stats &d) { return d[2] + d[3]; }},
        {"Packets Received Unicast/sec", [](const Stats &d) { return d[2] - d[4]; }},
        {"Packets Sent Unicast/sec", [](const Stats &d) { return d[3]; }},
        {"Packets Received Non-Unicast/sec", [](const Stats &d) { return d[4]; }},
        {"Packets Sent Non-Unicast/sec", [](const Stats &) { return std::uint64_t(0); }},
    };
    std::vector<const char *> names;
    for (const auto &c : cases)
        names.push_back(c.first);
    OpenWith(names);

    const std::uint64_t before0 = BootNs();
    plat::CollectQueryData(m_query);
    const std::uint64_t after0 = BootNs();
    const Stats first = KernelStats("cva");
    ASSERT_EQ(senderA.Send("10.77.0.2", 40002, 700, 60), 60);
    ASSERT_EQ(senderB->Send("10.77.0.1", 40001, 300, 40), 40);
    Settle();
    const Stats second = KernelStats("cva");
    const std::uint64_t before1 = BootNs();
    plat::CollectQueryData(m_query);
    const std::uint64_t after1 = BootNs();

    Stats delta {};
    for (std::size_t i = 0; i < delta.size(); ++i)
        delta[i] = second[i] - first[i];
    ASSERT_GE(delta[3], 60u) << "the datagrams to B left through cva";
    ASSERT_GE(delta[2], 40u) << "the datagrams from B came in through cva";
    // The layer's interval lies between the inner and the outer pair of clock readings.
    const double shortest = double(before1 - after0) / 1e9, longest = double(after1 - before0) / 1e9;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const double count = double(cases[i].second(delta));
        double rate = 0;
        ASSERT_EQ(Fetch(i, rate), plat::PDH_OK) << cases[i].first;
        EXPECT_GE(rate, count / longest * 0.99) << cases[i].first;
        EXPECT_LE(rate, count / shortest * 1.01) << cases[i].first;
    }
}

TEST_F(CounterQueryNetns, VanishedInterfaceFailsItsFetchesAndResumesWhenBack)
{
    NamespaceEntry inA(m_a);
    ASSERT_TRUE(inA.Ok());
    OpenWith({"Bytes Sent/sec"});
    double rate = 0;
    plat::CollectQueryData(m_query);
    plat::CollectQueryData(m_query);
    ASSERT_EQ(Fetch(0, rate), plat::PDH_OK);

    ASSERT_TRUE(m_a.Ip("link del cva"));
    for (int cycle = 0; cycle < 2; ++cycle) {
        EXPECT_EQ(plat::CollectQueryData(m_query), plat::PDH_OK);
        EXPECT_EQ(Fetch(0, rate), plat::PDH_CSTATUS_NO_INSTANCE);
    }

    ASSERT_TRUE(ConnectPair(m_a, "cva", m_b, "cvb"));
    plat::CollectQueryData(m_query);
    EXPECT_NE(Fetch(0, rate), plat::PDH_OK) << "the first reading of the new interface is only a base";
    Traffic(20);
    Settle();
    plat::CollectQueryData(m_query);
    ASSERT_EQ(Fetch(0, rate), plat::PDH_OK);
    EXPECT_GT(rate, 0);
}

TEST_F(CounterQueryNetns, InterfaceRecreatedBetweenCollectionsSkipsOneValue)
{
    NamespaceEntry inA(m_a);
    ASSERT_TRUE(inA.Ok());
    OpenWith({"Bytes Sent/sec", "Packets Sent/sec"});
    Traffic(50);
    Settle();
    plat::CollectQueryData(m_query);

    // Counts restart from zero under a new index; no value may span the two interfaces.
    ASSERT_TRUE(m_a.Ip("link del cva"));
    ASSERT_TRUE(ConnectPair(m_a, "cva", m_b, "cvb"));
    plat::CollectQueryData(m_query);
    double rate = 0;
    EXPECT_NE(Fetch(0, rate), plat::PDH_OK);
    EXPECT_NE(Fetch(1, rate), plat::PDH_OK);
    plat::CollectQueryData(m_query);
    EXPECT_EQ(Fetch(0, rate), plat::PDH_OK);
    EXPECT_GE(rate, 0);
}

TEST_F(CounterQueryNetns, RenamedInterfaceIsNotFollowedUnderItsOldName)
{
    NamespaceEntry inA(m_a);
    ASSERT_TRUE(inA.Ok());
    OpenWith({"Bytes Sent/sec"});
    plat::CollectQueryData(m_query);
    plat::CollectQueryData(m_query);
    double rate = 0;
    ASSERT_EQ(Fetch(0, rate), plat::PDH_OK);

    ASSERT_TRUE(m_a.Ip("link set cva down") && m_a.Ip("link set cva name cvx"));
    plat::CollectQueryData(m_query);
    EXPECT_EQ(Fetch(0, rate), plat::PDH_CSTATUS_NO_INSTANCE);
}

TEST_F(CounterQueryNetns, QueryReadsTheNamespaceItWasOpenedIn)
{
    {
        NamespaceEntry inA(m_a);
        ASSERT_TRUE(inA.Ok());
        OpenWith({"Packets Sent/sec"});
    }
    // Back in the test's own namespace, where no cva exists.
    plat::CollectQueryData(m_query);
    plat::CollectQueryData(m_query);
    double rate = 0;
    EXPECT_EQ(Fetch(0, rate), plat::PDH_OK);
}
