#include "platform/platform.h"
#include "tests/support/damaged_shift_jis.h"

#include <gtest/gtest.h>

namespace tavolex::platform {
namespace {

TEST(CodePageTest, Cp932ConvertsBothWaysAsWindowsMapsIt) {
    // "会議" (meeting), "表" whose second byte is a backslash, the wave dash Windows maps to U+FF5E
    // and a half-width kana.
    const std::pair<std::string, std::string> table[] = {{"\x89\xef\x8b\x63", "会議"}, {"\x95\x5c", "表"}, {"abc\\~", "abc\\~"},
                                                         {"\x81\x60", "～"},           {"\xb1", "ｱ"},      {"", ""}};
    for (const auto& [cp932, utf8] : table) {
        EXPECT_EQ(Cp932ToUtf8(cp932), utf8) << utf8;
        EXPECT_EQ(Utf8ToCp932(utf8), cp932) << utf8;
    }
    EXPECT_EQ(Cp932ToUtf16("\x95\x5c"), u"表");
    EXPECT_EQ(Utf16ToCp932(u"表\\"), "\x95\x5c\\");
    EXPECT_EQ(Utf8ToCp932("😀").find('\0'), std::string::npos);
}

// Damage is marked alike on every platform, so the exports count it alike.
TEST(CodePageTest, BytesThatAreNoCharacterBecomeReplacementCharactersAsIcuGivesThem) {
    for (const test::DamagedShiftJis& damaged : test::kDamagedShiftJis)
        EXPECT_EQ(Cp932ToUtf16(damaged.bytes), damaged.utf16) << damaged.name;
}

}  // namespace
}  // namespace tavolex::platform
