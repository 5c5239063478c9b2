// The Linux store's own promises beyond the profile contract: every byte around a value
// kept (Windows' store drops what follows a NUL), huge integers saturated (Windows' wrap
// around), links and permissions kept, no link of another user followed in /tmp, a file in
// a folder the user cannot write rewritten in place, no temporary file left by a killed
// writer, the old file kept when the disk is full, files beyond the size limit refused.

#include "ProfileTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <functional>
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

TEST(ProfileStore, LinksOfOtherUsersInStickyFoldersAreNotFollowed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to make links of another user";
    TempDir dir;
    const std::string shared = dir.File("tmp"), link = shared + "/link.ini", victim = dir.File("victim.ini");
    fs::create_directory(shared);
    constexpr uid_t kOther = 65534;
    // Followed when the link is the user's own (root here) or the folder owner's.
    const struct { uid_t folderOwner, linkOwner; bool followed; } cases[] = {
        {0, 0, true}, {kOther, kOther, true}, {0, kOther, false}, {kOther, 0, true}};
    testing::internal::CaptureStderr();
    for (const auto &c : cases) {
        WriteFile(victim, "[S]\nK=mine\n");
        ASSERT_EQ(::chown(shared.c_str(), c.folderOwner, c.folderOwner), 0);
        ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
        fs::remove(link);
        fs::create_symlink(victim, link);
        ASSERT_EQ(::lchown(link.c_str(), c.linkOwner, c.linkOwner), 0);
        EXPECT_EQ(Read(link, "K"), c.followed ? "mine" : "<def>");
        EXPECT_EQ(Write(link, "K", "new") != 0, c.followed);
        EXPECT_EQ(ReadFile(victim), c.followed ? "[S]\nK=new\n" : "[S]\nK=mine\n");
    }
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("not using the settings file " + link), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << "said more than once: " << said;
}

namespace {

// Runs `write` as a user who may write the file `path` but not the folder `dir`: this user
// with the folder made read-only, or, as root (who may write anything), nobody.
bool WriteWithoutFolderAccess(const std::string &dir, const std::string &path, const std::function<bool()> &write)
{
    if (::geteuid() != 0) {
        ::chmod(dir.c_str(), 0555);
        const bool ok = write();
        ::chmod(dir.c_str(), 0700);
        return ok;
    }
    if (::chmod(dir.c_str(), 0755) != 0 || ::chown(path.c_str(), 65534, 65534) != 0)
        return false;
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(::setgid(65534) == 0 && ::setuid(65534) == 0 && write() ? 0 : 1);
    int status = 1;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

TEST(ProfileStore, WritableFileInAFolderTheUserCannotWriteIsRewrittenInPlace)
{
    TempDir dir;
    const std::string path = dir.File("a.ini");
    WriteFile(path, "[S]\nK=1\n; kept\n");
    struct stat before {}, after {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    EXPECT_TRUE(WriteWithoutFolderAccess(dir.Path(), path, [&path] {
        return Write(path, "K", std::string(5000, 'L').c_str()) != 0 && Write(path, "K", "short") != 0
               && Write(path, "New", "x") != 0;
    }));
    EXPECT_EQ(ReadFile(path), "[S]\nK=short\nNew=x\n; kept\n");
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_TRUE(OnlyFileInDir(dir.Path(), "a.ini"));
}

TEST(ProfileStore, FilesBeyondTheSizeLimitAreRefusedWhole)
{
    TempDir dir;
    const std::string path = dir.File("a.ini");
    const std::string text = "[S]\nK=1\n" + std::string(16 << 20, ';');
    WriteFile(path, text);
    EXPECT_TRUE(plat::IsProfileFileTooLarge(path));
    EXPECT_EQ(Read(path, "K"), "<def>");
    EXPECT_EQ(Write(path, "K", "2"), 0);
    EXPECT_EQ(ReadFile(path), text);
    WriteFile(path, text.substr(0, 16 << 20));
    EXPECT_FALSE(plat::IsProfileFileTooLarge(path));
    EXPECT_EQ(Read(path, "K"), "1");
}
