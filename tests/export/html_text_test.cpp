// The archive's HTML text work, byte for byte: escaping a store's text, the charset rewrite of a
// UTF-8 report, where a report's policy goes, the index's data inside a script element; and the
// script hashes the build computes, checked against Python's hashlib.
#include "export/html_text.h"

#include "export/archive_assets.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace tavolex {
namespace {

struct TextCase {
    const char* name;
    std::string input;
    std::string expected;
};

TEST(HtmlTextTest, EscapesMarkupAndControlCharacters) {
    const TextCase cases[] = {
        {"plain", "議事録 abc", "議事録 abc"},
        {"markup", "<a href=\"x\">'&'</a>", "&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;"},
        {"references stay text", "&amp;", "&amp;amp;"},
        {"line breaks and controls",
         "a\nb\r\tc\x01\x7F"
         "d",
         "a b  c  d"},
        {"empty", "", ""},
    };
    for (const TextCase& c : cases) EXPECT_EQ(EscapeHtml(c.input), c.expected) << c.name;
}

TEST(HtmlTextTest, DeclaresUtf8OnlyWhereAMetaTagNamesShiftJis) {
    const TextCase cases[] = {
        {"charset attribute", "<meta charset=\"Shift_JIS\">", "<meta charset=\"utf-8\">"},
        {"http-equiv, upper case", "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; CHARSET=x-sjis\">",
         "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; CHARSET=utf-8\">"},
        {"spaces and single quotes", "<meta charset = 'windows-31j'>", "<meta charset = 'utf-8'>"},
        {"each name", "<meta charset=cp932><meta charset=MS_Kanji><meta charset=csShiftJIS>",
         "<meta charset=utf-8><meta charset=utf-8><meta charset=utf-8>"},
        {"another charset", "<meta charset=\"euc-jp\">", "<meta charset=\"euc-jp\">"},
        {"a longer name", "<meta charset=shift_jisx>", "<meta charset=shift_jisx>"},
        {"not a meta tag", "<metadata charset=sjis>", "<metadata charset=sjis>"},
        {"another tag's attribute", "<div title=\"charset=Shift_JIS\">", "<div title=\"charset=Shift_JIS\">"},
        {"a meeting's text", "<p>charset=Shift_JIS</p>", "<p>charset=Shift_JIS</p>"},
        {"an unclosed tag", "x <meta charset=sjis", "x <meta charset=sjis"},
        {"charset without a value", "<meta charset>", "<meta charset>"},
    };
    for (const TextCase& c : cases) EXPECT_EQ(DeclareUtf8Charset(c.input), c.expected) << c.name;
}

TEST(HtmlTextTest, PlacesThePolicyAfterTheHeadTagElseAfterTheDoctype) {
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
        {"doctype, no head", "<!DOCTYPE html>\n<body>", 15},
        {"doctype after white space", "  <!doctype html><p>", 17},
        {"head without its end", "<!DOCTYPE html><head", 15},
        {"no markup", "plain text", 0},
        {"a comment left open", "<!-- <head>", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(PolicyPosition(c.page), c.expected) << c.name;
}

TEST(HtmlTextTest, WritesThePolicyOnALineOfItsOwn) {
    const std::string meta =
        "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; img-src 'self'; style-src "
        "'self' 'unsafe-inline'; base-uri 'none'; form-action 'none'\">";
    EXPECT_EQ(PolicyMeta(kReportPolicy), meta);
    EXPECT_EQ(WithReportPolicy("<head>\n<title>t</title>"), "<head>\n" + meta + "\n<title>t</title>");
    EXPECT_EQ(WithReportPolicy("<p>x</p>"), meta + "\n<p>x</p>");
}

TEST(HtmlTextTest, KeepsTheDataFromClosingItsScriptElement) {
    const TextCase cases[] = {
        {"no <", "[\"a>b\"]", "[\"a>b\"]"},
        {"end tag", "[\"</script><script>x\"]", "[\"\\u003c/script>\\u003cscript>x\"]"},
        {"comment", "[\"<!--\"]", "[\"\\u003c!--\"]"},
    };
    for (const TextCase& c : cases) EXPECT_EQ(JsonForScript(c.input), c.expected) << c.name;
}

// The policy source of a script as a browser computes it: base64 of the SHA-256 of its bytes.
std::string PythonHash(std::string_view script) {
    const test::TempDir dir;
    test::WriteFileBytes(dir / "script.js", script);
    test::WriteFileBytes(dir / "hash.py",
                         "import base64, hashlib, sys\n"
                         "digest = hashlib.sha256(open(sys.argv[1], 'rb').read()).digest()\n"
                         "open(sys.argv[2], 'w').write('sha256-' + base64.b64encode(digest).decode())\n");
    const std::string command =
        "/usr/bin/python3 " + (dir / "hash.py").string() + " " + (dir / "script.js").string() + " " + (dir / "hash.txt").string();
    if (std::system(command.c_str()) != 0) return "python3 failed";
    return test::ReadFileBytes(dir / "hash.txt");
}

TEST(HtmlTextTest, TheBuildHashesEachScriptAsABrowserDoes) {
    EXPECT_EQ(PythonHash(archive_assets::kIndexScript), archive_assets::kIndexScriptHash);
    EXPECT_EQ(PythonHash(archive_assets::kFilterScript), archive_assets::kFilterScriptHash);
    EXPECT_TRUE(archive_assets::kIndexScript.starts_with("\n(function () {"));
}

}  // namespace
}  // namespace tavolex
