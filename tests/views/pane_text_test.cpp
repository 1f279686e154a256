#include "views/pane_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tavolex {
namespace {

constexpr std::string_view kA = "\x82\xa0";  // あ, two bytes

std::string Repeat(std::string_view piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += piece;
    return text;
}

TEST(ItemDisplayTextTest, CutAtFirstLineFeedOrTab) {
    EXPECT_EQ(ItemDisplayText("first\nsecond\tthird"), "first");
    EXPECT_EQ(ItemDisplayText("first\tsecond\nthird"), "first");
    EXPECT_EQ(ItemDisplayText("first\r\nsecond"), "first");
    EXPECT_EQ(ItemDisplayText("\nsecond"), "");
    EXPECT_EQ(ItemDisplayText("one line"), "one line");
    EXPECT_EQ(ItemDisplayText("lone\rreturn"), "lone\rreturn");
}

TEST(ItemDisplayTextTest, LimitNeverSplitsDoubleByteCharacter) {
    const std::string odd = "ab" + Repeat(kA, 200);  // the 255th byte would be a lead byte
    const std::string display = ItemDisplayText(odd);
    EXPECT_EQ(display.size(), 254u);
    EXPECT_EQ(display, "ab" + Repeat(kA, 126));
    const std::string even = "a" + Repeat(kA, 200);
    EXPECT_EQ(ItemDisplayText(even).size(), 255u);
    EXPECT_EQ(ItemDisplayText(Repeat("x", 400)), Repeat("x", 255));
}

TEST(ItemDisplayTextTest, TrailByteIsNotTakenForControl) {
    // A stray lead byte before a tab: the tab still ends the line.
    EXPECT_EQ(ItemDisplayText("a\x82\tb"), "a\x82");
    // 0x5C ('\\') and 0x7C ('|') are ordinary second bytes of double-byte characters.
    EXPECT_EQ(ItemDisplayText("\x83\x5c\x83\x7c"), "\x83\x5c\x83\x7c");
}

TEST(ExpandLineFeedsTest, LineFeedsBecomeCarriageReturnLineFeed) {
    EXPECT_EQ(ExpandLineFeeds("a\nb\n\nc"), "a\r\nb\r\n\r\nc");
    EXPECT_EQ(ExpandLineFeeds("tab\tkept"), "tab\tkept");
    EXPECT_EQ(ExpandLineFeeds(""), "");
}

TEST(ExpandLineFeedsTest, ExistingCarriageReturnLineFeedIsKept) {
    EXPECT_EQ(ExpandLineFeeds("a\r\nb"), "a\r\nb");
    EXPECT_EQ(ExpandLineFeeds("a\rb"), "a\rb");
    EXPECT_EQ(ExpandLineFeeds("a\r\r\nb"), "a\r\r\nb");
}

TEST(ExpandLineFeedsTest, LimitCountsExpandedBytes) {
    // "xy\n" grows to 4 bytes: 63 of them make 252; "xy" fits, the next line break doesn't.
    const std::string expanded = ExpandLineFeeds(Repeat("xy\n", 100));
    EXPECT_EQ(expanded.size(), 254u);
    EXPECT_EQ(expanded, Repeat("xy\r\n", 63) + "xy");
    EXPECT_EQ(ExpandLineFeeds(Repeat("x\n", 100)), Repeat("x\r\n", 85));
    EXPECT_EQ(ExpandLineFeeds("a" + Repeat(kA, 200)), "a" + Repeat(kA, 127));
    EXPECT_EQ(ExpandLineFeeds("ab" + Repeat(kA, 200)), "ab" + Repeat(kA, 126));
    EXPECT_EQ(ExpandLineFeeds("abc\ndef", 4), "abc");
}

}  // namespace
}  // namespace tavolex
