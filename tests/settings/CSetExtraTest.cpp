#include "CSetExtra.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

using Key = CSetExtra::Key;

class CSetExtraTest : public ::testing::Test {
protected:
    TempDir m_dir;
    std::string m_path = m_dir.File("corvala.ini");
    CSetExtra m_set;
};

} // namespace

TEST_F(CSetExtraTest, EachKeyTakesOnlyWholeValuesInItsRangeAndLoadWritesNothing)
{
    // The stored text of one key and the value it loads as.
    const std::tuple<Key, const char *, int> cases[] = {
        {CSetExtra::kRateUnit, nullptr, 0},        {CSetExtra::kRateUnit, "1", 1},
        {CSetExtra::kRateUnit, "2", 0},            {CSetExtra::kRateUnit, "1x", 0},
        {CSetExtra::kRateUnit, "1 ; bits", 1},     {CSetExtra::kRateUnit, "\"1\"", 1},
        {CSetExtra::kRateBase, nullptr, 1024},     {CSetExtra::kRateBase, "1000", 1000},
        {CSetExtra::kRateBase, "1001", 1024},      {CSetExtra::kRateBase, "", 1024},
        {CSetExtra::kRateDecimals, "0", 0},        {CSetExtra::kRateDecimals, "4", 3},
        {CSetExtra::kRateDecimals, "-1", 3},       {CSetExtra::kTrayTip, "1", 1},
        {CSetExtra::kTrayIcon, "1", 1},            {CSetExtra::kTrayIcon, "0x1", 0},
        {CSetExtra::kGraphTip, "1", 1},            {CSetExtra::kGraphScale, "1", 1},
        {CSetExtra::kSource, "2", 2},              {CSetExtra::kSource, "3", 0},
        {CSetExtra::kTotals, "1", 1},              {CSetExtra::kCapMib, "16777215", 16777215},
        {CSetExtra::kCapMib, "16777216", 0},       {CSetExtra::kCapMib, "99999999999999999999", 0},
        {CSetExtra::kCapDay, nullptr, 1},          {CSetExtra::kCapDay, "28", 28},
        {CSetExtra::kCapDay, "29", 1},             {CSetExtra::kCapDay, "0", 1},
        {CSetExtra::kCapDay, "+5", 1},
    };
    for (const auto &[key, text, expected] : cases) {
        const std::string file = text ? "[CORVALA_EXTRA]\n" + std::string(CSetExtra::KeyName(key)) + "=" + text + "\n"
                                      : "[OTHER]\nA=1\n";
        WriteFile(m_path, file);
        ASSERT_EQ(m_set.Load(m_path), 1);
        EXPECT_EQ(m_set.GetValue(key), expected) << CSetExtra::KeyName(key) << "=" << (text ? text : "(missing)");
        EXPECT_EQ(m_set.SetValue(key, m_set.GetValue(key)), 1);
        EXPECT_EQ(m_set.Save(m_path), 1);
        EXPECT_EQ(ReadText(m_path), file) << "neither Load nor an unchanged Save writes";
    }
}

TEST_F(CSetExtraTest, SaveWritesOnlyChangedKeysAndKeepsTheRest)
{
    WriteFile(m_path, "; mine\n[CORVALA_EXTRA]\nRATE_BASE=1000 ; decimal\nMINE=x\n[TIME]\nDISPLAY_WAIT=500\n");
    ASSERT_EQ(m_set.Load(m_path), 1);
    EXPECT_EQ(m_set.SetRateBase(999), 0);
    EXPECT_EQ(m_set.SetSource(3), 0);
    EXPECT_EQ(m_set.SetRateUnit(1), 1);
    EXPECT_EQ(m_set.SetCapDay(15), 1);
    EXPECT_EQ(m_set.SetCapDay(1), 1); // back to what the file holds: nothing to write
    EXPECT_EQ(m_set.Save(m_path), 1);
    EXPECT_EQ(ReadText(m_path), "; mine\n[CORVALA_EXTRA]\nRATE_BASE=1000 ; decimal\nMINE=x\nRATE_UNIT=1\n"
                                "[TIME]\nDISPLAY_WAIT=500\n");
    EXPECT_EQ(m_set.SetRateUnit(0), 1);
    m_set.Save(m_path);
    CSetExtra again;
    again.Load(m_path);
    EXPECT_EQ(again.GetRateUnit(), 0);
    EXPECT_EQ(again.GetRateBase(), 1000);
}
