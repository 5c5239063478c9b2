// The Linux counter functions' contract, on the interfaces of the test's own namespace
// (no traffic is generated here; the namespace tests check the numbers).

#include "NetCounters.h"
#include "Platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string PathOf(const char *instance, const char *counter)
{
    plat::CounterPathElements elements;
    elements.objectName = "Network Interface";
    elements.instanceName = instance;
    elements.instanceIndex = 0xFFFFFFFF;
    elements.counterName = counter;
    std::uint32_t size = 0;
    EXPECT_EQ(plat::MakeCounterPath(&elements, nullptr, &size, 0), plat::PDH_MORE_DATA);
    std::string path(size, '\0');
    EXPECT_EQ(plat::MakeCounterPath(&elements, path.data(), &size, 0), plat::PDH_OK);
    path.resize(size - 1);
    return path;
}

// Opens a query and closes it at the end of the test, whatever happens.
class CounterQuery : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(plat::OpenQuery(nullptr, 0, &m_query), plat::PDH_OK); }
    void TearDown() override
    {
        if (m_query)
            plat::CloseQuery(m_query);
    }
    plat::PdhStatus Add(const std::string &path, plat::PdhCounter &counter)
    {
        return plat::AddCounter(m_query, path.c_str(), 0, &counter);
    }
    plat::PdhStatus Fetch(plat::PdhCounter counter, std::uint32_t format = plat::PDH_FMT_LARGE)
    {
        plat::FmtCounterValue value;
        return plat::GetFormattedCounterValue(counter, format, nullptr, &value);
    }

    plat::PdhQuery m_query = nullptr;
};

} // namespace

TEST_F(CounterQuery, AddRefusesPathsThatNameNoCounterOfTheObject)
{
    plat::PdhCounter counter = nullptr;
    EXPECT_EQ(Add("\\Network Interface(lo)\\Bytes Lost/sec", counter), plat::PDH_CSTATUS_NO_COUNTER);
    EXPECT_EQ(Add("\\Processor(_Total)\\% Processor Time", counter), plat::PDH_CSTATUS_NO_OBJECT);
    EXPECT_EQ(Add("\\\\no-such-machine\\Network Interface(lo)\\Bytes Sent/sec", counter),
              plat::PDH_CSTATUS_NO_MACHINE);
    EXPECT_EQ(Add("Network Interface(lo)", counter), plat::PDH_CSTATUS_BAD_COUNTERNAME);
    EXPECT_EQ(counter, nullptr);
    EXPECT_EQ(Add("\\NETWORK INTERFACE(lo)\\bytes sent/SEC", counter), plat::PDH_OK);
    EXPECT_NE(counter, nullptr);
}

TEST_F(CounterQuery, FirstValueComesAfterTheSecondCollection)
{
    plat::PdhCounter counter = nullptr;
    ASSERT_EQ(Add(PathOf("lo", "Bytes Total/sec"), counter), plat::PDH_OK);
    EXPECT_NE(Fetch(counter), plat::PDH_OK);
    ASSERT_EQ(plat::CollectQueryData(m_query), plat::PDH_OK);
    EXPECT_NE(Fetch(counter), plat::PDH_OK);
    ASSERT_EQ(plat::CollectQueryData(m_query), plat::PDH_OK);
    for (const std::uint32_t format : {plat::PDH_FMT_LONG, plat::PDH_FMT_DOUBLE, plat::PDH_FMT_LARGE})
        EXPECT_EQ(Fetch(counter, format), plat::PDH_OK) << format;
    EXPECT_EQ(Fetch(counter, 0x800), plat::PDH_INVALID_ARGUMENT);
}

TEST_F(CounterQuery, CountersOfMissingInstancesExistButNeverDeliver)
{
    plat::PdhCounter noInstance = nullptr, unknown = nullptr, parented = nullptr;
    ASSERT_EQ(Add(PathOf(nullptr, "Bytes Sent/sec"), noInstance), plat::PDH_OK);
    ASSERT_EQ(Add(PathOf("corvala-none0", "Bytes Sent/sec"), unknown), plat::PDH_OK);
    ASSERT_EQ(Add("\\Network Interface(bond0/lo)\\Bytes Sent/sec", parented), plat::PDH_OK);
    for (int i = 0; i < 3; ++i)
        plat::CollectQueryData(m_query);
    EXPECT_EQ(Fetch(noInstance), plat::PDH_CSTATUS_NO_INSTANCE);
    EXPECT_EQ(Fetch(unknown), plat::PDH_CSTATUS_NO_INSTANCE);
    EXPECT_EQ(Fetch(parented), plat::PDH_CSTATUS_NO_INSTANCE);
}

TEST_F(CounterQuery, StaleAndForeignHandlesAreRefused)
{
    plat::PdhCounter first = nullptr, second = nullptr;
    ASSERT_EQ(Add(PathOf("lo", "Packets/sec"), first), plat::PDH_OK);
    ASSERT_EQ(Add(PathOf("lo", "Packets Sent/sec"), second), plat::PDH_OK);
    EXPECT_EQ(plat::RemoveCounter(first), plat::PDH_OK);
    EXPECT_EQ(plat::RemoveCounter(first), plat::PDH_INVALID_HANDLE);
    EXPECT_EQ(Fetch(first), plat::PDH_INVALID_HANDLE);
    EXPECT_EQ(plat::CollectQueryData(second), plat::PDH_INVALID_HANDLE) << "a counter is no query";
    EXPECT_EQ(plat::RemoveCounter(m_query), plat::PDH_INVALID_HANDLE) << "a query is no counter";

    ASSERT_EQ(plat::CloseQuery(m_query), plat::PDH_OK);
    EXPECT_EQ(Fetch(second), plat::PDH_INVALID_HANDLE) << "closing a query removes its counters";
    EXPECT_EQ(plat::CollectQueryData(m_query), plat::PDH_INVALID_HANDLE);
    EXPECT_EQ(plat::CloseQuery(m_query), plat::PDH_INVALID_HANDLE);
    m_query = nullptr;
    EXPECT_EQ(plat::CloseQuery(nullptr), plat::PDH_INVALID_HANDLE);
}

TEST(CounterQueryOpen, RefusesLogFilesAndMissingOutputs)
{
    plat::PdhQuery query = nullptr;
    EXPECT_EQ(plat::OpenQuery("perf.blg", 0, &query), plat::PDH_INVALID_ARGUMENT);
    EXPECT_EQ(query, nullptr);
    EXPECT_EQ(plat::OpenQuery(nullptr, 0, nullptr), plat::PDH_INVALID_ARGUMENT);
}

TEST(EnumObjectItems, ReportsSizesThenFillsBothListsAndRefusesOtherObjects)
{
    std::uint32_t counterLength = 0, instanceLength = 0;
    EXPECT_EQ(plat::EnumObjectItems(nullptr, nullptr, "Network Interface", nullptr, &counterLength, nullptr,
                                    &instanceLength, plat::PERF_DETAIL_WIZARD, 0),
              plat::PDH_MORE_DATA);
    ASSERT_GT(instanceLength, 1u) << "the namespace has at least its loopback";
    std::vector<char> counters(counterLength), instances(instanceLength);
    ASSERT_EQ(plat::EnumObjectItems(nullptr, nullptr, "network interface", counters.data(), &counterLength,
                                    instances.data(), &instanceLength, plat::PERF_DETAIL_WIZARD, 0),
              plat::PDH_OK);
    std::vector<std::string> names;
    for (const char *name = counters.data(); *name; name += std::strlen(name) + 1)
        names.emplace_back(name);
    EXPECT_EQ(names, std::vector<std::string>(plat::NetCounterNames().begin(), plat::NetCounterNames().end()));
    EXPECT_EQ(instances[instanceLength - 1], '\0');
    EXPECT_EQ(instances[instanceLength - 2], '\0');

    std::uint32_t tooSmall = 1;
    EXPECT_EQ(plat::EnumObjectItems(nullptr, nullptr, "Network Interface", counters.data(), &counterLength,
                                    instances.data(), &tooSmall, plat::PERF_DETAIL_WIZARD, 0),
              plat::PDH_MORE_DATA);
    EXPECT_EQ(tooSmall, instanceLength);
    EXPECT_EQ(plat::EnumObjectItems(nullptr, nullptr, "Processor", nullptr, &counterLength, nullptr,
                                    &instanceLength, plat::PERF_DETAIL_WIZARD, 0),
              plat::PDH_CSTATUS_NO_OBJECT);
}
