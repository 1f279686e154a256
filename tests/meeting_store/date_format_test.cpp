#include "meeting_store/date_format.h"

#include "tests/support/scoped_env.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tavolex {
namespace {

constexpr HandheldDate Pack(int year, int month, int day) { return static_cast<HandheldDate>(((year - 1904) << 9) | (month << 5) | day); }

TEST(StripSecondsTest, RemovesSecondColonAndTwoBytes) {
    const std::pair<const char*, const char*> table[] = {{"9:05:00 AM", "9:05 AM"},    {"21:30:00", "21:30"}, {"10:15", "10:15"},
                                                         {"1:02:3", "1:02"},           {"1:02:", "1:02"},     {"", ""},
                                                         {"午前 9:05:00", "午前 9:05"}};
    for (const auto& [in, expected] : table) {
        std::string text = in;
        StripSeconds(text);
        EXPECT_EQ(text, expected) << in;
        char buffer[64];
        std::strcpy(buffer, in);
        StripSeconds(buffer);
        EXPECT_STREQ(buffer, expected) << in;
    }
}

// Year field 127 means no due date and hour 255 no time (a meeting's and a to-do's without a start,
// CliTest.ListingsSelectionSearchAndFailures and CliTest.JsonIsTheSameInEveryLocaleAndCarriesIdsIsoDatesAndWholeTexts);
// values the system formatters refuse still give a text, bounded and without seconds.
TEST(FormatTest, MissingAndRejectedValues) {
    const std::pair<std::string, std::string> table[] = {
        {FormatDueDate(0xFFFF), ""},
        {FormatDueDate(0xFE00), ""},
        {FormatDueDate(Pack(2031, 12, 31)), ""},
        {FormatDueDate(Pack(1999, 3, 4)), FormatMeetingDate(Pack(1999, 3, 4))},
        {FormatTimeRange(9, 0, 255, 0), FormatDueTime(9, 0)},
        {FormatMeetingDate(Pack(1999, 13, 4)), "1999/13/04"},
        {FormatMeetingDate(Pack(1999, 4, 0)), "1999/04/00"},
        {FormatMeetingDate(Pack(1999, 2, 29)), "1999/02/29"},
        {FormatDueTime(24, 0), "24:00"},
        {FormatDueTime(254, 99), "254:99"},
        {FormatDueTime(9, 60), "9:60"},
    };
    for (const auto& [text, expected] : table) EXPECT_EQ(text, expected);
    EXPECT_NE(FormatMeetingDate(Pack(2000, 2, 29)), "2000/02/29");  // a real date: the locale's text
}

#ifndef _WIN32
// The user's locale comes from LC_ALL, LC_TIME or LANG, formatted by ICU.
TEST(PosixLocaleTest, DatesAndTimesOfTheUsersLocale) {
    test::ScopedEnv lcAll("LC_ALL", std::nullopt);
    test::ScopedEnv lcTime("LC_TIME", std::nullopt);
    {
        test::ScopedEnv lang("LANG", "ja_JP.UTF-8");
        EXPECT_EQ(FormatMeetingDate(Pack(1927, 1, 15)), "1927/01/15");
        EXPECT_EQ(FormatTimeRange(9, 0, 10, 30), "9:00 - 10:30");
        EXPECT_EQ(FormatDueTime(21, 5), "21:05");
    }
    {
        // English widens the two-digit year and uses plain spaces.
        test::ScopedEnv lang("LANG", "en_US.UTF-8");
        EXPECT_EQ(FormatMeetingDate(Pack(1927, 1, 15)), "1/15/1927");
        EXPECT_EQ(FormatTimeRange(9, 0, 10, 30), "9:00 AM - 10:30 AM");
        EXPECT_EQ(FormatDueTime(0, 0), "12:00 AM");
        test::ScopedEnv all("LC_ALL", "ja_JP.UTF-8");  // overrides LANG
        EXPECT_EQ(FormatMeetingDate(Pack(1927, 1, 15)), "1927/01/15");
    }
}
#endif

}  // namespace
}  // namespace tavolex
