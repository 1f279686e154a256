// The text work of each format, byte for byte. Content lines of iCalendar and vCard: folding at
// 75 octets that never splits a UTF-8 character, no line end but the writer's own, the escapes of
// TEXT values and mailto: URIs. HTML: escaping a store's text, the charset rewrite of a UTF-8
// report, where a report's policy goes, the index's data inside a script element. Markdown: a
// store's text that shows as written, whatever markup it holds and however its lines start; links
// to the vault's files; YAML strings that hold any text, with the characters YAML forbids or reads
// as line breaks escaped.
#include "export/content_lines.h"
#include "export/html_text.h"
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

TEST(HtmlTextTest, EscapesMarkupAndControlCharactersAndKeepsDataInsideItsScriptElement) {
    const TextCase cases[] = {
        {"plain", "議事録 abc", "議事録 abc"},
        {"markup", "<a href=\"x\">'&'</a>", "&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;"},
        {"references stay text", "&amp;", "&amp;amp;"},
        {"line breaks and controls", "a\nb\r\tc\1\177d", "a b  c  d"},
        {"empty", "", ""},
    };
    for (const TextCase& c : cases) EXPECT_EQ(EscapeHtml(c.input), c.expected) << c.name;
    // The index's data keeps from closing its script element.
    EXPECT_EQ(JsonForScript("[\"a>b\"]"), "[\"a>b\"]");
    EXPECT_EQ(JsonForScript("[\"</script><script>x\"]"), "[\"\\u003c/script>\\u003cscript>x\"]");
    EXPECT_EQ(JsonForScript("[\"<!--\"]"), "[\"\\u003c!--\"]");
}

// (A declaration in upper case, another charset and texts that only read like a declaration, in a
// page without <head>: CliTest.ExportCommandsStatusesSummariesAndFiles, byte for byte.)
TEST(HtmlTextTest, DeclaresUtf8OnlyWhereAMetaTagNamesShiftJis) {
    const TextCase cases[] = {
        {"charset attribute", "<meta charset=\"Shift_JIS\">", "<meta charset=\"utf-8\">"},
        {"spaces and single quotes", "<meta charset = 'windows-31j'>", "<meta charset = 'utf-8'>"},
        {"each name", "<meta charset=cp932><meta charset=MS_Kanji><meta charset=csShiftJIS>",
         "<meta charset=utf-8><meta charset=utf-8><meta charset=utf-8>"},
        {"a longer name", "<meta charset=shift_jisx>", "<meta charset=shift_jisx>"},
        {"not a meta tag", "<metadata charset=sjis>", "<metadata charset=sjis>"},
        {"an unclosed tag", "x <meta charset=sjis", "x <meta charset=sjis"},
        {"charset without a value", "<meta charset>", "<meta charset>"},
    };
    for (const TextCase& c : cases) EXPECT_EQ(DeclareUtf8Charset(c.input), c.expected) << c.name;
}

TEST(HtmlTextTest, PlacesThePolicyAfterTheHeadTagElseAfterTheDoctypeOnALineOfItsOwn) {
    const struct {
        const char* name;
        std::string page;
        std::size_t expected;
    } cases[] = {
        {"head", "<html><head><title>", 12},
        {"head in upper case with attributes", "<HTML><HEAD lang=ja>x", 20},
        {"head in a comment", "<!-- <head> --><head>x", 21},
        {"header is not head", "<header><head>", 14},
        {"body first", "<body><head>", 0},
        {"doctype after white space", "  <!doctype html><p>", 17},
        {"head without its end", "<!DOCTYPE html><head", 15},
        {"no markup", "plain text", 0},
        {"a comment left open", "<!-- <head>", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(PolicyPosition(c.page), c.expected) << c.name;
    // The policy goes on a line of its own.
    const std::string meta = PolicyMeta(kReportPolicy);  // its bytes: the command-line test's report with no <head>
    EXPECT_EQ(WithReportPolicy("<head>\n<title>t</title>"), "<head>\n" + meta + "\n<title>t</title>");
    EXPECT_EQ(WithReportPolicy("<p>x</p>"), meta + "\n<p>x</p>");
}

TEST(MarkdownTextTest, EscapesMarkupKeepsLinesFromOpeningBlocksAndLinksFiles) {
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
        {"control characters", "a\1b\177c", "a b c"},
        {"line breaks of each kind", "a\r\nb\rc\nd", "a\\\nb\\\nc\\\nd"},
        {"each line's start", "a\n- b\n1. c", "a\\\n\\- b\\\n1\\. c"},
        {"trailing line breaks", "a\n\n", "a"},
        {"empty", "", ""},
    };
    for (const TextCase& c : cases) EXPECT_EQ(MarkdownText(c.input), c.expected) << c.name;
    // Lines continue after the indent, or are joined.
    EXPECT_EQ(MarkdownText("a\nb", "  "), "a\\\n  b");
    EXPECT_EQ(MarkdownText("a\n- b", "", true), "a \\- b");
    // Links take spaces and keep percent signs.
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
        {"a CR LF that ends the value is one line end", "X", "a\r\n", "X:a\\n\r\n"},
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
