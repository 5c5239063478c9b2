#include "IniPath.h"

#include <gtest/gtest.h>

#include <thread>

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
