#include "report/template_scanner.h"

#include "report/token_table.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace tavolex {
namespace {

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

    std::vector<std::string> tokens;
    std::vector<int> ids;
    std::vector<std::string> params;
    std::function<TokenAction(int)> script;
};

TEST(TemplateScannerTest, TokenNamesIgnoreCaseAndBlanks) {
    RecordingScanner s;
    EXPECT_EQ(s.Expand("<h1>{ TITLE }</h1>{title}{ ti tle }{TITLES}"), "<h1> T</h1> T T{TITLES}");
    EXPECT_EQ(s.ids, (std::vector<int>{kTokTitle, kTokTitle, kTokTitle, -1}));
    EXPECT_EQ(s.tokens[0], " TITLE ");
}

TEST(TemplateScannerTest, ParametersAreCapturedVerbatim) {
    RecordingScanner s;
    s.Expand("{ STATUS(disc,circle) }{ set_colour1( red ) }{STATUS(,<font color=\"gray\">absent</font>)}{ STATUS( , ) }");
    EXPECT_EQ(s.ids, (std::vector<int>{kTokStatus, kTokSetColor1, kTokStatus, kTokStatus}));
    EXPECT_EQ(s.params, (std::vector<std::string>{"disc|circle", "red |", "|<font color=\"gray\">absent</font>", "|"}));
}

TEST(TemplateScannerTest, UnknownAndMalformedTokensDoNotMatch) {
    RecordingScanner s;
    s.Expand("{STATUS(a)}{STATUS(a,b}{SET_COLOR1}{}{ }{\tTITLE}{NOTE_BODY}{NOTE}");
    EXPECT_EQ(s.ids, (std::vector<int>{-1, -1, -1, -1, -1, -1, kTokNoteBody, kTokNote}));
}

TEST(TemplateScannerTest, StyleSheetAndRtfGroupsPassThrough) {
    RecordingScanner s;
    const std::string css = "<style>body { color: black; } td {font-size: small}</style>";
    EXPECT_EQ(s.Expand(css), css);
    RecordingScanner rtf;
    rtf.SetMode(ExpansionMode::Rtf);
    const std::string group = "{\\rtf1 {\\b bold} \\{TITLE\\} \\{FOO\\} {TITLE}}";
    EXPECT_EQ(rtf.Expand(group), "{\\rtf1 {\\b bold}  T \\{FOO\\}  T}");
    EXPECT_EQ(rtf.tokens[1], "TITLE");  // backslash before the closing brace removed
}

TEST(TemplateScannerTest, UnclosedAndNestedBracesAreText) {
    RecordingScanner s;
    EXPECT_EQ(s.Expand("a { b { TITLE } c"), "a { b  T c");
    EXPECT_EQ(s.Expand("{ TITLE"), "{ TITLE");
}

TEST(TemplateScannerTest, TokenLengthLimit) {
    RecordingScanner s;
    const std::string ok = "{" + std::string(253, ' ') + "}";
    const std::string tooLong = "{" + std::string(254, ' ') + "}";
    EXPECT_EQ(s.Expand(ok), ok);  // a token, unknown, written back
    EXPECT_EQ(s.ids, std::vector<int>{-1});
    s.ids.clear();
    s.Expand(tooLong);
    EXPECT_TRUE(s.ids.empty());
    EXPECT_EQ(s.Expand(tooLong), tooLong);

    RecordingScanner rtf;
    rtf.SetMode(ExpansionMode::Rtf);
    const std::string rtf252 = "\\{" + std::string(252, 'a') + "}";
    const std::string rtf253 = "\\{" + std::string(253, 'a') + "}";
    // Too long with its backslash, the second is a plain-brace token one byte later.
    EXPECT_EQ(rtf.Expand(rtf252 + rtf253), rtf252 + rtf253);
    ASSERT_EQ(rtf.tokens.size(), 2u);
    EXPECT_EQ(rtf.tokens[0].size(), 252u);
    EXPECT_EQ(rtf.tokens[1].size(), 253u);
}

TEST(TemplateScannerTest, DoubleByteCharactersAreNeverBracesOrEscapes) {
    // ボ = 83 7B, マ = 83 7D, ソ = 83 5C, 表 = 95 5C in code page 932.
    RecordingScanner s;
    EXPECT_EQ(s.Expand("\x83\x7b{ TITLE }\x83\x7d"), "\x83\x7b T\x83\x7d");
    EXPECT_EQ(s.Expand("{\x83\x7d}"), "{\x83\x7d}");
    EXPECT_EQ(s.tokens.back(), "\x83\x7d");
    RecordingScanner rtf;
    rtf.SetMode(ExpansionMode::Rtf);
    EXPECT_EQ(rtf.Expand("\x95\x5c{TITLE}\x83\x5c{TITLE\x83\x5c}"), "\x95\x5c T\x83\x5c{TITLE\x83\x5c}");
    EXPECT_EQ(rtf.tokens.back(), "TITLE\x83\x5c");  // the trail backslash stays part of its character
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
}

TEST(TemplateScannerTest, LoopStackHoldsTenAndIgnoresMore) {
    RecordingScanner s;
    s.script = [](int id) { return id == kTokNotesBegin ? TokenAction::LoopStart : TokenAction::LoopExit; };
    std::string many;
    for (int i = 0; i < 12; ++i) many += "{NOTES_BEGIN}";
    s.Expand(many);
    EXPECT_EQ(s.LoopDepth(), kLoopStackDepth);
    std::string exits;
    for (int i = 0; i < 12; ++i) exits += "{NOTES_END}";
    s.Expand(exits);
    EXPECT_EQ(s.LoopDepth(), 0);
}

TEST(TemplateScannerTest, EndlessLoopWithOutputOffStillEnds) {
    RecordingScanner s;
    s.script = [](int id) {
        if (id == kTokNotesProlog) return TokenAction::OutputOff;
        if (id == kTokNotesBegin) return TokenAction::LoopStart;
        return TokenAction::LoopRepeat;
    };
    EXPECT_EQ(s.Expand("{NOTES_PROLOG}{NOTES_BEGIN}" + std::string(4096, 'x') + "{NOTES_END}"), "");
}

TEST(TemplateScannerTest, OutputStopsAtCapacityWithRoomForNul) {
    RecordingScanner s;
    EXPECT_EQ(s.Expand("abcdef", 4), "abc");
    EXPECT_EQ(s.Expand("ab{ TITLE }", 4), "ab ");
    EXPECT_EQ(s.Expand("a\x89\xef", 3), "a");  // no half character
    EXPECT_EQ(s.Expand("abc", 1), "");
    s.script = [&s](int) {
        s.WriteText("ab\x89\xef");
        return TokenAction::Consumed;
    };
    EXPECT_EQ(s.Expand("{ TITLE }", 4), "ab");  // nor from a token's text
}

TEST(TemplateScannerTest, EmptyTextWithoutBytesWritesNothing) {
    // An attendee without a company part gives a text with no data pointer (a fuzzer's finding).
    RecordingScanner s;
    s.script = [&s](int) {
        s.WriteText(std::string_view{});
        return TokenAction::Consumed;
    };
    EXPECT_EQ(s.Expand("a{ TITLE }b"), "ab");
}

class LinesScanner : public TemplateScanner {
public:
    std::string Lines(std::string_view text, int first, int last) {
        char out[512];
        SetOutputOn(true);
        ExpandTemplate("{X}", out, sizeof out);
        text_ = text;
        first_ = first;
        last_ = last;
        ExpandTemplate("{X}", out, sizeof out);
        return out;
    }
    TokenAction HandleToken() override {
        WriteLines(text_, first_, last_);
        return TokenAction::Consumed;
    }

private:
    std::string_view text_;
    int first_ = 1;
    int last_ = 1;
};

TEST(WriteLinesTest, HtmlAndRtfLineRanges) {
    LinesScanner s;
    const std::string nbsp8 = "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;";
    EXPECT_EQ(s.Lines("a\nb\tc", 1, 10000), " a<br>b" + nbsp8 + "c");
    EXPECT_EQ(s.Lines("a\nb\tc", 1, 1), " a");
    EXPECT_EQ(s.Lines("a\nb\tc", 2, 10000), "<br>b" + nbsp8 + "c");
    EXPECT_EQ(s.Lines("a\r\nb", 1, 10000), " a\r<br>b");
    EXPECT_EQ(s.Lines("", 1, 10000), " ");
    EXPECT_EQ(s.Lines("one line", 2, 10000), "");
    s.SetMode(ExpansionMode::Rtf);
    EXPECT_EQ(s.Lines("a\nb\tc", 2, 10000), " \\line b \\tab c");
}

}  // namespace
}  // namespace tavolex
