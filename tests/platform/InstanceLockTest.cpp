#include "Platform.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs each test with a runtime directory of its own.
class InstanceLock : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_RUNTIME_DIR", m_dir.Path().c_str(), 1); }
    TempDir m_dir;
};

} // namespace

TEST_F(InstanceLock, SecondHolderOfTheSameNameIsRefused)
{
    EXPECT_EQ(plat::CreateInstanceLock("_TMP_A_CORVALA"), plat::LockResult::Acquired);
    EXPECT_EQ(plat::CreateInstanceLock("_TMP_A_CORVALA"), plat::LockResult::AlreadyExists);
    EXPECT_EQ(plat::CreateInstanceLock("_TMP_B_CORVALA"), plat::LockResult::Acquired);
}

TEST_F(InstanceLock, KilledHolderReleasesTheLock)
{
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool ok = plat::CreateInstanceLock("_KILLED") == plat::LockResult::Acquired;
        (void)!::write(ready[1], ok ? "1" : "0", 1);
        ::pause();
        ::_exit(0);
    }
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    EXPECT_EQ(answer, '1');
    EXPECT_EQ(plat::CreateInstanceLock("_KILLED"), plat::LockResult::AlreadyExists);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(plat::CreateInstanceLock("_KILLED"), plat::LockResult::Acquired);
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST_F(InstanceLock, VeryLongNamesStillLock)
{
    const std::string name(3000, 'N');
    EXPECT_EQ(plat::CreateInstanceLock(name), plat::LockResult::Acquired);
    EXPECT_EQ(plat::CreateInstanceLock(name), plat::LockResult::AlreadyExists);
    EXPECT_EQ(plat::CreateInstanceLock(name.substr(1)), plat::LockResult::Acquired);
}

TEST_F(InstanceLock, WithoutRuntimeDirectoryUsesPrivateTmpDirectory)
{
    ::unsetenv("XDG_RUNTIME_DIR");
    const std::string name = "_NO_RUNTIME_" + std::to_string(::getpid());
    EXPECT_EQ(plat::CreateInstanceLock(name), plat::LockResult::Acquired);
    EXPECT_EQ(plat::CreateInstanceLock(name), plat::LockResult::AlreadyExists);
    struct stat st {};
    const std::string dir = "/tmp/corvala-" + std::to_string(::getuid());
    ASSERT_EQ(::lstat(dir.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ::unlink((dir + "/" + name + ".lock").c_str());
}
