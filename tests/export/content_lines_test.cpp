// The content lines of iCalendar and vCard, byte for byte: folding at 75 octets that never splits
// a UTF-8 character, and the escapes of TEXT values.
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
        {"continuation holds 74", "S", a73 + std::string(75, 'b'),
         "S:" + a73 + "\r\n " + std::string(74, 'b') + "\r\n b\r\n"},
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
}

}  // namespace
}  // namespace tavolex
