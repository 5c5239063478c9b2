#include "StartupRules.h"

#include <gtest/gtest.h>

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
    const std::string appData = "C:\\Users\\u\\AppData\\Roaming\\Corvala";
    EXPECT_EQ(MakeWindowsIniPath("C:\\Apps\\monitor.exe", true, appData), "C:\\Apps\\monitor.ini");
    EXPECT_EQ(MakeWindowsIniPath("C:\\Apps\\monitor.ex", true, appData), "C:\\Apps\\monito.ini");
    EXPECT_EQ(MakeWindowsIniPath("C:\\Apps\\monitor.exec", true, appData), "C:\\Apps\\monitor..ini");
    EXPECT_EQ(MakeWindowsIniPath("", true, appData), "C:\\Quiram.ini");
    EXPECT_EQ(MakeWindowsIniPath("abc", true, appData), ".ini");
    // A folder the user cannot write (Program Files): the same name in the per-user folder.
    EXPECT_EQ(MakeWindowsIniPath("C:\\Program Files\\Corvala\\corvala.exe", false, appData), appData + "\\corvala.ini");
    EXPECT_EQ(MakeWindowsIniPath("C:\\Program Files\\Corvala\\corvala.exe", false, ""),
              "C:\\Program Files\\Corvala\\corvala.ini");
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

TEST(StartupRules, InstalledProgramsKeepTheirSettingsPerUser)
{
    for (const char *dir : {"/usr/bin", "/usr/local/bin", "/usr", "/bin", "/sbin", "/opt/corvala/bin", "/snap/x/1"})
        EXPECT_TRUE(IsLinuxSystemProgramDir(dir)) << dir;
    for (const char *dir : {"/usr2/bin", "/home/u/usr/bin", "/optional", "/work/build/src/app", "/", "/tmp"})
        EXPECT_FALSE(IsLinuxSystemProgramDir(dir)) << dir;
}

TEST(StartupRules, AppNameIsTheFileNameWithoutExtension)
{
    EXPECT_EQ(MakeAppName("C:\\Apps\\monitor.exe", kWindowsSeparators), "monitor");
    EXPECT_EQ(MakeAppName("/usr/bin/corvala", kLinuxSeparators), "corvala");
    EXPECT_EQ(MakeAppName("/opt/x.y/corvala.bin", kLinuxSeparators), "corvala");
    EXPECT_EQ(MakeAppName("/opt/.hidden", kLinuxSeparators), ".hidden");
    EXPECT_EQ(MakeAppName("", kLinuxSeparators), "");
}

TEST(StartupRules, WindowsNeedsVersionFive)
{
    EXPECT_FALSE(IsWindowsVersionSupported(4));
    EXPECT_TRUE(IsWindowsVersionSupported(5));
    EXPECT_TRUE(IsWindowsVersionSupported(10));
}

TEST(StartupRules, DirectoryOfPaths)
{
    EXPECT_EQ(DirectoryOf("/work/build/corvala", kLinuxSeparators), "/work/build");
    EXPECT_EQ(DirectoryOf("/corvala", kLinuxSeparators), "/");
    EXPECT_EQ(DirectoryOf("corvala", kLinuxSeparators), ".");
    EXPECT_EQ(DirectoryOf("C:\\Apps\\monitor.exe", kWindowsSeparators), "C:\\Apps");
    EXPECT_EQ(DirectoryOf("C:/Apps/monitor.exe", kWindowsSeparators), "C:/Apps");
    // A backslash is part of a Linux file name.
    EXPECT_EQ(DirectoryOf("/opt/odd\\name/corvala", kLinuxSeparators), "/opt/odd\\name");
}

TEST(StartupRules, DoubleByteCharactersStayWhole)
{
    // cp932: 表示 is 95 5C 8E A6 (a backslash in 表), ャ 83 62 (a 'b', not ィ 83 42).
    const LeadByteTest cp932 = [](unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); };
    const std::string shown = "\x95\x5C\x8E\xA6", path = "C:\\" + shown + "\\" + shown + ".exe";
    EXPECT_EQ(MakeAppName(path, kWindowsSeparators, cp932), shown);
    EXPECT_EQ(DirectoryOf(path, kWindowsSeparators, cp932), "C:\\" + shown);
    EXPECT_EQ(MakeWindowsIniPath(path, false, "D:\\u", cp932), "D:\\u\\" + shown + ".ini");
    EXPECT_EQ(MakeWindowsLockName("C:\\" + shown + "\\\x83\x62.exe", cp932), "C__" + shown + "_\x83\x62.EXE");
}
