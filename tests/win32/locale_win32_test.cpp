#include "meeting_store/date_format.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

namespace tavolex {
namespace {

std::string UserLocaleName() {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH);
    return platform::Utf16ToCp932(std::u16string(name, name + wcslen(name)));
}

std::string Expected() {
    const char* expected = std::getenv("TAVOLEX_EXPECT_LOCALE");
    return expected != nullptr ? expected : "ja-JP";
}

constexpr HandheldDate k19270115 = static_cast<HandheldDate>((23 << 9) | (1 << 5) | 15);

TEST(Win32LocaleTest, RunsInTheLocaleTheTestAskedFor) {
    EXPECT_EQ(UserLocaleName(), Expected());
}

TEST(Win32LocaleTest, ShortDateAndTimeOfTheUserLocale) {
    if (Expected() == "ja-JP") {
        EXPECT_EQ(FormatMeetingDate(k19270115), "1927/1/15");
        EXPECT_EQ(FormatTimeRange(9, 0, 10, 30), "9:00 - 10:30");
    } else {
        EXPECT_EQ(FormatMeetingDate(k19270115), "1/15/1927");
        EXPECT_EQ(FormatTimeRange(9, 0, 10, 30), "9:00 AM - 10:30 AM");
    }
}

TEST(Win32CodePageTest, AnsiCodePageIs932UnderJapaneseLocale) {
    if (Expected() != "ja-JP") GTEST_SKIP() << "only meaningful for the Japanese locale";
    EXPECT_EQ(GetACP(), 932u);
}

}  // namespace
}  // namespace tavolex

namespace tavolex {
namespace {

// Prints where the Windows tests ran, so a test log shows they ran under Wine and not elsewhere.
TEST(Win32HostTest, ReportsWineVersionCodePageAndLocale) {
    using WineGetVersion = const char* (*)();
    const char* wine = "none";
    if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
        if (auto get = reinterpret_cast<WineGetVersion>(
                reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")))) {
            wine = get();
        }
    }
    std::printf("Windows tests host: Wine %s, code page %u, user locale %s\n", wine, GetACP(),
                UserLocaleName().c_str());
    SUCCEED();
}

}  // namespace
}  // namespace tavolex
