#include "NetlinkReply.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <linux/netlink.h>
#include <vector>

// Error replies of every length, each in a buffer of exactly its size, so that a read past
// its end is caught by AddressSanitizer.
TEST(NetlinkReply, ErrorRepliesAreReadWithinTheirLength)
{
    const struct { std::uint32_t length; int error; plat::LinkReadResult result; } cases[] = {
        {sizeof(nlmsghdr), 0, plat::LinkReadResult::Failed},
        {sizeof(nlmsghdr) + sizeof(int), -ENODEV, plat::LinkReadResult::NoDevice},
        {sizeof(nlmsghdr) + sizeof(nlmsgerr), -ENODEV, plat::LinkReadResult::NoDevice},
        {sizeof(nlmsghdr) + sizeof(nlmsgerr), -EPERM, plat::LinkReadResult::Failed},
        {sizeof(nlmsghdr) + sizeof(int), INT_MIN, plat::LinkReadResult::Failed},
    };
    for (const auto &c : cases) {
        std::vector<char> buffer(c.length);
        const nlmsghdr header {c.length, NLMSG_ERROR, 0, 7, 0};
        std::memcpy(buffer.data(), &header, sizeof header);
        if (c.length >= sizeof header + sizeof c.error)
            std::memcpy(buffer.data() + sizeof header, &c.error, sizeof c.error);
        plat::LinkCounters counters;
        auto result = plat::LinkReadResult::Ok;
        EXPECT_TRUE(plat::ParseStatsReply(buffer.data(), buffer.size(), 7, counters, result));
        EXPECT_EQ(result, c.result) << c.length;
        EXPECT_FALSE(plat::ParseStatsReply(buffer.data(), buffer.size(), 8, counters, result));
    }
}
