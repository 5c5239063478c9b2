// corvala-probe: lists the network interfaces, or runs Corvala's sampling thread against one
// interface and prints every sample it queues (or each cycle's byte rates as JSON for status
// bars), or prints the traffic totals of the monitor's database. Writes no file.

#include "CCounterSampler.h"
#include "CRateLines.h"
#include "CSetSystem.h"
#include "EnumNetworkInterfaces.h"
#include "Platform.h"
#include "ProbeTotals.h"
#include "ValueText.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

constexpr const char *kUsage =
    "Usage: corvala-probe --list\n"
    "       corvala-probe [--interval MS] [--count N] [--format FORMAT] INTERFACE\n"
    "       corvala-probe --totals [--db PATH]\n"
    "       corvala-probe --help | --version\n"
    "\n"
    "  --list          print the interface names in the order Corvala offers them\n"
    "  --interval MS   pause between two collections, 1 to 60000 ms (default 500)\n"
    "  --count N       stop after N sampling cycles (default: run until Ctrl+C)\n"
    "  --format FORMAT tab (default), json or waybar: one line per cycle with the byte\n"
    "                  rates, for status bars\n"
    "  --totals        print the traffic totals of today and of the billing month, one\n"
    "                  line per interface and period: name, today|month, received, sent\n"
    "  --db PATH       read the totals from PATH instead of Corvala's own database\n"
    "  --help          show this text\n"
    "  --version       show the version\n"
    "\n"
    "Samples the ten counters of INTERFACE with Corvala's own sampling thread and prints one\n"
    "line per sample, fields separated by tabs: milliseconds since start (when the sample\n"
    "was taken from the queue), counter name, raw value, value text (\"1.500 KB/s\").\n"
    "The first values arrive one interval after start. A cycle is the run of samples of one\n"
    "collection; cycles in which the interface is missing produce none and are not counted.\n"
    "The ten zero samples the sampler queues when it stops are not printed.\n";

constexpr int kPollMs = 10;

volatile std::sig_atomic_t g_interrupted = 0;

struct Options {
    bool list = false;
    bool help = false;
    bool version = false;
    bool totals = false;
    std::string database;
    CRateLines::Format format = CRateLines::Format::Tab;
    int intervalMs = 500;
    long long count = 0; // 0: unlimited
    std::string interface;
};

void OnInterrupt(int)
{
    g_interrupted = 1;
}

bool ParseNumber(std::string_view text, long long low, long long high, long long &value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= low && value <= high;
}

bool Fail(const std::string &message)
{
    std::fprintf(stderr, "corvala-probe: %s\nTry 'corvala-probe --help'.\n", message.c_str());
    return false;
}

// One rule per option: a switch sets its flag; an option with a value sets it through
// `apply` (nullptr, or why the value is refused).
struct OptionRule {
    std::string_view name;
    bool Options::*flag;
    const char *(*apply)(Options &options, std::string_view value);
};

const OptionRule kOptionRules[] = {
    {"--help", &Options::help, nullptr},
    {"-h", &Options::help, nullptr},
    {"--version", &Options::version, nullptr},
    {"--list", &Options::list, nullptr},
    {"--totals", &Options::totals, nullptr},
    {"--db", nullptr,
     [](Options &options, std::string_view value) -> const char * {
         options.database = value;
         return nullptr;
     }},
    {"--format", nullptr,
     [](Options &options, std::string_view value) -> const char * {
         return CRateLines::ParseFormat(value, options.format) ? nullptr : "--format takes tab, json or waybar";
     }},
    {"--interval", nullptr,
     [](Options &options, std::string_view value) -> const char * {
         long long ms = 0;
         if (!ParseNumber(value, 1, 60000, ms))
             return "--interval takes 1 to 60000 milliseconds";
         options.intervalMs = static_cast<int>(ms);
         return nullptr;
     }},
    {"--count", nullptr,
     [](Options &options, std::string_view value) -> const char * {
         return ParseNumber(value, 1, 1000000000000LL, options.count) ? nullptr
                                                                       : "--count takes a positive number of cycles";
     }},
};

bool ParseArgs(int argc, char **argv, Options &options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const auto rule = std::find_if(std::begin(kOptionRules), std::end(kOptionRules),
                                       [arg](const OptionRule &candidate) { return candidate.name == arg; });
        if (rule != std::end(kOptionRules) && rule->flag) {
            options.*rule->flag = true;
        } else if (rule != std::end(kOptionRules)) {
            if (i + 1 >= argc)
                return Fail(std::string(arg) + " needs a value");
            if (const char *refusal = rule->apply(options, argv[++i]))
                return Fail(refusal);
        } else if (!arg.empty() && arg[0] == '-') {
            return Fail("unknown option '" + std::string(arg) + "'");
        } else if (options.interface.empty()) {
            options.interface = arg;
        } else {
            return Fail("only one interface can be sampled");
        }
    }
    if (!options.help && !options.version && !options.list && !options.totals && options.interface.empty())
        return Fail("name an interface, or use --list");
    return true;
}

int ListInterfaces()
{
    std::vector<std::string> names;
    EnumNetworkInterfaces(names);
    for (const std::string &name : names)
        std::printf("%s\n", name.c_str());
    return 0;
}

std::string RawText(const CounterSample &sample)
{
    char text[64];
    if (sample.m_nFormat == plat::PDH_FMT_DOUBLE)
        std::snprintf(text, sizeof text, "%.3f", sample.DoubleValue());
    else if (sample.m_nFormat == plat::PDH_FMT_LARGE)
        std::snprintf(text, sizeof text, "%lld", static_cast<long long>(sample.LargeValue()));
    else
        std::snprintf(text, sizeof text, "%d", sample.LongValue());
    return text;
}

void PrintSample(const CSetSystem &settings, const CounterSample &sample, long long elapsedMs, CRateLines &lines)
{
    const CSetCntData &definition = settings.m_CntData[static_cast<std::size_t>(sample.m_nIndex)];
    std::int64_t value = 0;
    const std::string valueText
        = SampleToValue(sample, value) ? FormatValueText(value, definition.GetUnitName()) : "-";
    if (lines.Wanted()) {
        lines.Take(sample.m_nIndex, value, valueText);
        return;
    }
    std::printf("%lld\t%s\t%s\t%s\n", elapsedMs, definition.GetCntName().c_str(), RawText(sample).c_str(),
                valueText.c_str());
}

// Counts finished cycles: one ends with the last counter's sample, or when a sample of a
// lower or equal index shows that the next one has begun.
class CycleCounter {
public:
    // False when `index` starts a cycle beyond the wanted number.
    bool Accept(int index, long long wanted)
    {
        if (index <= m_nLast)
            ++m_nDone;
        if (wanted > 0 && m_nDone >= wanted)
            return false;
        m_nLast = index;
        if (index == kCounterCount - 1) {
            ++m_nDone;
            m_nLast = -1;
        }
        return true;
    }
    bool Finished(long long wanted) const { return wanted > 0 && m_nDone >= wanted; }

private:
    int m_nLast = -1;
    long long m_nDone = 0;
};

int Sample(const Options &options)
{
    std::vector<std::string> names;
    EnumNetworkInterfaces(names);
    if (std::find(names.begin(), names.end(), options.interface) == names.end()) {
        std::fprintf(stderr, "corvala-probe: unknown interface '%s' (see --list)\n",
                     options.interface.c_str());
        return 2;
    }
    CSetSystem settings;
    settings.Load(""); // no path: every value is its default and nothing is written
    settings.m_CntBase.SetInsName(options.interface.c_str());
    settings.m_CntBase.SetInsIndex(-1);
    settings.m_CntBase.SetCounterWait(options.intervalMs);

    CCounterSampler sampler(settings);
    CRateLines lines(options.format, options.interface);
    const auto start = std::chrono::steady_clock::now();
    sampler.Start();
    CycleCounter cycles;
    std::vector<CounterSample> samples;
    bool ended = false;
    while (!g_interrupted && !cycles.Finished(options.count) && !ended) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
        ended = sampler.HasEnded();
        sampler.TakeSamples(samples);
        const auto elapsed
            = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        for (const CounterSample &sample : samples) {
            if (ended || !cycles.Accept(sample.m_nIndex, options.count))
                break;
            PrintSample(settings, sample, static_cast<long long>(elapsed.count()), lines);
        }
        std::fflush(stdout);
    }
    sampler.Stop();
    if (ended) {
        std::fprintf(stderr, "corvala-probe: the counters of '%s' could not be opened\n",
                     options.interface.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    plat::RestrictLibrarySearch();
    Options options;
    if (!ParseArgs(argc, argv, options))
        return 2;
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (options.version) {
        std::printf("corvala-probe %s\n", CORVALA_VERSION);
        return 0;
    }
    if (options.list)
        return ListInterfaces();
    if (options.totals)
        return PrintTotals(options.database.empty() ? DefaultDatabasePath(plat::GetModuleFileName()) : options.database);
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    return Sample(options);
}
