#include "CSetSystem.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

class CSetSystemTest : public ::testing::Test {
protected:
    int Load() { return m_set.Load(m_path); }
    bool FileHas(const std::string &line) const
    {
        return ("\n" + ReadText(m_path)).find("\n" + line + "\n") != std::string::npos;
    }
    CSetCntData &Counter(int n) { return m_set.m_CntData[static_cast<std::size_t>(n - 1)]; }

    TempDir m_dir;
    std::string m_path = m_dir.File("corvala.ini");
    CSetSystem m_set;
};

std::string CounterSection(int n, const char *name, const char *unit, const char *color)
{
    return "[CNTDATA_" + std::to_string(n) + "]\nENABLE=0\nCNT_NAME=" + name + "\nUNIT_NAME=" + unit
           + "\nFORMAT=1024\nWIDTH=1\nCOLOR=\"" + color + "\"\n";
}

} // namespace

TEST_F(CSetSystemTest, FirstLoadWritesEveryKeyInLoadOrder)
{
    ASSERT_EQ(Load(), 1);
    std::string expected = "[RECENT_WNDPOS]\nMAIN_FLAGS=-1\nMAIN_SHOW=-1\nMAIN_MIN_X=-1\nMAIN_MIN_Y=-1\n"
                           "MAIN_MAX_X=-1\nMAIN_MAX_Y=-1\nMAIN_NML_L=-1\nMAIN_NML_T=-1\nMAIN_NML_R=-1\n"
                           "MAIN_NML_B=-1\nTOP_MOST=0\n";
    expected += CounterSection(1, "Bytes Received/sec", "B/s", "255, 0, 0");
    expected += CounterSection(2, "Bytes Sent/sec", "B/s", "0, 0, 255");
    expected += CounterSection(3, "Bytes Total/sec", "B/s", "0, 255, 0");
    expected += CounterSection(4, "Packets Received/sec", "P/s", "255, 0, 0");
    expected += CounterSection(5, "Packets Sent/sec", "P/s", "0, 0, 255");
    expected += CounterSection(6, "Packets/sec", "P/s", "0, 255, 0");
    expected += CounterSection(7, "Packets Received Unicast/sec", "P/s", "255, 255, 0");
    expected += CounterSection(8, "Packets Sent Unicast/sec", "P/s", "0, 255, 255");
    expected += CounterSection(9, "Packets Received Non-Unicast/sec", "P/s", "255, 0, 255");
    expected += CounterSection(10, "Packets Sent Non-Unicast/sec", "P/s", "255, 127, 0");
    expected += "[TIME]\nCOUNTER_WAIT=500\nDISPLAY_WAIT=500\n"
                "[CNTBASE]\nTYPE=0\nINS_NAME=%BLANK%\nINS_INDEX=-1\nBACKCOLOR=\"0, 0, 0\"\nGRIDSIZE_H=1\n"
                "GRIDSIZE_V=1\nGRIDCOLOR_H=\"127, 0, 0\"\nGRIDCOLOR_V=\"127, 0, 0\"\n[COLOR_DIALOG]\n";
    for (int i = 1; i <= 16; ++i)
        expected += (i < 10 ? "COLOR_0" : "COLOR_") + std::to_string(i) + "=\"255, 255, 255\"\n";
    EXPECT_EQ(ReadText(m_path), expected);

    // A complete file loads without a single write.
    const auto before = std::filesystem::last_write_time(m_path);
    CSetSystem again;
    ASSERT_EQ(again.Load(m_path), 1);
    EXPECT_EQ(ReadText(m_path), expected);
    EXPECT_EQ(std::filesystem::last_write_time(m_path), before);
}

TEST_F(CSetSystemTest, DefaultsAfterFirstLoad)
{
    ASSERT_EQ(Load(), 1);
    WndPlacement placement;
    EXPECT_EQ(m_set.m_WndPos.GetPlacement(&placement), 0);
    EXPECT_EQ(placement.length, 44u);
    EXPECT_EQ(placement.flags, -1);
    EXPECT_EQ(placement.bottom, -1);
    EXPECT_EQ(m_set.m_WndPos.GetPlacement(nullptr), 0);
    EXPECT_EQ(m_set.m_CntBase.GetInsName(), "");
    EXPECT_EQ(m_set.m_CntBase.GetInsIndex(), -1);
    EXPECT_EQ(m_set.m_CntBase.GetGridColorH(), MakeRgb(127, 0, 0));
    EXPECT_EQ(Counter(10).GetColor(), MakeRgb(255, 127, 0));
    EXPECT_EQ(Counter(1).GetFormat(), 1024);
    EXPECT_EQ(m_set.m_ColorDlg.GetCustomColor(15), 0xFFFFFFu);
}

TEST_F(CSetSystemTest, PlacementIsStoredWhenAnyNormalCoordinateIsNonNegative)
{
    WriteFile(m_path, "[RECENT_WNDPOS]\nMAIN_NML_L=0\nMAIN_NML_T=-1\nMAIN_NML_R=-1\nMAIN_NML_B=-1\n");
    ASSERT_EQ(Load(), 1);
    WndPlacement placement;
    EXPECT_EQ(m_set.m_WndPos.GetPlacement(&placement), 1);
    placement.left = -5;
    placement.right = 300;
    EXPECT_EQ(m_set.m_WndPos.SetPlacement(&placement), 1);
    EXPECT_EQ(m_set.m_WndPos.SetPlacement(nullptr), 0);
    m_set.m_WndPos.Save(m_path);
    EXPECT_TRUE(FileHas("MAIN_NML_L=-5"));
    EXPECT_TRUE(FileHas("MAIN_NML_R=300"));
}

TEST_F(CSetSystemTest, TopMostIsNormalisedOnLoadAndSave)
{
    WriteFile(m_path, "[RECENT_WNDPOS]\nTOP_MOST=7\n");
    ASSERT_EQ(Load(), 1);
    EXPECT_EQ(m_set.m_WndPos.GetTopMost(), 1);

    WriteFile(m_path, "[RECENT_WNDPOS]\nTOP_MOST=-1\n");
    CSetSystem other;
    ASSERT_EQ(other.Load(m_path), 1);
    EXPECT_EQ(other.m_WndPos.GetTopMost(), 0);
    EXPECT_TRUE(FileHas("TOP_MOST=0"));

    other.m_WndPos.SetTopMost(5);
    EXPECT_EQ(other.m_WndPos.GetTopMost(), 5);
    other.m_WndPos.Save(m_path);
    EXPECT_TRUE(FileHas("TOP_MOST=1"));
}

TEST_F(CSetSystemTest, GridSizesHealOnlyTheMissingValue)
{
    WriteFile(m_path, "[CNTBASE]\nGRIDSIZE_H=-2\nGRIDSIZE_V=0\n");
    ASSERT_EQ(Load(), 1);
    EXPECT_EQ(m_set.m_CntBase.GetGridSizeH(), 1);
    EXPECT_EQ(m_set.m_CntBase.GetGridSizeV(), 0);
    EXPECT_TRUE(FileHas("GRIDSIZE_H=1"));
    EXPECT_TRUE(FileHas("GRIDSIZE_V=0"));
}

TEST_F(CSetSystemTest, EmptyInterfaceNameRoundTripsAsQuotedBlank)
{
    WriteFile(m_path, "[CNTBASE]\nINS_NAME=\"eth0\"\n");
    ASSERT_EQ(Load(), 1);
    EXPECT_EQ(m_set.m_CntBase.GetInsName(), "eth0");
    EXPECT_EQ(m_set.m_CntBase.SetInsName(nullptr), 0);
    EXPECT_EQ(m_set.m_CntBase.GetInsName(), "eth0");
    EXPECT_EQ(m_set.m_CntBase.SetInsName(""), 1);
    m_set.m_CntBase.Save(m_path);
    EXPECT_TRUE(FileHas("INS_NAME=\"%BLANK%\""));
    CSetSystem again;
    ASSERT_EQ(again.Load(m_path), 1);
    EXPECT_EQ(again.m_CntBase.GetInsName(), "");
}

TEST_F(CSetSystemTest, CustomColorsRefuseIndexesOutOfRangeAndMarkerMeansWhite)
{
    WriteFile(m_path, "[COLOR_DIALOG]\nCOLOR_05=\"254, 254, 254\"\nCOLOR_06=\"1, 2, 3\"\n");
    ASSERT_EQ(Load(), 1);
    EXPECT_EQ(m_set.m_ColorDlg.GetCustomColor(4), 0xFFFFFFu);
    EXPECT_EQ(m_set.m_ColorDlg.GetCustomColor(5), MakeRgb(1, 2, 3));
    EXPECT_EQ(m_set.m_ColorDlg.GetCustomColor(16), 0xFFFFFFu);
    EXPECT_EQ(m_set.m_ColorDlg.GetCustomColor(-1), 0xFFFFFFu);
    EXPECT_EQ(m_set.m_ColorDlg.SetCustomColor(16, 0), 0);
    EXPECT_EQ(m_set.m_ColorDlg.SetCustomColor(0, 0x123456), 1);
    m_set.m_ColorDlg.Save(m_path);
    EXPECT_TRUE(FileHas("COLOR_01=\"86, 52, 18\""));
}

TEST_F(CSetSystemTest, MissingCounterSectionIsHealedBareAndQuotedAfterSave)
{
    WriteFile(m_path, "[CNTDATA_2]\nENABLE=1\n");
    ASSERT_EQ(Load(), 1);
    EXPECT_EQ(Counter(3).GetCntName(), "Bytes Total/sec");
    EXPECT_EQ(Counter(3).GetUnitName(), "B/s");
    EXPECT_EQ(Counter(3).GetWidth(), 1);
    EXPECT_EQ(Counter(3).GetEnable(), 0);
    EXPECT_EQ(Counter(3).GetColor(), MakeRgb(0, 255, 0));
    EXPECT_TRUE(FileHas("CNT_NAME=Bytes Total/sec"));
    EXPECT_TRUE(FileHas("COLOR=\"0, 255, 0\""));
    Counter(3).Save(m_path);
    EXPECT_TRUE(FileHas("CNT_NAME=\"Bytes Total/sec\""));
    EXPECT_TRUE(FileHas("UNIT_NAME=\"B/s\""));
}

TEST_F(CSetSystemTest, CounterKeysHealAndNormalise)
{
    WriteFile(m_path, "[CNTDATA_1]\nWIDTH=0\nFORMAT=-1\nENABLE=5\nCNT_NAME=\"%BLANK%\"\nUNIT_NAME=\"\"\n"
                      "[CNTDATA_2]\nCNT_NAME=%NULL%\nWIDTH=-3\nFORMAT=256\n");
    ASSERT_EQ(Load(), 1);
    EXPECT_EQ(Counter(1).GetWidth(), 1);
    EXPECT_EQ(Counter(1).GetFormat(), 1024);
    EXPECT_EQ(Counter(1).GetEnable(), 1);
    EXPECT_EQ(Counter(1).GetCntName(), "");
    EXPECT_EQ(Counter(1).GetUnitName(), "B/s");
    EXPECT_EQ(Counter(2).GetCntName(), "Bytes Sent/sec");
    EXPECT_EQ(Counter(2).GetWidth(), -3);
    EXPECT_EQ(Counter(2).GetFormat(), 256);
    Counter(1).Save(m_path);
    const std::string text = ReadText(m_path);
    EXPECT_NE(text.find("[CNTDATA_1]\nWIDTH=1\nFORMAT=1024\nENABLE=1\nCNT_NAME=\"%BLANK%\"\nUNIT_NAME=\"B/s\"\n"
                        "COLOR=\"255, 0, 0\"\n"),
              std::string::npos)
        << text;
}

TEST_F(CSetSystemTest, GroupsFollowTheType)
{
    for (int i = 0; i < kCounterCount; ++i) {
        EXPECT_EQ(IsCounterInGroup(i, 0), i <= 2) << i;
        EXPECT_EQ(IsCounterInGroup(i, 1), i >= 3) << i;
        EXPECT_EQ(IsCounterInGroup(i, 7), i >= 3) << i;
    }
    EXPECT_FALSE(IsCounterInGroup(10, 1));
    EXPECT_FALSE(IsCounterInGroup(-1, 0));
}

TEST_F(CSetSystemTest, UnwritableFileStillYieldsDefaults)
{
    const std::string asDir = m_dir.File("dir.ini");
    std::filesystem::create_directory(asDir);
    EXPECT_EQ(m_set.Load(asDir), 1);
    EXPECT_EQ(m_set.m_CntBase.GetDisplayWait(), 500);
    EXPECT_EQ(Counter(7).GetCntName(), "Packets Received Unicast/sec");
    EXPECT_EQ(m_set.Save(asDir), 1);
}

TEST_F(CSetSystemTest, ResetGivesTheResetValues)
{
    ASSERT_EQ(Load(), 1);
    m_set.Reset();
    EXPECT_EQ(m_set.m_CntBase.GetCounterWait(), 90);
    EXPECT_EQ(m_set.m_CntBase.GetInsIndex(), -1);
    EXPECT_EQ(Counter(1).GetWidth(), 0);
    EXPECT_EQ(Counter(1).GetCntName(), "");
    WndPlacement placement;
    EXPECT_EQ(m_set.m_WndPos.GetPlacement(&placement), 1); // all zeros count as stored
    EXPECT_EQ(placement.length, 44u);
}
