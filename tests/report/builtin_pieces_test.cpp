#include "resources/builtin_pieces.h"

#include "platform/platform.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tavolex {
namespace {

std::string_view Text(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::string PieceFile(int id) {
    return test::ReadFileBytes(std::string(TAVOLEX_PIECE_DIR) + "/" + std::to_string(id) + ".htm");
}

TEST(BuiltInPiecesTest, LoadingOrderHoldsEachPieceOnce) {
    std::set<int> ids(kBuiltInPieceOrder.begin(), kBuiltInPieceOrder.end());
    EXPECT_EQ(ids.size(), kBuiltInPieceCount);
    EXPECT_EQ(*ids.begin(), 219);
    EXPECT_EQ(*ids.rbegin(), 252);
    EXPECT_EQ(ids.count(250), 0u);
}

TEST(BuiltInPiecesTest, EveryPieceIsTheBytesOfItsFile) {
    const BuiltInPieces pieces;
    for (int id : kBuiltInPieceOrder) {
        SCOPED_TRACE(id);
        const std::string file = PieceFile(id);
        ASSERT_FALSE(file.empty());
        const auto piece = BuiltInPiece(id);
        EXPECT_EQ(piece.size(), file.size());
        EXPECT_EQ(Text(piece), file);
        // The same bytes of the program image every time, kept by the loaded set too.
        EXPECT_EQ(BuiltInPiece(id).data(), piece.data());
        EXPECT_EQ(pieces.Get(id).data(), piece.data());
        EXPECT_EQ(pieces.Get(id).size(), piece.size());
    }
}

TEST(BuiltInPiecesTest, UnknownIdsAreEmpty) {
    const BuiltInPieces pieces;
    // 220 + 65536 would name resource 220 if the id were cut to 16 bits.
    for (int id : {250, 0, 218, 253, -1, -220, 220 + 65536}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(BuiltInPiece(id).empty());
        EXPECT_TRUE(pieces.Get(id).empty());
    }
}

TEST(BuiltInPiecesTest, NamePiecesAreExactBytes) {
    EXPECT_EQ(Text(BuiltInPiece(kPieceAuthor)), "{ AUTHOR } ");
    EXPECT_EQ(Text(BuiltInPiece(kPieceFirstName)), "{ FIRST_NAME }&nbsp;");
    EXPECT_EQ(Text(BuiltInPiece(kPieceLastName)), "{ LAST_NAME }");
    EXPECT_EQ(Text(BuiltInPiece(kPieceNameLineEnd)), "</b></font><br>");
    const std::string indent(30, ' ');
    EXPECT_EQ(Text(BuiltInPiece(kPieceTitleLine)),
              indent + "<font color=\"{ STATUS(black,white) }\" size=1>{ SALUTATION }&nbsp;</font><br>\r\n");
    EXPECT_EQ(Text(BuiltInPiece(kPieceCompanyLine)),
              indent + "<font color=\"{ STATUS(black,white) }\" size=1>{ COMPANY }&nbsp;</font>\r\n");
}

TEST(BuiltInPiecesTest, HeadingsJoinAcrossPieces) {
    for (int head : {kPieceReportHead, kPieceAgendaReportHead}) {
        EXPECT_TRUE(Text(BuiltInPiece(head)).ends_with("<br>(")) << head;
    }
    for (int tail : {kPieceMeetingTable, kPieceAgendaReportBody}) {
        EXPECT_TRUE(Text(BuiltInPiece(tail)).starts_with(" { REPORT_DATE })")) << tail;
    }
    EXPECT_TRUE(Text(BuiltInPiece(kPieceAttendeesStart))
                    .ends_with("<font color=\"{ STATUS(black,white) }\" size=2><b>"));
}

// Code page 932 text: every lead byte has its trail byte, and no trail byte is a brace or a
// backslash, so no character can be read as part of a token or an escape.
bool IsSafeCp932(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool lead = (byte >= 0x81 && byte <= 0x9f) || (byte >= 0xe0 && byte <= 0xfc);
        if (!lead) {
            if (byte >= 0x80 && (byte < 0xa1 || byte > 0xdf)) return false;
            continue;
        }
        if (++i == text.size()) return false;
        const auto trail = static_cast<unsigned char>(text[i]);
        if (trail < 0x40 || trail == 0x7f || trail > 0xfc) return false;
        if (trail == '{' || trail == '}' || trail == '\\') return false;
    }
    return true;
}

TEST(BuiltInPiecesTest, EveryPieceIsCp932WithCrLfLineEnds) {
    for (int id : kBuiltInPieceOrder) {
        SCOPED_TRACE(id);
        const std::string_view text = Text(BuiltInPiece(id));
        EXPECT_TRUE(IsSafeCp932(text));
        const std::string utf8 = platform::Cp932ToUtf8(text);
        EXPECT_EQ(utf8.find("\xEF\xBF\xBD"), std::string::npos);  // U+FFFD: not convertible
        EXPECT_EQ(platform::Utf8ToCp932(utf8), text);
        EXPECT_EQ(text.find('\0'), std::string_view::npos);
        EXPECT_EQ(text.find('\t'), std::string_view::npos);
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n') {
                EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
            }
            if (text[i] == '\r') {
                EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR at " << i;
            }
        }
    }
}

struct PieceTokens {
    int id;
    std::vector<std::string_view> tokens;  // UTF-8
};

const std::vector<PieceTokens>& TokenTable() {
    static const std::vector<PieceTokens> table = {
        {220, {"{ TITLE }", "{ SET_COLOR1(#6495ED) }", "{ COLOR1 }", "エグゼクティブ レポート", "MS ゴシック",
               "charset=shift_jis", "Tavolex Meeting"}},
        {249, {"{ TITLE }", "{ SET_COLOR1(#778899) }", "{ COLOR1 }", "議題", "charset=shift_jis"}},
        {252, {"{ REPORT_DATE }", "{ COLOR1 }", "{ TITLE }", "{ LOCATION }", "{ DATE }", "{ TIME }", "タイトル",
               "場所", "日付", "時刻"}},
        {248, {"{ REPORT_DATE }", "{ COLOR1 }", "{ TITLE }", "{ LOCATION }", "{ DATE }", "{ TIME }",
               "{ AGENDAS_PROLOG }", "{ AGENDAS_BEGIN }", "{ AGENDA_FIRST_LINE }", "{ AGENDA_BODY }",
               "{ AGENDAS_END }", "{ AGENDAS_EPILOG }", "議題", "</html>"}},
        {219, {"{ AGENDAS_PROLOG }", "{ AGENDAS_BEGIN }", "<li type=\"{ STATUS(disc,circle) }\">",
               "{ AGENDA_FIRST_LINE }", "{ AGENDA_BODY }", "{ AGENDAS_END }", "{ AGENDAS_EPILOG }", "討論済",
               "未討論"}},
        {223, {"{ TODOS_PROLOG }", "{ SET_COLOR1(#ADD8E6) }", "{ COLOR1 }", "{ SET_COLOR1(white) }",
               "{ SET_COLOR2(#F5F5F5) }", "{ TODOS_BEGIN }", "{ DUE_DATE }&nbsp;{ DUE_TIME }", "{ PRIORITY }",
               "{ STATUS(O,X) }", "{ TODO_FIRST_LINE }", "{ TODO_BODY }&nbsp;", "{ SWAP_COLORS }",
               "{ TODOS_END }", "{ TODOS_EPILOG }", "ToDo アイテム", "最終期限", "優先度", "終了", "タスク"}},
        {224, {"{ NOTES_PROLOG }", "{ NOTES_BEGIN }", "<li>{ NOTE }<br><br>", "{ NOTES_END }",
               "{ NOTES_EPILOG }", "メモ"}},
        {225, {"{ SKETCHES_PROLOG }", "{ SKETCHES_BEGIN }", "<img border=1 src=\"{ SKETCH_FILENAME }\">",
               "{ COUNT }. { SKETCH_TITLE }", "{ SKETCHES_END }", "{ SKETCHES_EPILOG }", "スケッチ"}},
        {226, {"{ ATTENDEES_PROLOG }", "{ ATTENDEES_BEGIN }", "{ STATUS(silver,gray) }",
               "{ STATUS(white,silver) }", "{ STATUS(black,white) }", "出席者"}},
        {244, {"{ STATUS(,<font size=1 color=\"gray\">欠席</font>) }", "{ ATTENDEES_END }",
               "{ ATTENDEES_EPILOG }"}},
        {221, {"Tavolex Meeting", "target=\"_blank\"", "</html>"}},
        {222, {"Author:", "{AUTHOR}"}},
        {228, {"State:", "{STATE}"}},
        {229, {"Zip Code:", "{ZIPCODE}"}},
        {230, {"Country:", "{COUNTRY}"}},
        {231, {"Note:", "{NOTE}"}},
        {232, {"Custom 1:", "{CUSTOM1}"}},
        {233, {"Custom 2:", "{CUSTOM2}"}},
        {234, {"Custom 3:", "{CUSTOM3}"}},
        {235, {"Custom 4:", "{CUSTOM4}"}},
        {237, {"{PHONELABEL1}:", "{PHONE1}"}},
        {238, {"{PHONELABEL2}:", "{PHONE2}"}},
        {239, {"{PHONELABEL3}:", "{PHONE3}"}},
        {240, {"{PHONELABEL4}:", "{PHONE4}"}},
        {241, {"{PHONELABEL5}:", "{PHONE5}"}},
        {242, {"Address:", "{ADDRESS}"}},
        {243, {"City:", "{CITY}"}},
    };
    return table;
}

TEST(BuiltInPiecesTest, TokensAreSpelledAsTheWriterExpects) {
    for (const PieceTokens& row : TokenTable()) {
        const std::string utf8 = platform::Cp932ToUtf8(Text(BuiltInPiece(row.id)));
        for (std::string_view token : row.tokens) {
            EXPECT_NE(utf8.find(token), std::string::npos) << row.id << ": " << token;
        }
    }
}

// Every other brace pair of a piece is a style rule (property: value). A misspelt token would be
// written back into the report as text, so none may hide among the markup.
TEST(BuiltInPiecesTest, NoOtherBracesThanTheListedTokens) {
    for (const PieceTokens& row : TokenTable()) {
        std::string utf8 = platform::Cp932ToUtf8(Text(BuiltInPiece(row.id)));
        for (std::string_view token : row.tokens) {
            for (std::size_t at; (at = utf8.find(token)) != std::string::npos;) utf8.erase(at, token.size());
        }
        for (std::size_t open = utf8.find('{'); open != std::string::npos; open = utf8.find('{', open + 1)) {
            const std::string_view rest = std::string_view(utf8).substr(open);
            const bool styleRule = rest.find(':') < rest.find('}');
            EXPECT_TRUE(styleRule) << row.id << ": " << rest.substr(0, rest.find('}') + 1);
        }
    }
}

}  // namespace
}  // namespace tavolex
