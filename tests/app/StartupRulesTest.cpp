#include "IniPath.h"
#include "StartupRules.h"

#include <gtest/gtest.h>

#include <thread>

TEST(StartupRules, LockNameFollowsTheExecutablePath)
{
    EXPECT_EQ(MakeWindowsLockName("C:\\Apps\\monitor.exe"), "C__APPS_MONITOR.EXE");
    EXPECT_EQ(MakeWindowsLockName("c:\\apps\\MONITOR.EXE"), MakeWindowsLockName("C:\\Apps\\monitor.exe"));
    // Multibyte characters pass through unchanged; only ASCII letters change case.
    EXPECT_EQ(MakeWindowsLockName("C:\\ä\\ネット\\mon.exe"), "C__ä_ネット_MON.EXE");
    // Linux paths that differ in case are different files.
    EXPECT_EQ(MakeLinuxLockName("/opt/corvala/bin/Corvala"), "_opt_corvala_bin_Corvala");
    EXPECT_NE(MakeLinuxLockName("/tmp/a/corvala"), MakeLinuxLockName("/tmp/A/corvala"));
}

TEST(StartupRules, WindowsIniPathDropsExactlyFourCharacters)
{
    EXPECT_EQ(MakeWindowsIniPath("C:\\Apps\\monitor.exe"), "C:\\Apps\\monitor.ini");
    EXPECT_EQ(MakeWindowsIniPath("C:\\Apps\\monitor.ex"), "C:\\Apps\\monito.ini");
    EXPECT_EQ(MakeWindowsIniPath("C:\\Apps\\monitor.exec"), "C:\\Apps\\monitor..ini");
    EXPECT_EQ(MakeWindowsIniPath(""), "C:\\Quiram.ini");
    EXPECT_EQ(MakeWindowsIniPath("abc"), ".ini");
}

TEST(StartupRules, LinuxIniPathSitsBesideTheExecutableOrInTheUserConfig)
{
    EXPECT_EQ(MakeLinuxIniPath("/work/build/corvala", true, "/home/u/.config/corvala"), "/work/build/corvala.ini");
    EXPECT_EQ(MakeLinuxIniPath("/usr/bin/corvala", false, "/home/u/.config/corvala"),
              "/home/u/.config/corvala/corvala.ini");
    // Two executables installed side by side keep two files.
    EXPECT_EQ(MakeLinuxIniPath("/usr/bin/corvala-wan", false, "/home/u/.config/corvala"),
              "/home/u/.config/corvala/corvala-wan.ini");
    EXPECT_EQ(MakeLinuxIniPath("", false, "/home/u/.config/corvala"), "/home/u/.config/corvala/corvala.ini");
    // Nowhere better to go: try beside the executable, so a writable file there still works.
    EXPECT_EQ(MakeLinuxIniPath("/usr/bin/corvala", false, ""), "/usr/bin/corvala.ini");
    EXPECT_EQ(MakeLinuxIniPath("", false, ""), "");
}

TEST(StartupRules, AppNameIsTheFileNameWithoutExtension)
{
    EXPECT_EQ(MakeAppName("C:\\Apps\\monitor.exe"), "monitor");
    EXPECT_EQ(MakeAppName("/usr/bin/corvala"), "corvala");
    EXPECT_EQ(MakeAppName("/opt/x.y/corvala.bin"), "corvala");
    EXPECT_EQ(MakeAppName("/opt/.hidden"), ".hidden");
    EXPECT_EQ(MakeAppName(""), "");
}

TEST(StartupRules, WindowsNeedsVersionFive)
{
    EXPECT_FALSE(IsWindowsVersionSupported(4));
    EXPECT_TRUE(IsWindowsVersionSupported(5));
    EXPECT_TRUE(IsWindowsVersionSupported(10));
}

TEST(StartupRules, DirectoryOfPaths)
{
    EXPECT_EQ(DirectoryOf("/work/build/corvala"), "/work/build");
    EXPECT_EQ(DirectoryOf("/corvala"), "/");
    EXPECT_EQ(DirectoryOf("corvala"), ".");
    EXPECT_EQ(DirectoryOf("C:\\Apps\\monitor.exe"), "C:\\Apps");
}

TEST(IniPath, ReadersGetWholeCopiesWhileItIsSet)
{
    SetIniPath("/a/first.ini");
    std::thread reader([] {
        for (int i = 0; i < 2000; ++i) {
            const std::string path = GetIniPath();
            ASSERT_TRUE(path == "/a/first.ini" || path == "/b/second.ini") << path;
        }
    });
    for (int i = 0; i < 2000; ++i)
        SetIniPath(i % 2 ? "/a/first.ini" : "/b/second.ini");
    reader.join();
    SetIniPath("/c/final.ini");
    EXPECT_EQ(GetIniPath(), "/c/final.ini");
}
