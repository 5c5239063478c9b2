// Feeds arbitrary bytes to the rtnetlink reply parsers as if the kernel had sent them, in a
// buffer of exactly their size. Besides crashes, reads outside the buffer and undefined
// behaviour it checks that every interface listed has a name that the bytes could hold.

#include "LinkOctets.h"
#include "NetlinkReply.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const auto seq = input.ConsumeIntegral<std::uint32_t>();
    const std::vector<char> reply = input.ConsumeRemainingBytes<char>();

    plat::LinkCounters counters;
    auto result = plat::LinkReadResult::Failed;
    (void)plat::ParseStatsReply(reply.data(), reply.size(), seq, counters, result);

    std::vector<plat::LinkInfo> links;
    (void)plat::ParseLinkDump(reply.data(), reply.size(), seq, links);
    for (const plat::LinkInfo &link : links)
        if (link.name.empty() || link.name.size() > reply.size())
            std::abort();

    std::vector<plat::LinkStats> stats;
    const auto each = [&stats, &reply](const nlmsghdr &header, const char *message) {
        plat::LinkStats one;
        if (plat::ParseLinkStats(header, message, one))
            stats.push_back(one);
        plat::InterfaceOctets octets;
        if (plat::ParseLinkOctets(header, message, octets) && octets.name.size() > reply.size())
            std::abort();
    };
    (void)plat::ParseDumpPart(reply.data(), reply.size(), seq, each);
    return 0;
}
