#include "report/template_scanner.h"

#include "report/token_table.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace tavolex {
namespace {

using Strings = std::vector<std::string>;

// Records every token it is handed; TITLE writes " T", unknown tokens are written back, and a test
// can script any other answer.
class RecordingScanner : public TemplateScanner {
public:
    TokenAction HandleToken() override {
        const int id = LookupToken();
        tokens.push_back(TokenText());
        ids.push_back(id);
        params.emplace_back(std::string(Parameter1()) + "|" + Parameter2());
        if (script) return script(id);
        if (id == kTokTitle) {
            WriteText(" T");
            return TokenAction::Consumed;
        }
        return id < 0 ? TokenAction::NotRecognised : TokenAction::Consumed;
    }

    std::string Expand(std::string_view templ, std::size_t capacity = 4096) {
        std::vector<char> out(capacity, 'X');
        const std::size_t n = ExpandTemplate(templ, out.data(), capacity);
        EXPECT_EQ(out[n], '\0');
        return std::string(out.data(), n);
    }

    Strings tokens;
    std::vector<int> ids;
    Strings params;
    std::function<TokenAction(int)> script;
};

// What each template expands to and the text of every token the scanner hands over.
TEST(TemplateScannerTest, ExpansionsAndTokenTexts) {
    const std::string css = "<style>body { color: black; } td {font-size: small}</style>";
    const std::string rtfGroup = "{\\rtf1 {\\b bold} \\{TITLE\\} \\{FOO\\} {TITLE}}";
    const std::string token253 = "{" + std::string(253, ' ') + "}";
    const std::string token254 = "{" + std::string(254, ' ') + "}";
    // Too long with its backslash, the second is a plain-brace token one byte later.
    const std::string rtf252 = "\\{" + std::string(252, 'a') + "}" + "\\{" + std::string(253, 'a') + "}";
    constexpr auto kHtml = ExpansionMode::Html;
    constexpr auto kRtf = ExpansionMode::Rtf;
    // ボ = 83 7B, マ = 83 7D, ソ = 83 5C, 表 = 95 5C, 会 = 89 EF in code page 932.
    const struct {
        ExpansionMode mode;
        std::string templ;
        std::string expected;
        Strings tokens;
        std::size_t capacity = 4096;
    } cases[] = {
        {kHtml, "<h1>{ TITLE }</h1>{title}{ ti tle }{TITLES}", "<h1> T</h1> T T{TITLES}", {" TITLE ", "title", " ti tle ", "TITLES"}},
        {kHtml, css, css, {" color: black; ", "font-size: small"}},
        {kRtf, rtfGroup, "{\\rtf1 {\\b bold}  T \\{FOO\\}  T}", {"\\b bold", "TITLE", "FOO", "TITLE"}},
        {kHtml, "a { b { TITLE } c", "a { b  T c", {" TITLE "}},
        {kHtml, "{ TITLE\x83", "{ TITLE\x83", {}},  // never closed, and a lead byte last
        {kHtml, token253, token253, {std::string(253, ' ')}},
        {kHtml, token254, token254, {}},
        {kRtf, rtf252, rtf252, {std::string(252, 'a'), std::string(253, 'a')}},
        {kHtml, "\x83\x7b{ TITLE }\x83\x7d", "\x83\x7b T\x83\x7d", {" TITLE "}},
        {kHtml, "{\x83\x7d}", "{\x83\x7d}", {"\x83\x7d"}},
        // The trail backslash stays part of its character.
        {kRtf, "\x95\x5c{TITLE}\x83\x5c{TITLE\x83\x5c}", "\x95\x5c T\x83\x5c{TITLE\x83\x5c}", {"TITLE", "TITLE\x83\x5c"}},
        // The output stops with room for the NUL, and never after half a character.
        {kHtml, "abcdef", "abc", {}, 4},
        {kHtml, "ab{ TITLE }", "ab ", {" TITLE "}, 4},
        {kHtml, "a\x89\xef", "a", {}, 3},
        {kHtml, "abc", "", {}, 1},
        // Long runs of the template's own text: a brace, a backslash or a double-byte character
        // anywhere in an eight-byte stretch, and a cut in the middle of a run.
        {kHtml,
         "abcdefg\x83\x7bhijklmnopqrstuvw{ TITLE }xyz0123456789ab\x95\x5c{TITLE}c",
         "abcdefg\x83\x7bhijklmnopqrstuvw Txyz0123456789ab\x95\x5c Tc",
         {" TITLE ", "TITLE"}},
        {kRtf,
         "abcdefghij\\par klmnopqrstuvwxyz\\{TITLE\\}0123456789{x}",
         "abcdefghij\\par klmnopqrstuvwxyz T0123456789{x}",
         {"TITLE", "x"}},
        {kHtml, std::string(20, 'a') + "\x89\xef" + "bbbbbbbb", std::string(20, 'a'), {}, 22},
        {kHtml, "abcdefgh\x83{TITLE}x", "abcdefgh\x83{TITLE}x", {}},
        {kRtf, "abcdefgh\\{TITLE\\}", "abcdefgh T", {"TITLE"}},
    };
    // Compiled or read as it goes, and compiled a second time from the kept copy.
    for (const bool compiling : {true, false}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.templ.substr(0, 60));
            RecordingScanner s;
            s.SetCompiling(compiling);
            s.SetMode(c.mode);
            EXPECT_EQ(s.Expand(c.templ, c.capacity), c.expected);
            EXPECT_EQ(s.Expand(c.templ, c.capacity), c.expected);
            if (!c.tokens.empty()) {
                EXPECT_EQ(s.TokenText(), c.tokens.back());
            }
            Strings twice = c.tokens;
            twice.insert(twice.end(), c.tokens.begin(), c.tokens.end());
            EXPECT_EQ(s.tokens, twice);
        }
    }
}

// A scanner keeps compiled templates by their text and mode: the same bytes at another address are
// found again, other bytes of the same size or another mode are not taken for them, and more
// templates than it keeps still expand right.
TEST(TemplateScannerTest, KeptTemplatesMatchTextAndMode) {
    RecordingScanner s;
    std::string buffer = "<{TITLE}>\\{TITLE\\}";
    EXPECT_EQ(s.Expand(buffer), "< T>\\{TITLE\\}");
    buffer = "<{TITLE}}\\{TITLE\\}";  // same size, same address, other bytes
    EXPECT_EQ(s.Expand(buffer), "< T}\\{TITLE\\}");
    s.SetMode(ExpansionMode::Rtf);
    EXPECT_EQ(s.Expand(buffer), "< T} T");
    s.SetMode(ExpansionMode::Html);
    const std::string copy = buffer;
    EXPECT_EQ(s.Expand(copy), "< T}\\{TITLE\\}");
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 40; ++i) {
            const std::string n = std::to_string(i);
            EXPECT_EQ(s.Expand(n + "{TITLE}" + n), n + " T" + n);
        }
    }
}

TEST(TemplateScannerTest, TokenLookupAndParameters) {
    RecordingScanner s;
    s.Expand(
        "{ STATUS(disc,circle) }{ set_colour1( red ) }{STATUS(,<font color=\"gray\">absent</font>)}{ STATUS( , ) }"
        "{STATUS(a)}{STATUS(a,b}{SET_COLOR1}{}{ }{\tTITLE}{NOTE_BODY}{NOTE}{agenda}");
    EXPECT_EQ(s.ids, (std::vector<int>{kTokStatus, kTokSetColor1, kTokStatus, kTokStatus, -1, -1, -1, -1, -1, -1, kTokNoteBody, kTokNote,
                                       kTokAgenda}));
    s.params.resize(4);
    EXPECT_EQ(s.params, (Strings{"disc|circle", "red |", "|<font color=\"gray\">absent</font>", "|"}));
}

// The same token text met again gets the same answer and parameters, however many other texts
// came between.
TEST(TemplateScannerTest, RepeatedTokensKeepTheirAnswers) {
    RecordingScanner s;
    std::string templ = "{STATUS(a,b)}{TITLE}{STATUS(c,)}";
    for (int i = 0; i < 300; ++i) templ += "{X" + std::to_string(i) + "}";
    templ += "{STATUS(a,b)}{TITLE}{STATUS(c,)}";
    templ.append("{TITLE\0x}", 9);  // read up to its NUL: TITLE
    s.Expand(templ);
    ASSERT_EQ(s.ids.size(), 307u);
    const std::vector<int> ends(s.ids.end() - 4, s.ids.end());
    EXPECT_EQ(ends, (std::vector<int>{kTokStatus, kTokTitle, kTokStatus, kTokTitle}));
    const Strings params(s.params.end() - 4, s.params.end() - 1);
    EXPECT_EQ(params, (Strings{"a|b", "|", "c|"}));
    EXPECT_EQ(s.ids[300], -1);
}

TEST(TemplateScannerTest, LoopsRepeatAndExit) {
    RecordingScanner s;
    int rounds = 3;
    s.script = [&](int id) {
        if (id == kTokNotesBegin) return TokenAction::LoopStart;
        if (id == kTokNotesEnd) return --rounds > 0 ? TokenAction::LoopRepeat : TokenAction::LoopExit;
        if (id == kTokNotesProlog) return TokenAction::OutputOff;
        if (id == kTokNotesEpilog) return TokenAction::OutputOn;
        return TokenAction::Consumed;
    };
    EXPECT_EQ(s.Expand("<{NOTES_BEGIN}x{NOTES_END}>"), "<xxx>");
    EXPECT_EQ(s.LoopDepth(), 0);
    rounds = 1;
    EXPECT_EQ(s.Expand("a{NOTES_PROLOG}b{NOTES_BEGIN}c{NOTES_END}d{NOTES_EPILOG}e"), "ae");
    // The loop stack holds ten positions and ignores more.
    s.script = [](int id) { return id == kTokNotesBegin ? TokenAction::LoopStart : TokenAction::LoopExit; };
    std::string begins, ends;
    for (int i = 0; i < 12; ++i) begins += "{NOTES_BEGIN}", ends += "{NOTES_END}";
    s.Expand(begins);
    EXPECT_EQ(s.LoopDepth(), kLoopStackDepth);
    s.Expand(ends);
    EXPECT_EQ(s.LoopDepth(), 0);
    // An endless loop with the output off still ends.
    s.script = [](int id) {
        if (id == kTokNotesProlog) return TokenAction::OutputOff;
        return id == kTokNotesBegin ? TokenAction::LoopStart : TokenAction::LoopRepeat;
    };
    EXPECT_EQ(s.Expand("{NOTES_PROLOG}{NOTES_BEGIN}" + std::string(4096, 'x') + "{NOTES_END}"), "");
}

// A token's text is cut at the capacity like the template's; an empty text without bytes (an
// attendee without a company part, a fuzzer's finding) writes nothing.
TEST(TemplateScannerTest, TokenTextsWrittenWhole) {
    RecordingScanner s;
    std::string_view text = "ab\x89\xef";
    s.script = [&](int) {
        s.WriteText(text);
        return TokenAction::Consumed;
    };
    EXPECT_EQ(s.Expand("{ TITLE }", 4), "ab");
    text = std::string_view{};
    EXPECT_EQ(s.Expand("a{ TITLE }b"), "ab");
}

// Lines first..last of a multi-line value, line 1 starting with a blank, TAB and LF as markup.
TEST(WriteLinesTest, HtmlAndRtfLineRanges) {
    const std::string nbsp8 = "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;";
    const struct {
        ExpansionMode mode;
        std::string_view text;
        int first;
        int last;
        std::string expected;
    } cases[] = {
        {ExpansionMode::Html, "a\nb\tc", 1, 10000, " a<br>b" + nbsp8 + "c"},
        {ExpansionMode::Html, "a\nb\tc", 1, 1, " a"},
        {ExpansionMode::Html, "a\nb\tc", 2, 10000, "<br>b" + nbsp8 + "c"},
        {ExpansionMode::Html, "a\r\nb", 1, 10000, " a\r<br>b"},
        {ExpansionMode::Html, "", 1, 10000, " "},
        {ExpansionMode::Html, std::string_view{}, 1, 10000, " "},  // a value without bytes at all
        {ExpansionMode::Html, "one line", 2, 10000, ""},
        {ExpansionMode::Rtf, "a\nb\tc", 2, 10000, " \\line b \\tab c"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        RecordingScanner s;
        s.SetMode(c.mode);
        s.script = [&](int) {
            s.WriteLines(c.text, c.first, c.last);
            return TokenAction::Consumed;
        };
        EXPECT_EQ(s.Expand("{X}"), c.expected);
    }
}

}  // namespace
}  // namespace tavolex
