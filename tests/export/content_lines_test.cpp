// The content lines of iCalendar and vCard, byte for byte: folding at 75 octets that never splits
// a UTF-8 character, no line end but the writer's own, the escapes of TEXT values and mailto: URIs.
#include "export/content_lines.h"

#include <gtest/gtest.h>

namespace tavolex {
namespace {

struct LineCase {
    const char* name;
    std::string property;
    std::string value;
    std::string expected;
};

TEST(ContentLinesTest, FoldsAtSeventyFiveOctetsOnCharacterBoundariesAndEscapesTextValues) {
    const std::string a73(73, 'a');
    const std::string a74(74, 'a');
    const LineCase cases[] = {
        {"short", "SUMMARY", "x", "SUMMARY:x\r\n"},
        {"exactly 75", "S", a73, "S:" + a73 + "\r\n"},
        {"76 folds once", "S", a74, "S:" + a73 + "\r\n a\r\n"},
        // 73 ASCII octets, then a 3-octet character that would straddle octet 75: it moves down.
        {"no split", "S", std::string(71, 'a') + "価格", "S:" + std::string(71, 'a') + "\r\n 価格\r\n"},
        {"continuation holds 74", "S", a73 + std::string(75, 'b'), "S:" + a73 + "\r\n " + std::string(74, 'b') + "\r\n b\r\n"},
        {"line ends in the value", "X", "a\r\nEND:VEVENT\rb\nc", "X:a\\nEND:VEVENT\\nb\\nc\r\n"},
        {"line ends in parameters", "X;CN=\"a\r\nb\x01\"", "v\x7f", "X;CN=\"a b \":v \r\n"},
        // A run of continuation bytes has no character boundary: it is cut where the room ends.
        {"not UTF-8 still folds", "S", std::string(80, '\x80'),
         "S\r\n :" + std::string(73, '\x80') + "\r\n " + std::string(7, '\x80') + "\r\n"},
    };
    for (const LineCase& c : cases) {
        ContentLines lines;
        lines.Add(c.property, c.value);
        EXPECT_EQ(lines.Text(), c.expected) << c.name;
    }
    const std::pair<std::string, std::string> escapes[] = {
        {"a,b;c\\d", "a\\,b\\;c\\\\d"},
        {"line1\r\nline2\nline3", "line1\\nline2\\nline3"},
        {std::string("tab\there\x01"), "tab here "},
        {"議題：価格", "議題：価格"},
    };
    for (const auto& [text, expected] : escapes) EXPECT_EQ(EscapeText(text), expected) << text;
    EXPECT_EQ(QuoteParameter("田中 \"太郎\""), "\"田中  太郎 \"");
    EXPECT_EQ(QuoteParameter("a;b,c:d\\\r\ne"), "\"a;b,c:d\\ e\"");
    const std::pair<std::string, std::optional<std::string>> addresses[] = {
        {"taro@example.jp", "mailto:taro@example.jp"},
        {" a+b%c@x.jp ", "mailto:a%2Bb%25c@x.jp"},
        {"田中@例え.jp", "mailto:%E7%94%B0%E4%B8%AD@%E4%BE%8B%E3%81%88.jp"},
        {"e@x.jp\r\nEND:VEVENT", std::nullopt},
        {"a b@x.jp", std::nullopt},
        {"no-at", std::nullopt},
        {"@x.jp", std::nullopt},
        {"a@b@c", std::nullopt},
    };
    for (const auto& [text, expected] : addresses) EXPECT_EQ(MailtoUri(text), expected) << text;
}

}  // namespace
}  // namespace tavolex
