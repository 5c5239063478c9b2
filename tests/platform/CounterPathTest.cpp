#include "CounterPath.h"

#include <gtest/gtest.h>

namespace {

std::string Format(const char *machine, const char *instance, std::uint32_t index,
                   const char *parent = nullptr)
{
    plat::CounterPathElements elements {machine, "Network Interface", instance, parent,
                                        index,   "Bytes Sent/sec"};
    return plat::FormatCounterPath(elements);
}

} // namespace

TEST(CounterPath, FormatsInstanceIndexParentAndMachineAsPdhDoes)
{
    EXPECT_EQ(Format(nullptr, "eth0", 0xFFFFFFFF), "\\Network Interface(eth0)\\Bytes Sent/sec");
    EXPECT_EQ(Format(nullptr, "eth0", 0), "\\Network Interface(eth0)\\Bytes Sent/sec");
    EXPECT_EQ(Format(nullptr, "eth0", 2), "\\Network Interface(eth0#2)\\Bytes Sent/sec");
    EXPECT_EQ(Format(nullptr, nullptr, 0xFFFFFFFF), "\\Network Interface\\Bytes Sent/sec");
    EXPECT_EQ(Format(nullptr, "eth0", 0, "bond"), "\\Network Interface(bond/eth0)\\Bytes Sent/sec");
    EXPECT_EQ(Format("pc", "eth0", 0), "\\\\pc\\Network Interface(eth0)\\Bytes Sent/sec");
}

TEST(CounterPath, ParsesWhatItFormatsEvenForAwkwardInterfaceNames)
{
    // Linux allows '(', ')', '\' and '#' in interface names.
    for (const char *name : {"eth0", "we(ird)", "a\\b", "x)", "v#1", ""}) {
        plat::CounterPathParts parts;
        ASSERT_TRUE(plat::ParseCounterPath(Format(nullptr, name, 0xFFFFFFFF), parts)) << name;
        EXPECT_TRUE(parts.hasInstance && parts.instance == name && parts.parent.empty()) << name;
        EXPECT_EQ(parts.object + "|" + parts.counter + "|" + parts.machine,
                  "Network Interface|Bytes Sent/sec|");
    }
    plat::CounterPathParts parts;
    ASSERT_TRUE(plat::ParseCounterPath(Format("pc", nullptr, 0), parts));
    EXPECT_TRUE(!parts.hasInstance && parts.machine == "pc");
    ASSERT_TRUE(plat::ParseCounterPath(Format(nullptr, "eth0", 0, "bond"), parts));
    EXPECT_TRUE(parts.parent == "bond" && parts.instance == "eth0");
}

TEST(CounterPath, RejectsMalformedPaths)
{
    for (const char *path :
         {"", "Network Interface(eth0)\\Bytes Sent/sec", "\\Network Interface(eth0)\\", "\\Bytes Sent/sec",
          "\\Network Interface(eth0\\Bytes Sent/sec", "\\(eth0)\\Bytes Sent/sec",
          "\\\\\\Network Interface\\Bytes Sent/sec", "\\\\pc"}) {
        plat::CounterPathParts parts;
        EXPECT_FALSE(plat::ParseCounterPath(path, parts)) << path;
    }
}
