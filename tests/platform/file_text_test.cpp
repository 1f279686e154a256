#include "platform/file_system.h"
#include "platform/platform.h"
#include "tests/support/scoped_env.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

namespace tavolex::platform {
namespace {

// Either separator ends a path text, and as many as there are go; a root stays a root.
TEST(PathTextTest, TrailingSeparatorsGoButARootStays) {
    const std::pair<std::string, std::string> table[] = {
        {"C:\\Palm\\", "C:\\Palm"},
        {"/home/palm//", "/home/palm"},
        {"TanakaT\\/", "TanakaT"},
        {"TanakaT", "TanakaT"},
        {"/", "/"},
        {"\\\\", "\\"},
        {"", ""},
    };
    for (const auto& [text, stripped] : table) EXPECT_EQ(WithoutTrailingSeparators(text), stripped) << text;
    EXPECT_EQ(WithoutTrailingSeparator(std::filesystem::path("a/b/")), std::filesystem::path("a/b"));
    EXPECT_EQ(WithoutTrailingSeparator(std::filesystem::path("a/b")), std::filesystem::path("a/b"));
}

// A stored folder's text: on POSIX a backslash is a character of a name, never a separator.
TEST(PathTextTest, NativeTextKeepsItsBackslashOnPosix) {
#ifdef _WIN32
    EXPECT_EQ(PathFromNativeCp932("C:\\a\\b"), std::filesystem::path(L"C:\\a\\b"));
#else
    EXPECT_EQ(PathFromNativeCp932("/a\\b/\x95\x5c").string(), "/a\\b/表");
    EXPECT_EQ(PathFromCp932("/a\\b").string(), "/a/b");
    EXPECT_EQ(PathTraceText(std::filesystem::path("/tmp/\xe8\xa1\xa8")), "/tmp/\xe8\xa1\xa8");
#endif
}

TEST(ClockTest, UtcAndLocalFieldsOfOneMoment) {
    const std::tm utc = UtcTime(1000000000);  // 2001-09-09 01:46:40 UTC
    EXPECT_EQ(std::tie(utc.tm_year, utc.tm_mon, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec), std::make_tuple(101, 8, 9, 1, 46, 40));
#ifndef _WIN32
    std::tm local{};
    {
        const test::ScopedEnv zone("TZ", "JST-9");
        tzset();
        local = LocalTime(1000000000);
    }
    tzset();
    EXPECT_EQ(std::tie(local.tm_mday, local.tm_hour, local.tm_min), std::make_tuple(9, 10, 46));
#endif
}

}  // namespace
}  // namespace tavolex::platform
