#include "IniText.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace {

std::string Find(const std::string &text, const char *section, const char *key)
{
    std::string_view raw;
    return ini::FindValue(text, section, key, raw) ? std::string(raw) : "<missing>";
}

} // namespace

TEST(IniText, FindsKeysCaseInsensitivelyInTheirOwnSection)
{
    const std::string text = "[One]\nkey=1\n[two]\n  Key  = 2 \n";
    EXPECT_EQ(Find(text, "ONE", "KEY"), "1");
    EXPECT_EQ(Find(text, "Two", "key"), " 2 ");
    EXPECT_EQ(Find(text, "three", "key"), "<missing>");
    EXPECT_EQ(Find(text, "one", "other"), "<missing>");
}

TEST(IniText, FirstOfDuplicateSectionsAndKeysWins)
{
    const std::string text = "[S]\nA=first\nA=second\n[S]\nA=third\nB=later\n";
    EXPECT_EQ(Find(text, "S", "A"), "first");
    EXPECT_EQ(Find(text, "S", "B"), "<missing>");
}

TEST(IniText, ToleratesCommentsBlankLinesAndLinesWithoutEquals)
{
    const std::string text = "K=before any section\n; comment=no\n[S]\n\n;A=commented\njunk line\nA=yes\n";
    EXPECT_EQ(Find(text, "S", "A"), "yes");
    EXPECT_EQ(Find(text, "S", "junk line"), "<missing>");
    EXPECT_EQ(Find(text, "S", "K"), "<missing>");
}

TEST(IniText, ReadsCrLfBomNulAndNoFinalNewline)
{
    EXPECT_EQ(Find("\xEF\xBB\xBF[S]\r\nA=1\r\nB=2", "S", "A"), "1");
    EXPECT_EQ(Find("\xEF\xBB\xBF[S]\r\nA=1\r\nB=2", "S", "B"), "2");
    EXPECT_EQ(Find("[S]\nA=x\0y\nB=2\n"s, "S", "A"), "x\0y"s);
    EXPECT_EQ(Find("[S]\nA=x\0y\nB=2\n"s, "S", "B"), "2");
}

TEST(IniText, CleanValueTrimsOnePairOfQuotesAndCutsWithoutSplittingCharacters)
{
    EXPECT_EQ(ini::CleanValue("  \"quoted\"  ", 260), "quoted");
    EXPECT_EQ(ini::CleanValue("\"\"inner\"\"", 260), "\"inner\"");
    EXPECT_EQ(ini::CleanValue("\"one", 260), "\"one");
    EXPECT_EQ(ini::CleanValue(" \t", 260), "");
    EXPECT_EQ(ini::CleanValue(std::string(300, 'x'), 260), std::string(259, 'x'));
    // "ネ" is three bytes; a cut in its middle drops it whole.
    EXPECT_EQ(ini::CleanValue("abネ", 4), "ab");
    EXPECT_EQ(ini::CleanValue("abネ", 6), "abネ");
    EXPECT_EQ(ini::CleanValue("abc", 0), "");
}

TEST(IniText, SetValueReplacesInPlaceAndKeepsEverythingElse)
{
    const std::string text = "; my notes\n[Other]\nX=1\n\n[S]\nA = old ; why\nB=2\n\n[Tail]\nY=3\n";
    EXPECT_EQ(ini::SetValue(text, "s", "a", "new"),
              "; my notes\n[Other]\nX=1\n\n[S]\nA =new\nB=2\n\n[Tail]\nY=3\n");
}

TEST(IniText, SetValueAddsKeyAfterTheSectionsLastKey)
{
    const std::string text = "[S]\nA=1\n\n; about Tail\n[Tail]\nY=3\n";
    EXPECT_EQ(ini::SetValue(text, "S", "B", "2"), "[S]\nA=1\nB=2\n\n; about Tail\n[Tail]\nY=3\n");
    EXPECT_EQ(ini::SetValue("[S]\nA=1", "S", "B", "2"), "[S]\nA=1\nB=2\n");
    EXPECT_EQ(ini::SetValue("[S]\n", "S", "B", "2"), "[S]\nB=2\n");
}

TEST(IniText, SetValueAddsNewSectionAtTheEnd)
{
    EXPECT_EQ(ini::SetValue("", "S", "A", "1"), "[S]\nA=1\n");
    EXPECT_EQ(ini::SetValue("[T]\nB=2", "S", "A", "1"), "[T]\nB=2\n\n[S]\nA=1\n");
    EXPECT_EQ(ini::SetValue("\xEF\xBB\xBF", "S", "A", "1"), "\xEF\xBB\xBF[S]\nA=1\n");
}

TEST(IniText, SetValueKeepsCrLfLineEnds)
{
    EXPECT_EQ(ini::SetValue("[S]\r\nA=1\r\n", "S", "A", "9"), "[S]\r\nA=9\r\n");
    EXPECT_EQ(ini::SetValue("[S]\r\nA=1\r\n", "S", "B", "2"), "[S]\r\nA=1\r\nB=2\r\n");
    EXPECT_EQ(ini::SetValue("[S]\r\nA=1\r\n", "T", "B", "2"), "[S]\r\nA=1\r\n\r\n[T]\r\nB=2\r\n");
}

TEST(IniText, ValuesCannotInjectLines)
{
    const std::string text = ini::SetValue("", "S", "A", "x\n[Evil]\nB=1");
    EXPECT_EQ(text, "[S]\nA=x\n");
    EXPECT_EQ(ini::SetValue("", "S", "A", "x\0y"s), "[S]\nA=x\n");
}

TEST(IniText, RejectsNamesThatWouldBreakTheFile)
{
    EXPECT_TRUE(ini::IsWritableName("CNTDATA_1", "COLOR"));
    EXPECT_FALSE(ini::IsWritableName("A]B", "K"));
    EXPECT_FALSE(ini::IsWritableName("S", "K=V"));
    EXPECT_FALSE(ini::IsWritableName("S", "K\nX"));
    EXPECT_FALSE(ini::IsWritableName("", "K"));
    EXPECT_FALSE(ini::IsWritableName("S", " K"));
}

// Inputs the fuzzer found interesting; each must neither crash nor lose the written key.
TEST(IniText, NastyInputsStillRoundTrip)
{
    const std::string inputs[] = {
        "[", "]", "[[]]\n=\n", "=\n=\n", "[S", "[S]]\nA=1", "\r\r\r\n[S]\r", "\n\n\n\0\0[S]\0A=1"s,
        std::string(1 << 20, 'x'), "[S]\n" + std::string(1 << 20, '='), "\xEF\xBB", "[s]\nA\n[S]\nA=1",
        "[\xFF\xFE]\n\xFF=\xFE\n",
    };
    for (const std::string &text : inputs) {
        const std::string updated = ini::SetValue(text, "S", "A", "value");
        std::string_view raw;
        ASSERT_TRUE(ini::FindValue(updated, "S", "A", raw)) << text.substr(0, 40);
        EXPECT_EQ(raw, "value");
        EXPECT_EQ(ini::SetValue(updated, "S", "A", "value"), updated);
    }
}
