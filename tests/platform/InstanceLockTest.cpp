#include "InstanceLockLinux.h"
#include "Platform.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The lock files live in the user's real lock directory: names of this process's own, so
// that test runs in parallel never meet, removed afterwards.
class InstanceLock : public ::testing::Test {
protected:
    std::string Name(const std::string &base) const { return base + "_TEST" + m_pid; }
    void TearDown() override
    {
        std::error_code error;
        for (const auto &entry : fs::directory_iterator(plat::InstanceLockDirectory(), error))
            if (entry.path().filename().string().find("_TEST" + m_pid) != std::string::npos)
                fs::remove(entry.path(), error);
    }
    const std::string m_pid = std::to_string(::getpid());
};

} // namespace

TEST_F(InstanceLock, SecondHolderOfTheSameNameIsRefused)
{
    EXPECT_EQ(plat::CreateInstanceLock(Name("_TMP_A_CORVALA")), plat::LockResult::Acquired);
    EXPECT_EQ(plat::CreateInstanceLock(Name("_TMP_A_CORVALA")), plat::LockResult::AlreadyExists);
    EXPECT_EQ(plat::CreateInstanceLock(Name("_TMP_B_CORVALA")), plat::LockResult::Acquired);
    EXPECT_EQ(plat::CreateInstanceLock(Name("_tmp_a_corvala")), plat::LockResult::Acquired);
}

TEST_F(InstanceLock, KilledHolderReleasesTheLock)
{
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const std::string name = Name("_KILLED");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool ok = plat::CreateInstanceLock(name) == plat::LockResult::Acquired;
        (void)!::write(ready[1], ok ? "1" : "0", 1);
        ::pause();
        ::_exit(0);
    }
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    EXPECT_EQ(answer, '1');
    EXPECT_EQ(plat::CreateInstanceLock(name), plat::LockResult::AlreadyExists);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(plat::CreateInstanceLock(name), plat::LockResult::Acquired);
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST_F(InstanceLock, VeryLongNamesStillLock)
{
    const std::string name = Name(std::string(3000, 'N'));
    EXPECT_EQ(plat::CreateInstanceLock(name), plat::LockResult::Acquired);
    EXPECT_EQ(plat::CreateInstanceLock(name), plat::LockResult::AlreadyExists);
    EXPECT_EQ(plat::CreateInstanceLock(name.substr(1)), plat::LockResult::Acquired);
}

TEST_F(InstanceLock, DirectoryIsPrivateAndTheSameInEveryEnvironment)
{
    const std::string dir = plat::InstanceLockDirectory();
    ::setenv("XDG_RUNTIME_DIR", "/tmp", 1);
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", "/tmp", 1);
    EXPECT_EQ(plat::InstanceLockDirectory(), dir);
    ::unsetenv("XDG_RUNTIME_DIR");
    ::setenv("HOME", home.c_str(), 1);
    EXPECT_TRUE(dir.ends_with("/.local/state/corvala-locks")) << dir;
    struct stat st {};
    ASSERT_EQ(::lstat(dir.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_uid, ::geteuid());
    EXPECT_EQ(st.st_mode & 077, 0u);
}
