// Linux: what the traffic totals need: interface octet counters over rtnetlink, local time
// from the C library, and paths (already UTF-8 bytes).

#include "CNetlinkStats.h"
#include "Platform.h"

namespace plat {

struct COctetReader::Impl {
    CNetlinkStats netlink;
    bool open = false;
};

COctetReader::COctetReader() : m_pImpl(std::make_unique<Impl>())
{
    m_pImpl->open = m_pImpl->netlink.Open(false) != 0;
}

COctetReader::~COctetReader() = default;

int COctetReader::Read(const std::vector<std::string> &names, std::vector<InterfaceOctets> &octets)
{
    octets.clear();
    if (!m_pImpl->open)
        return 0;
    if (names.empty())
        return m_pImpl->netlink.ListLinkOctets(octets);
    for (const std::string &name : names) {
        InterfaceOctets reading;
        const CNetlinkStats::ReadResult result = m_pImpl->netlink.ReadLinkOctets(name, reading);
        if (result == CNetlinkStats::ReadResult::Failed)
            return 0;
        if (result == CNetlinkStats::ReadResult::Ok)
            octets.push_back(std::move(reading));
    }
    return 1;
}

int LocalTimeOf(std::int64_t unixSeconds, std::tm &local)
{
    const std::time_t time = static_cast<std::time_t>(unixSeconds);
    return ::localtime_r(&time, &local) ? 1 : 0;
}

std::string PathToUtf8(const std::string &path)
{
    return path;
}

} // namespace plat
