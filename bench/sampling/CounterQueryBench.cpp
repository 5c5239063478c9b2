// One collection of one interface's ten counters (CollectQueryData and ten formatted values),
// in a namespace with only that interface and in one with 2000 more, so that any cost that
// grows with the number of interfaces on the host shows; and one statistics dump of every
// interface, as a sum over interfaces reads it each cycle. Needs root.

#include "CNetlinkStats.h"
#include "Platform.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <memory>
#include <sched.h>
#include <string>
#include <unistd.h>

namespace {

bool Run(const std::string &command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// A namespace holding loopback, `pairs` veth pairs (x0/y0 ...) and `dummies` stand-in
// interfaces (i0 ...), removed at exit. The stand-ins are ifb devices: they need no peer,
// and unlike the dummy driver every kernel built with traffic control has them.
class BenchNamespace {
public:
    explicit BenchNamespace(int pairs, int dummies = 0)
        : m_name("corvala-bench-" + std::to_string(::getpid()) + "-" + std::to_string(pairs) + "-"
                 + std::to_string(dummies))
    {
        m_ok
            = ::geteuid() == 0 && Run("ip netns add " + m_name) && Run("ip -n " + m_name + " link set lo up");
        if (m_ok && pairs > 0)
            m_ok = AddLinks(pairs, "link add x%d type veth peer name y%d\n");
        if (m_ok && dummies > 0)
            m_ok = AddLinks(dummies, "link add i%d type ifb\n");
    }
    ~BenchNamespace() { Run("ip netns del " + m_name); }
    bool Ok() const { return m_ok; }
    const std::string &Name() const { return m_name; }

private:
    // `line` takes the link's number once or twice.
    bool AddLinks(int count, const char *line) const
    {
        const std::string batch = "/tmp/" + m_name + ".batch";
        std::FILE *file = std::fopen(batch.c_str(), "w");
        if (!file)
            return false;
        for (int i = 0; i < count; ++i)
            std::fprintf(file, line, i, i);
        std::fclose(file);
        const bool ok = Run("ip -n " + m_name + " -batch " + batch);
        std::remove(batch.c_str());
        return ok;
    }

    std::string m_name;
    bool m_ok = false;
};

BenchNamespace &NamespaceWith(int pairs, int dummies = 0)
{
    static std::map<std::pair<int, int>, std::unique_ptr<BenchNamespace>> made;
    auto &slot = made[{pairs, dummies}];
    if (!slot)
        slot = std::make_unique<BenchNamespace>(pairs, dummies);
    return *slot;
}

bool Enter(const BenchNamespace &ns)
{
    const int fd = ::open(("/run/netns/" + ns.Name()).c_str(), O_RDONLY | O_CLOEXEC);
    const bool entered = fd >= 0 && ::setns(fd, CLONE_NEWNET) == 0;
    if (fd >= 0)
        ::close(fd);
    return entered;
}

// The interface sampled: loopback alone, or the last veth of the crowd.
std::string Sampled(int pairs)
{
    return pairs == 0 ? "lo" : "x" + std::to_string(pairs - 1);
}

void BM_CollectTenCounters(benchmark::State &state)
{
    const int pairs = static_cast<int>(state.range(0));
    const BenchNamespace &ns = NamespaceWith(pairs);
    const int home = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    if (!ns.Ok() || !Enter(ns)) {
        state.SkipWithError("needs root to build network namespaces");
        return;
    }
    plat::PdhQuery query = nullptr;
    plat::OpenQuery(nullptr, 0, &query);
    ::setns(home, CLONE_NEWNET); // the query stays with the namespace it was opened in
    ::close(home);
    std::vector<plat::PdhCounter> counters;
    for (const char *name :
         {"Bytes Received/sec", "Bytes Sent/sec", "Bytes Total/sec", "Packets Received/sec",
          "Packets Sent/sec", "Packets/sec", "Packets Received Unicast/sec", "Packets Sent Unicast/sec",
          "Packets Received Non-Unicast/sec", "Packets Sent Non-Unicast/sec"}) {
        const std::string path = "\\Network Interface(" + Sampled(pairs) + ")\\" + name;
        plat::PdhCounter counter = nullptr;
        plat::AddCounter(query, path.c_str(), 0, &counter);
        counters.push_back(counter);
    }
    plat::CollectQueryData(query);
    plat::CollectQueryData(query);
    int failures = 0;
    for (auto _ : state) {
        plat::CollectQueryData(query);
        for (plat::PdhCounter counter : counters) {
            plat::FmtCounterValue value;
            failures += plat::GetFormattedCounterValue(counter, plat::PDH_FMT_LARGE, nullptr, &value)
                        != plat::PDH_OK;
            benchmark::DoNotOptimize(value.largeValue);
        }
    }
    plat::CloseQuery(query);
    state.counters["interfaces"] = 1 + 2 * pairs;
    if (failures > 0)
        state.SkipWithError("a fetch failed during the run");
}
BENCHMARK(BM_CollectTenCounters)->ArgName("pairs")->Arg(0)->Arg(1000);

// For comparison: the bare rtnetlink request that each collection makes per interface.
void BM_BareStatsRequest(benchmark::State &state)
{
    const BenchNamespace &ns = NamespaceWith(0);
    const int home = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    if (!ns.Ok() || !Enter(ns)) {
        state.SkipWithError("needs root to build network namespaces");
        return;
    }
    plat::CNetlinkStats netlink;
    netlink.Open(false);
    const int index = netlink.ResolveIndex("lo");
    ::setns(home, CLONE_NEWNET);
    ::close(home);
    plat::LinkCounters counters;
    for (auto _ : state)
        benchmark::DoNotOptimize(netlink.ReadLinkStats(index, counters));
}
BENCHMARK(BM_BareStatsRequest);

// One RTM_GETSTATS dump of every interface: loopback and 1 or 2001 stand-ins.
void BM_DumpEveryInterface(benchmark::State &state)
{
    const int dummies = static_cast<int>(state.range(0)) - 1;
    const BenchNamespace &ns = NamespaceWith(0, dummies);
    const int home = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    if (!ns.Ok() || !Enter(ns)) {
        state.SkipWithError("needs root to build network namespaces");
        return;
    }
    plat::CNetlinkStats netlink;
    netlink.Open(false);
    ::setns(home, CLONE_NEWNET);
    ::close(home);
    std::vector<plat::LinkStats> all;
    int failures = 0;
    for (auto _ : state) {
        failures += netlink.DumpLinkStats(all) == 0;
        benchmark::DoNotOptimize(all.data());
    }
    state.counters["read"] = static_cast<double>(all.size());
    if (failures > 0 || all.size() != static_cast<std::size_t>(dummies + 1))
        state.SkipWithError("a dump failed or missed interfaces");
}
BENCHMARK(BM_DumpEveryInterface)->ArgName("interfaces")->Arg(2)->Arg(2002);

// One collection of a sum over every interface, as the sampling thread makes it each cycle:
// a "Bytes Received/sec" counter per interface, read by one dump, and each value fetched.
void BM_CollectSumOfEveryInterface(benchmark::State &state)
{
    const int dummies = static_cast<int>(state.range(0)) - 1;
    const BenchNamespace &ns = NamespaceWith(0, dummies);
    const int home = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    if (!ns.Ok() || !Enter(ns)) {
        state.SkipWithError("needs root to build network namespaces");
        return;
    }
    plat::PdhQuery query = nullptr;
    plat::OpenQuery(nullptr, 0, &query);
    ::setns(home, CLONE_NEWNET);
    ::close(home);
    std::vector<plat::PdhCounter> counters;
    for (int i = -1; i < dummies; ++i) {
        const std::string path = "\\Network Interface(" + (i < 0 ? std::string("lo") : "i" + std::to_string(i))
                                 + ")\\Bytes Received/sec";
        plat::AddCounter(query, path.c_str(), 0, &counters.emplace_back());
    }
    plat::CollectQueryData(query);
    plat::CollectQueryData(query);
    int failures = 0;
    for (auto _ : state) {
        plat::CollectQueryData(query);
        for (plat::PdhCounter counter : counters) {
            plat::FmtCounterValue value;
            failures += plat::GetFormattedCounterValue(counter, plat::PDH_FMT_LARGE, nullptr, &value) != plat::PDH_OK;
            benchmark::DoNotOptimize(value.largeValue);
        }
    }
    plat::CloseQuery(query);
    if (failures > 0)
        state.SkipWithError("a fetch failed during the run");
}
BENCHMARK(BM_CollectSumOfEveryInterface)->ArgName("interfaces")->Arg(2)->Arg(2002);

} // namespace
