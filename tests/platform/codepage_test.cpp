#include "platform/platform.h"

#include <gtest/gtest.h>

namespace tavolex::platform {
namespace {

// "会議" (meeting) and "表" whose second byte is a backslash, in CP932.
constexpr char kKaigi[] = "\x89\xef\x8b\x63";
constexpr char kHyou[] = "\x95\x5c";

TEST(CodePageTest, Cp932RoundTripsThroughUtf8AndUtf16) {
    EXPECT_EQ(Cp932ToUtf8(kKaigi), "会議");
    EXPECT_EQ(Utf8ToCp932("会議"), kKaigi);
    EXPECT_EQ(Cp932ToUtf8(kHyou), "表");
    EXPECT_EQ(Cp932ToUtf16(kHyou), u"表");
    EXPECT_EQ(Utf16ToCp932(u"表\\"), std::string(kHyou) + "\\");
    EXPECT_EQ(Cp932ToUtf8("abc\\~"), "abc\\~");
}

TEST(CodePageTest, MicrosoftMappingOfWaveDashAndHalfWidthKana) {
    EXPECT_EQ(Cp932ToUtf8("\x81\x60"), "～");  // U+FF5E, as Windows maps it
    EXPECT_EQ(Utf8ToCp932("～"), "\x81\x60");
    EXPECT_EQ(Cp932ToUtf8("\xb1"), "ｱ");
}

TEST(CodePageTest, EmptyAndDamagedInputNeverFail) {
    EXPECT_EQ(Cp932ToUtf8(""), "");
    EXPECT_EQ(Utf8ToCp932(""), "");
    // A lone lead byte at the end and an unassigned pair still give some text.
    EXPECT_FALSE(Cp932ToUtf8("a\x89").empty());
    EXPECT_FALSE(Cp932ToUtf8("\x85\x40").empty());
    EXPECT_FALSE(Utf8ToCp932("\xff\xfe").empty());
    EXPECT_EQ(Utf8ToCp932("😀").find('\0'), std::string::npos);
}

}  // namespace
}  // namespace tavolex::platform
