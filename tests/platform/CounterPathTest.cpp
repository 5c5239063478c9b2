#include "CounterPath.h"
#include "PdhText.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace {

std::string Format(const char *machine, const char *instance, std::uint32_t index, const char *parent = nullptr)
{
    plat::CounterPathElements elements;
    elements.machineName = machine;
    elements.objectName = "Network Interface";
    elements.instanceName = instance;
    elements.parentInstance = parent;
    elements.instanceIndex = index;
    elements.counterName = "Bytes Received/sec";
    return plat::FormatCounterPath(elements);
}

} // namespace

TEST(CounterPath, FormatsInstanceIndexParentAndMachineAsPdhDoes)
{
    EXPECT_EQ(Format(nullptr, "eth0", 0xFFFFFFFF), "\\Network Interface(eth0)\\Bytes Received/sec");
    EXPECT_EQ(Format(nullptr, "eth0", 0), "\\Network Interface(eth0)\\Bytes Received/sec");
    EXPECT_EQ(Format(nullptr, "eth0", 2), "\\Network Interface(eth0#2)\\Bytes Received/sec");
    EXPECT_EQ(Format(nullptr, nullptr, 0xFFFFFFFF), "\\Network Interface\\Bytes Received/sec");
    EXPECT_EQ(Format(nullptr, "", 0xFFFFFFFF), "\\Network Interface()\\Bytes Received/sec");
    EXPECT_EQ(Format(nullptr, "eth0", 0, "bond"), "\\Network Interface(bond/eth0)\\Bytes Received/sec");
    EXPECT_EQ(Format("host", "eth0", 0), "\\\\host\\Network Interface(eth0)\\Bytes Received/sec");
    EXPECT_EQ(Format("\\\\host", "eth0", 0), "\\\\host\\Network Interface(eth0)\\Bytes Received/sec");
}

TEST(CounterPath, ParsesWhatItFormatsEvenForAwkwardInterfaceNames)
{
    // Linux allows '(', ')', '\' and '#' in interface names.
    for (const char *name : {"eth0", "we(ird)", "a\\b", "x)", "v#1", "br-1.100"}) {
        plat::CounterPathParts parts;
        ASSERT_TRUE(plat::ParseCounterPath(Format(nullptr, name, 0xFFFFFFFF), parts)) << name;
        EXPECT_TRUE(parts.hasInstance);
        EXPECT_EQ(parts.instance, name);
        EXPECT_EQ(parts.object, "Network Interface");
        EXPECT_EQ(parts.counter, "Bytes Received/sec");
        EXPECT_EQ(parts.machine, "");
    }
    plat::CounterPathParts parts;
    ASSERT_TRUE(plat::ParseCounterPath(Format("pc", nullptr, 0), parts));
    EXPECT_FALSE(parts.hasInstance);
    EXPECT_EQ(parts.machine, "pc");
    ASSERT_TRUE(plat::ParseCounterPath(Format(nullptr, "eth0", 0, "bond"), parts));
    EXPECT_EQ(parts.parent, "bond");
    EXPECT_EQ(parts.instance, "eth0");
}

TEST(CounterPath, RejectsMalformedPaths)
{
    for (const char *path : {"", "Network Interface(eth0)\\Bytes Received/sec", "\\Network Interface(eth0)\\",
                             "\\Bytes Received/sec", "\\Network Interface(eth0\\Bytes Received/sec",
                             "\\(eth0)\\Bytes Received/sec", "\\\\\\Network Interface\\Bytes Received/sec",
                             "\\\\host"}) {
        plat::CounterPathParts parts;
        EXPECT_FALSE(plat::ParseCounterPath(path, parts)) << path;
    }
}

TEST(CounterPath, ComparesNamesWithoutRegardToAsciiCase)
{
    EXPECT_TRUE(plat::EqualsNoCase("Network Interface", "nETWORK interface"));
    EXPECT_FALSE(plat::EqualsNoCase("Network Interface", "Network Interfaces"));
    EXPECT_FALSE(plat::EqualsNoCase("a", "b"));
}

TEST(PdhText, ReportsTheSizeNeededThenFillsABufferOfThatSize)
{
    std::uint32_t size = 0;
    EXPECT_EQ(plat::DeliverText("abc", nullptr, &size), plat::PDH_MORE_DATA);
    EXPECT_EQ(size, 4u);

    char small[3] = {'x', 'x', 'x'};
    size = sizeof small;
    EXPECT_EQ(plat::DeliverText("abc", small, &size), plat::PDH_MORE_DATA);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(small[0], 'x') << "nothing is copied into a buffer that is too small";

    char exact[4];
    EXPECT_EQ(plat::DeliverText("abc", exact, &size), plat::PDH_OK);
    EXPECT_STREQ(exact, "abc");
    EXPECT_EQ(plat::DeliverText("abc", exact, nullptr), plat::PDH_INVALID_ARGUMENT);
}

TEST(PdhText, ItemListsEndWithAnEmptyString)
{
    const std::string list = plat::JoinItemList({"eth0", "lo"});
    std::uint32_t size = 0;
    plat::DeliverText(list, nullptr, &size);
    std::string buffer(size, 'x');
    ASSERT_EQ(plat::DeliverText(list, buffer.data(), &size), plat::PDH_OK);
    EXPECT_EQ(buffer, "eth0\0lo\0\0"s);

    size = 0;
    plat::DeliverText(plat::JoinItemList({}), nullptr, &size);
    EXPECT_EQ(size, 1u) << "an empty list is a single zero";
}
