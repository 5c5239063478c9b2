#include "IniCodec.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

class IniCodec : public ::testing::Test {
protected:
    std::string Str(const char *key, const char *fallback = "fb")
    {
        return ReadIniString("S", key, fallback, kIniAbsent, m_path, kIniBufferSize);
    }
    ColorRef Color(const char *key, ColorRef def = MakeRgb(1, 2, 3))
    {
        return ReadIniColor("S", key, def, kIniColorMarker, m_path);
    }

    TempDir m_dir;
    std::string m_path = m_dir.File("codec.ini");
};

} // namespace

TEST_F(IniCodec, AbsentIntegerIsWrittenBackOnceWithItsDefault)
{
    EXPECT_EQ(ReadIniInt("S", "N", 500, -1, m_path), 500);
    EXPECT_EQ(ReadText(m_path), "[S]\nN=500\n");
    WriteFile(m_path, "[S]\nN=77\n");
    EXPECT_EQ(ReadIniInt("S", "N", 500, -1, m_path), 77);
    EXPECT_EQ(ReadText(m_path), "[S]\nN=77\n");
}

TEST_F(IniCodec, StoredMissingValueIsReplacedByTheDefault)
{
    WriteFile(m_path, "[S]\nA=-2\nB=-1\nC=2147483647\n");
    EXPECT_EQ(ReadIniInt("S", "A", 1, -2, m_path), 1);
    EXPECT_EQ(ReadIniInt("S", "B", 1, -2, m_path), -1);
    EXPECT_EQ(ReadIniInt("S", "C", 1, -2, m_path), 2147483647);
    EXPECT_EQ(ReadText(m_path), "[S]\nA=1\nB=-1\nC=2147483647\n");
}

TEST_F(IniCodec, StringQuotesAndComments)
{
    WriteFile(m_path, "[S]\nA=\"abc\" // note\nB=abc ; note\nC=;abc\nD=\"a;b\"\nE=x\"y\nF=  lead\t \n"
                      "G=pre \"in\" post\nH=//x\n");
    EXPECT_EQ(Str("A"), "abc");
    EXPECT_EQ(Str("B"), "abc");
    EXPECT_EQ(Str("C"), ";abc");
    EXPECT_EQ(Str("D"), "a");
    EXPECT_EQ(Str("E"), "x\"y");
    EXPECT_EQ(Str("F"), "lead"); // the store trims the leading blanks
    EXPECT_EQ(Str("G"), "in");
    EXPECT_EQ(Str("H"), "//x");
}

TEST_F(IniCodec, EmptyOrAbsentMarkerStringsAreHealedWithTheBareFallback)
{
    WriteFile(m_path, "[S]\nA=\"\"\nB=%NULL%\nC=\"%NULL%\"\n");
    EXPECT_EQ(Str("A", "Bytes Total/sec"), "Bytes Total/sec");
    EXPECT_EQ(Str("B", "%BLANK%"), "%BLANK%");
    EXPECT_EQ(Str("C", "x ; y"), "x");
    EXPECT_EQ(Str("Missing", "B/s"), "B/s");
    EXPECT_EQ(ReadText(m_path), "[S]\nA=Bytes Total/sec\nB=%BLANK%\nC=x ; y\nMissing=B/s\n");
}

TEST_F(IniCodec, ColorPiecesMarkersAndLowBytes)
{
    WriteFile(m_path, "[S]\n"
                      "A=\"255, 128, 0\"\nB=\"10, 20\"\nC=\"10,,30\"\nD=\"10, x, 30\"\nE=\"300, 0, 0\"\n"
                      "F=\"254, 255, -2\"\nG=\"1, 2, 3\" ; comment\nH=7\nI=\"\"\n"
                      "J=\"--9223372036854775808, --5, -9223372036854775809\"\n");
    EXPECT_EQ(Color("A"), 0x0080FFu);
    EXPECT_EQ(Color("B"), MakeRgb(10, 20, 255));
    EXPECT_EQ(Color("C"), MakeRgb(10, 255, 30));
    EXPECT_EQ(Color("D"), MakeRgb(10, 0, 30));
    EXPECT_EQ(Color("E"), MakeRgb(44, 0, 0));
    EXPECT_EQ(Color("F", MakeRgb(9, 9, 9)), MakeRgb(9, 255, 254));
    // The colour read does no quote handling: with a comment after it the quotes stay, and
    // a piece that starts with one has no leading digits.
    EXPECT_EQ(Color("G"), MakeRgb(0, 2, 3));
    EXPECT_EQ(Color("H"), MakeRgb(7, 255, 255));
    EXPECT_EQ(Color("I", MakeRgb(0, 255, 0)), MakeRgb(0, 255, 0));
    EXPECT_NE(ReadText(m_path).find("I=\"0, 255, 0\"\n"), std::string::npos);
    // One sign only; a number beyond 64 bits saturates before its low byte is taken.
    EXPECT_EQ(Color("J"), MakeRgb(0, 0, 1));
}

TEST_F(IniCodec, AbsentColorIsWrittenQuoted)
{
    EXPECT_EQ(Color("COLOR", MakeRgb(255, 127, 0)), MakeRgb(255, 127, 0));
    EXPECT_EQ(ReadText(m_path), "[S]\nCOLOR=\"255, 127, 0\"\n");
}

TEST_F(IniCodec, WritersUseTheirTextForms)
{
    WriteIniInt("S", "I", -12, m_path);
    WriteIniString("S", "T", "B/s", m_path);
    WriteIniColor("S", "C", 0xAB0080FF, m_path); // the high byte is never written
    EXPECT_EQ(ReadText(m_path), "[S]\nI=-12\nT=\"B/s\"\nC=\"255, 128, 0\"\n");
    WriteIniString(nullptr, "T", "x", m_path);
    WriteIniColor("S", "C", 0, "");
    EXPECT_EQ(ReadText(m_path), "[S]\nI=-12\nT=\"B/s\"\nC=\"255, 128, 0\"\n");
}
