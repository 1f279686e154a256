// The vault's texts byte for byte: a store's text as Markdown that shows as written, whatever
// markup it holds and however its lines start; links to the vault's files; YAML strings that hold
// any text, with the characters YAML forbids or reads as line breaks escaped.
#include "export/markdown_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavolex {
namespace {

struct TextCase {
    const char* name;
    std::string input;
    std::string expected;
};

TEST(MarkdownTextTest, EscapesMarkupAndKeepsLinesFromOpeningBlocks) {
    const TextCase cases[] = {
        {"plain", "議事録 abc", "議事録 abc"},
        {"inline markup", "*b* _i_ `c` [l](u) <b> &amp; ~~s~~ ==h== $m$ %%c%% |t| ^id \\",
         "\\*b\\* \\_i\\_ \\`c\\` \\[l\\](u) \\<b\\> \\&amp; \\~\\~s\\~\\~ \\=\\=h\\=\\= \\$m\\$ \\%\\%c\\%\\% \\|t\\| "
         "\\^id \\\\"},
        {"heading", "# h", "\\# h"},
        {"quote", "> q", "\\> q"},
        {"bullet -", "- item", "\\- item"},
        {"bullet +", "+ item", "\\+ item"},
        {"ordered with a dot", "1. x", "1\\. x"},
        {"ordered with a parenthesis", "12) x", "12\\) x"},
        {"a number that opens no list", "2026年", "2026年"},
        {"leading space", " code", "&#32;code"},
        {"leading tab", "\tcode", "&#32;code"},
        {"control characters",
         "a\x01"
         "b\x7F"
         "c",
         "a b c"},
        {"line breaks of each kind", "a\r\nb\rc\nd", "a\\\nb\\\nc\\\nd"},
        {"each line's start", "a\n- b\n1. c", "a\\\n\\- b\\\n1\\. c"},
        {"trailing line breaks", "a\n\n", "a"},
        {"empty", "", ""},
    };
    for (const TextCase& c : cases) EXPECT_EQ(MarkdownText(c.input), c.expected) << c.name;
}

TEST(MarkdownTextTest, ContinuesLinesAfterTheIndentOrJoinsThem) {
    EXPECT_EQ(MarkdownText("a\nb", "  "), "a\\\n  b");
    EXPECT_EQ(MarkdownText("a\n- b", "", true), "a \\- b");
}

TEST(MarkdownTextTest, LinksTakeSpacesAndKeepPercentSigns) {
    EXPECT_EQ(MarkdownLink("a [b]", "people/x y%20.md"), "[a \\[b\\]](<people/x y%2520.md>)");
    EXPECT_EQ(MarkdownLink("a\nb", "n.md"), "[a b](<n.md>)");
}

TEST(MarkdownTextTest, YamlStringsHoldAnyText) {
    const TextCase cases[] = {
        {"plain", "議事録", "\"議事録\""},
        {"quote and backslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
        {"line breaks and tab", "a\nb\rc\td", "\"a\\nb\\rc\\td\""},
        {"C0 and DEL", "\x01\x7F", "\"\\x01\\x7F\""},
        {"C1", "\xC2\x85", "\"\\x85\""},
        {"no-break space kept", "\xC2\xA0", "\"\xC2\xA0\""},
        {"line and paragraph separators", "\xE2\x80\xA8\xE2\x80\xA9", "\"\\u2028\\u2029\""},
        {"byte order mark and non-characters", "\xEF\xBB\xBF\xEF\xBF\xBE\xEF\xBF\xBF", "\"\\uFEFF\\uFFFE\\uFFFF\""},
        {"a YAML indicator", "- a: b # c", "\"- a: b # c\""},
    };
    for (const TextCase& c : cases) EXPECT_EQ(YamlString(c.input), c.expected) << c.name;
    EXPECT_EQ(YamlList("tags", {}), "tags: []\n");
    EXPECT_EQ(YamlList("tags", {"a", "b\""}), "tags:\n  - \"a\"\n  - \"b\\\"\"\n");
}

}  // namespace
}  // namespace tavolex
