#include "Platform.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <random>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Read(const std::string &path, const char *key, const char *def = "<def>")
{
    return plat::GetPrivateProfileString("S", key, def, 260, path);
}

int Write(const std::string &path, const char *key, const char *value)
{
    return plat::WritePrivateProfileString("S", key, value, path);
}

bool OnlyFileInDir(const fs::path &dir, const std::string &name)
{
    int count = 0;
    for (const auto &entry : fs::directory_iterator(dir))
        count += entry.path().filename() == name ? 1 : 100;
    return count == 1;
}

} // namespace

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
    EXPECT_EQ(ReadFile(path), "[S]\nK=one\n");
    WriteFile(path, "; kept\n[S]\nK=one\nOther=x\n[Foreign]\nZ=1\n");
    ASSERT_NE(Write(path, "k", "\"two\""), 0);
    EXPECT_EQ(ReadFile(path), "; kept\n[S]\nK=\"two\"\nOther=x\n[Foreign]\nZ=1\n");
    EXPECT_EQ(Read(path, "K"), "two");
    EXPECT_TRUE(OnlyFileInDir(dir.Path(), "a.ini")) << "a temporary file was left behind";
}

TEST(ProfileStore, IntegersReadAsSignedDecimals)
{
    TempDir dir;
    const std::string path = dir.File("a.ini");
    WriteFile(path, "[S]\nA=-5\nB=  12  \nC=abc\nD=\nE=99999999999\nF=-99999999999\nG=7x\nH=\"-3\"\n");
    EXPECT_EQ(plat::GetPrivateProfileInt("S", "A", 1, path), -5);
    EXPECT_EQ(plat::GetPrivateProfileInt("S", "B", 1, path), 12);
    EXPECT_EQ(plat::GetPrivateProfileInt("S", "C", 1, path), 0);
    EXPECT_EQ(plat::GetPrivateProfileInt("S", "D", 1, path), 1);
    EXPECT_EQ(plat::GetPrivateProfileInt("S", "E", 1, path), INT32_MAX);
    EXPECT_EQ(plat::GetPrivateProfileInt("S", "F", 1, path), INT32_MIN);
    EXPECT_EQ(plat::GetPrivateProfileInt("S", "G", 1, path), 7);
    EXPECT_EQ(plat::GetPrivateProfileInt("S", "H", 1, path), -3);
}

TEST(ProfileStore, ReplacementKeepsPermissionsAndSymbolicLinks)
{
    TempDir dir;
    const std::string real = dir.File("real.ini");
    const std::string link = dir.File("link.ini");
    WriteFile(real, "[S]\nK=1\n");
    ::chmod(real.c_str(), 0640);
    fs::create_symlink(real, link);
    ASSERT_NE(Write(link, "K", "2"), 0);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(real), "[S]\nK=2\n");
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // A link whose file does not exist yet creates that file, relative to the link.
    const std::string dangling = dir.File("dangling.ini");
    fs::create_symlink("later.ini", dangling);
    ASSERT_NE(Write(dangling, "K", "3"), 0);
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(ReadFile(dir.File("later.ini")), "[S]\nK=3\n");
}

TEST(ProfileStore, WritersKilledMidwayLeaveNothingBehind)
{
    TempDir dir;
    const std::string path = dir.File("a.ini");
    std::minstd_rand random(1);
    for (int round = 0; round < 100; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0; i < 100000; ++i)
                Write(path, "K", std::to_string(i).c_str());
            ::_exit(0);
        }
        ::usleep(static_cast<useconds_t>(random() % 3000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    }
    ASSERT_NE(Write(path, "K", "last"), 0);
    EXPECT_EQ(Read(path, "K"), "last");
    EXPECT_TRUE(OnlyFileInDir(dir.Path(), "a.ini")) << "temporary files were left behind";
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
    std::string text = "\xEF\xBB\xBF[S]\r\n" + std::string(1 << 20, 'z') + "\r\nK=" + std::string(400, 'v');
    text += std::string("\0\x01\x02garbage\n", 11);
    WriteFile(path, text);
    EXPECT_EQ(Read(path, "K"), std::string(259, 'v'));
    ASSERT_NE(Write(path, "New", "1"), 0);
    const std::string after = ReadFile(path);
    EXPECT_TRUE(after.compare(0, text.size(), text) == 0) << "existing bytes must be kept";
    EXPECT_EQ(after.substr(text.size()), "New=1\r\n");
    EXPECT_EQ(Read(path, "New"), "1");
}

TEST(ProfileStore, FullDiskLeavesTheOldFileIntact)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to mount a small tmpfs";
    TempDir dir;
    const std::string mountPoint = dir.File("small");
    fs::create_directory(mountPoint);
    if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount tmpfs here";
    const std::string path = mountPoint + "/a.ini";
    WriteFile(path, "[S]\nK=old\n");
    // Fill the disk so the next replacement cannot be written.
    WriteFile(mountPoint + "/filler", std::string(70 * 1024, 'f'));
    EXPECT_EQ(Write(path, "K", std::string(8000, 'n').c_str()), 0);
    EXPECT_EQ(ReadFile(path), "[S]\nK=old\n");
    fs::remove(mountPoint + "/filler");
    EXPECT_TRUE(OnlyFileInDir(mountPoint, "a.ini"));
    ::umount(mountPoint.c_str());
}
