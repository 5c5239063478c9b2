// The private-profile contract the settings codec relies on, the same for our Linux store and
// for Windows' own functions.

#include "ProfileTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

TEST(ProfileStore, MissingFileSectionOrKeyGivesTheDefault)
{
    TempDir dir;
    const std::string path = dir.File("a.ini");
    EXPECT_EQ(Read(path, "K"), "<def>");
    EXPECT_EQ(plat::GetPrivateProfileInt("S", "K", -7, path), -7);
    WriteFile(path, "[T]\nK=1\n[S]\nJ=2\n");
    EXPECT_EQ(Read(path, "K"), "<def>");
    EXPECT_EQ(plat::GetPrivateProfileInt("S", "K", 42, path), 42);
}

TEST(ProfileStore, WriteCreatesFileAndReplacesValueInPlace)
{
    TempDir dir;
    const std::string path = dir.File("a.ini");
    ASSERT_NE(Write(path, "K", "one"), 0);
    EXPECT_EQ(ReadText(path), "[S]\nK=one\n");
    WriteFile(path, "; kept\n[S]\nK=one\nOther=x\n[Foreign]\nZ=1\n");
    ASSERT_NE(Write(path, "k", "\"two\""), 0);
    EXPECT_EQ(ReadText(path), "; kept\n[S]\nK=\"two\"\nOther=x\n[Foreign]\nZ=1\n");
    EXPECT_EQ(Read(path, "K"), "two");
    EXPECT_TRUE(OnlyFileInDir(dir.Path(), "a.ini")) << "a temporary file was left behind";
}

TEST(ProfileStore, IntegersReadAsSignedDecimals)
{
    TempDir dir;
    const std::string path = dir.File("a.ini");
    WriteFile(path, "[S]\nA=-5\nB=  12  \nC=abc\nD=\nG=7x\nH=\"-3\"\n");
    EXPECT_EQ(plat::GetPrivateProfileInt("S", "A", 1, path), -5);
    EXPECT_EQ(plat::GetPrivateProfileInt("S", "B", 1, path), 12);
    EXPECT_EQ(plat::GetPrivateProfileInt("S", "C", 1, path), 0);
    EXPECT_EQ(plat::GetPrivateProfileInt("S", "D", 1, path), 1);
    EXPECT_EQ(plat::GetPrivateProfileInt("S", "G", 1, path), 7);
    EXPECT_EQ(plat::GetPrivateProfileInt("S", "H", 1, path), -3);
}

TEST(ProfileStore, UnusablePathsReadAsDefaultsAndAreNeverReplaced)
{
    TempDir dir;
    const std::string asDir = dir.File("dir.ini");
    fs::create_directory(asDir);
    EXPECT_EQ(Read(asDir, "K"), "<def>");
    EXPECT_EQ(Write(asDir, "K", "1"), 0);
    EXPECT_TRUE(fs::is_directory(asDir));

    const std::string noDir = dir.File("missing/a.ini");
    EXPECT_EQ(Read(noDir, "K"), "<def>");
    EXPECT_EQ(Write(noDir, "K", "1"), 0);

    EXPECT_EQ(plat::WritePrivateProfileString("S", "K", "1", ""), 0);
    EXPECT_EQ(plat::WritePrivateProfileString(nullptr, "K", "1", dir.File("a.ini")), 0);
}

TEST(ProfileStore, ReadsHugeAndMalformedFilesWithoutHarm)
{
    TempDir dir;
    const std::string path = dir.File("a.ini");
    WriteFile(path, HugeAndMalformedText());
    EXPECT_EQ(Read(path, "K"), std::string(259, 'v'));
    ASSERT_NE(Write(path, "New", "1"), 0);
    EXPECT_EQ(Read(path, "New"), "1");
    EXPECT_EQ(Read(path, "K"), std::string(259, 'v'));
}

// A run of keys written in one go leaves the file exactly as writing them one by one does.
TEST(ProfileStore, KeysWrittenInOneGoMatchKeysWrittenOneByOne)
{
    const std::string files[] = {
        "", "x", "x\r", "[S]", "[S]\r", "\xEF\xBB\xBF", "\xEF\xBB\xBF[S]\r\nA=1", "; note\n",
        "[T]\nA=1\n\n; about S\n[s]\nb=2\n;tail\n\n[U]\nC=3\n[S]\nA=4\n", "[S]\r\nA=1\r\n[T]\r\n",
    };
    const std::vector<plat::ProfileKey> keys = {{"B", "1"},      {"A", "x\ny"}, {"NEW", "\"q\""},
                                                {"a", "again"}, {"K=V", "no"}, {"Z", ""}};
    TempDir dir;
    const std::string one = dir.File("one.ini"), all = dir.File("all.ini");
    for (const std::string &text : files) {
        WriteFile(one, text);
        WriteFile(all, text);
        for (const auto &[key, value] : keys)
            plat::WritePrivateProfileString("S", key.c_str(), value.c_str(), one);
        plat::WritePrivateProfileKeys("S", keys, all);
        EXPECT_EQ(ReadFile(all), ReadFile(one)) << text;
    }
}
