// The Linux counter functions' contract on the test's own loopback (no traffic is made
// here; the namespace tests check the numbers).

#include "Platform.h"

#include <gtest/gtest.h>

namespace {

class CounterQuery : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(plat::OpenQuery(nullptr, 0, &m_query), plat::PDH_OK); }
    void TearDown() override { plat::CloseQuery(m_query); }
    plat::PdhStatus Add(const std::string &path, plat::PdhCounter &counter)
    {
        return plat::AddCounter(m_query, path.c_str(), 0, &counter);
    }
    static plat::PdhStatus Fetch(plat::PdhCounter counter, std::uint32_t format = plat::PDH_FMT_LARGE)
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
    EXPECT_EQ(Add("\\\\no-such-pc\\Network Interface(lo)\\Bytes Sent/sec", counter),
              plat::PDH_CSTATUS_NO_MACHINE);
    EXPECT_EQ(Add("Network Interface(lo)", counter), plat::PDH_CSTATUS_BAD_COUNTERNAME);
    EXPECT_EQ(counter, nullptr);
    EXPECT_EQ(Add("\\NETWORK INTERFACE(lo)\\bytes sent/SEC", counter), plat::PDH_OK);
}

TEST_F(CounterQuery, FirstValueComesAfterTheSecondCollectionInEveryFormat)
{
    plat::CounterPathElements elements;
    elements.objectName = "Network Interface";
    elements.instanceName = "lo";
    elements.instanceIndex = 0xFFFFFFFF;
    elements.counterName = "Bytes Total/sec";
    std::uint32_t size = 0;
    ASSERT_EQ(plat::MakeCounterPath(&elements, nullptr, &size, 0), plat::PDH_MORE_DATA);
    std::string path(size, '?');
    ASSERT_EQ(plat::MakeCounterPath(&elements, path.data(), &size, 0), plat::PDH_OK);
    EXPECT_STREQ(path.c_str(), "\\Network Interface(lo)\\Bytes Total/sec");

    plat::PdhCounter counter = nullptr;
    ASSERT_EQ(Add(path.c_str(), counter), plat::PDH_OK);
    EXPECT_NE(Fetch(counter), plat::PDH_OK);
    plat::CollectQueryData(m_query);
    EXPECT_NE(Fetch(counter), plat::PDH_OK);
    plat::CollectQueryData(m_query);
    for (const std::uint32_t format : {plat::PDH_FMT_LONG, plat::PDH_FMT_DOUBLE, plat::PDH_FMT_LARGE})
        EXPECT_EQ(Fetch(counter, format), plat::PDH_OK) << format;
    EXPECT_EQ(Fetch(counter, 0x800), plat::PDH_INVALID_ARGUMENT);
}

TEST_F(CounterQuery, CountersOfMissingInstancesExistButNeverDeliver)
{
    plat::PdhCounter counters[3] = {};
    ASSERT_EQ(Add("\\Network Interface\\Bytes Sent/sec", counters[0]), plat::PDH_OK);
    ASSERT_EQ(Add("\\Network Interface(corvala-none0)\\Bytes Sent/sec", counters[1]), plat::PDH_OK);
    ASSERT_EQ(Add("\\Network Interface(bond0/lo)\\Bytes Sent/sec", counters[2]), plat::PDH_OK);
    for (int i = 0; i < 3; ++i)
        plat::CollectQueryData(m_query);
    for (plat::PdhCounter counter : counters)
        EXPECT_EQ(Fetch(counter), plat::PDH_CSTATUS_NO_INSTANCE);
}

TEST_F(CounterQuery, StaleAndForeignHandlesAreRefused)
{
    plat::PdhCounter first = nullptr, second = nullptr;
    ASSERT_EQ(Add("\\Network Interface(lo)\\Packets/sec", first), plat::PDH_OK);
    ASSERT_EQ(Add("\\Network Interface(lo)\\Packets Sent/sec", second), plat::PDH_OK);
    EXPECT_EQ(plat::RemoveCounter(first), plat::PDH_OK);
    EXPECT_EQ(plat::RemoveCounter(first), plat::PDH_INVALID_HANDLE);
    EXPECT_EQ(Fetch(first), plat::PDH_INVALID_HANDLE);
    EXPECT_EQ(plat::CollectQueryData(second), plat::PDH_INVALID_HANDLE) << "a counter is no query";
    EXPECT_EQ(plat::RemoveCounter(m_query), plat::PDH_INVALID_HANDLE) << "a query is no counter";
    ASSERT_EQ(plat::CloseQuery(m_query), plat::PDH_OK);
    EXPECT_EQ(Fetch(second), plat::PDH_INVALID_HANDLE) << "closing a query removes its counters";
    EXPECT_EQ(plat::CloseQuery(m_query), plat::PDH_INVALID_HANDLE);
    EXPECT_EQ(plat::OpenQuery("perf.blg", 0, &m_query), plat::PDH_INVALID_ARGUMENT) << "no log files";
}

TEST(EnumObjectItems, ReportsSizesThenFillsBothListsAndRefusesOtherObjects)
{
    std::uint32_t counterLength = 0, instanceLength = 0;
    EXPECT_EQ(plat::EnumObjectItems(nullptr, nullptr, "Network Interface", nullptr, &counterLength, nullptr,
                                    &instanceLength, plat::PERF_DETAIL_WIZARD, 0),
              plat::PDH_MORE_DATA);
    std::vector<char> counters(counterLength), instances(instanceLength);
    std::uint32_t tooSmall = 1;
    EXPECT_EQ(plat::EnumObjectItems(nullptr, nullptr, "network interface", counters.data(), &counterLength,
                                    instances.data(), &tooSmall, plat::PERF_DETAIL_WIZARD, 0),
              plat::PDH_MORE_DATA);
    EXPECT_EQ(tooSmall, instanceLength);
    ASSERT_EQ(plat::EnumObjectItems(nullptr, nullptr, "network interface", counters.data(), &counterLength,
                                    instances.data(), &instanceLength, plat::PERF_DETAIL_WIZARD, 0),
              plat::PDH_OK);
    ASSERT_GE(instanceLength, 4u) << "at least \"lo\" and the closing zero";
    EXPECT_EQ(std::string(&instances[instanceLength - 4], 4), std::string("lo\0\0", 4))
        << "loopback comes last";
    EXPECT_EQ(plat::EnumObjectItems(nullptr, nullptr, "Processor", nullptr, &counterLength, nullptr,
                                    &instanceLength, plat::PERF_DETAIL_WIZARD, 0),
              plat::PDH_CSTATUS_NO_OBJECT);
}
