// The Windows code page and the user locale's date and time formats, in the locale the test run
// asked for (TAVOLEX_EXPECT_LOCALE: ja-JP, or en-US in a prefix of its own).
#include "meeting_store/date_format.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

namespace tavolex {
namespace {

TEST(Win32LocaleTest, CodePageAndShortDateAndTimeOfTheUserLocale) {
    const char* asked = std::getenv("TAVOLEX_EXPECT_LOCALE");
    const std::string expected = asked != nullptr ? asked : "ja-JP";
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH);
    ASSERT_EQ(platform::Utf16ToCp932(std::u16string(name, name + wcslen(name))), expected);
    constexpr HandheldDate k19270115 = static_cast<HandheldDate>((23 << 9) | (1 << 5) | 15);
    const bool japanese = expected == "ja-JP";
    EXPECT_EQ(FormatMeetingDate(k19270115), japanese ? "1927/1/15" : "1/15/1927");
    EXPECT_EQ(FormatTimeRange(9, 0, 10, 30), japanese ? "9:00 - 10:30" : "9:00 AM - 10:30 AM");
    if (japanese) {
        EXPECT_EQ(GetACP(), 932u);
    }
}

// The debugger channel writes only while a debugger or a system-wide listener is there; one that
// starts while the program runs is found within half a second.
TEST(Win32DebugChannelTest, ListensOnlyWhileAListenerIsThere) {
    platform::DebugChannel& channel = platform::SystemDebugChannel();
    ASSERT_FALSE(IsDebuggerPresent());
    EXPECT_FALSE(channel.Listening());
    HANDLE ready = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY");
    ASSERT_NE(ready, nullptr);
    Sleep(600);
    EXPECT_TRUE(channel.Listening());
    CloseHandle(ready);
    Sleep(600);
    EXPECT_FALSE(channel.Listening());
}

}  // namespace
}  // namespace tavolex
