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

// The first line, cut at a line feed or tab and to 255 bytes without splitting a double-byte character.
TEST(PaneTextTest, ItemDisplayText) {
    const std::pair<std::string, std::string> table[] = {
        {"first\nsecond\tthird", "first"}, {"first\tsecond\nthird", "first"}, {"first\r\nsecond", "first"},
        {"\nsecond", ""}, {"lone\rreturn", "lone\rreturn"},
        {"ab" + Repeat(kA, 200), "ab" + Repeat(kA, 126)},  // the 255th byte would be a lead byte
        {"a" + Repeat(kA, 200), "a" + Repeat(kA, 127)},
        {Repeat("x", 400), Repeat("x", 255)},
        {"a\x82\tb", "a\x82"},  // a stray lead byte before a tab: the tab still ends the line
        {"\x83\x5c\x83\x7c", "\x83\x5c\x83\x7c"},  // '\\' and '|' as second bytes
    };
    for (const auto& [text, shown] : table) EXPECT_EQ(ItemDisplayText(text), shown) << text;
}

// Line feeds become CR LF, and the limit counts the expanded bytes.
TEST(PaneTextTest, ExpandLineFeeds) {
    const std::pair<std::string, std::string> table[] = {
        {"a\nb\n\nc", "a\r\nb\r\n\r\nc"}, {"tab\tkept", "tab\tkept"}, {"", ""}, {"a\r\nb", "a\r\nb"},
        {"a\rb", "a\rb"}, {"a\r\r\nb", "a\r\r\nb"},
        {Repeat("xy\n", 100), Repeat("xy\r\n", 63) + "xy"},  // "xy" fits, the next line break doesn't
        {Repeat("x\n", 100), Repeat("x\r\n", 85)},
        {"a" + Repeat(kA, 200), "a" + Repeat(kA, 127)},
        {"ab" + Repeat(kA, 200), "ab" + Repeat(kA, 126)},
    };
    for (const auto& [text, expanded] : table) EXPECT_EQ(ExpandLineFeeds(text), expanded) << text;
    EXPECT_EQ(ExpandLineFeeds("abc\ndef", 4), "abc");
}

}  // namespace
}  // namespace tavolex
