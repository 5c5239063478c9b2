// The Linux store's own promises beyond the profile contract: every byte around a value
// kept (Windows' store drops what follows a NUL), huge integers saturated (Windows' wrap
// around), links and permissions kept, no temporary file left by a killed writer, the old
// file kept when the disk is full.

#include "ProfileTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <random>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(ProfileStore, KeepsEveryOtherByteAndSaturatesHugeIntegers)
{
    TempDir dir;
    const std::string path = dir.File("a.ini");
    const std::string text = HugeAndMalformedText();
    WriteFile(path, text);
    ASSERT_NE(Write(path, "New", "1"), 0);
    const std::string after = ReadFile(path);
    EXPECT_TRUE(after.compare(0, text.size(), text) == 0) << "existing bytes must be kept";
    EXPECT_EQ(after.substr(std::min(after.size(), text.size())), "New=1\r\n");

    WriteFile(path, "[S]\nE=99999999999\nF=-99999999999\n");
    EXPECT_EQ(plat::GetPrivateProfileInt("S", "E", 1, path), INT32_MAX);
    EXPECT_EQ(plat::GetPrivateProfileInt("S", "F", 1, path), INT32_MIN);
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
