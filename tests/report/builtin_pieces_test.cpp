#include "resources/builtin_pieces.h"

#include "platform/platform.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <string_view>

namespace tavolex {
namespace {

std::string_view Text(std::span<const std::uint8_t> bytes) { return {reinterpret_cast<const char*>(bytes.data()), bytes.size()}; }

// The embedded pieces are the bytes of their files (which make_pieces.py checks against their
// sources), the same bytes every time; ids outside the set are empty.
TEST(BuiltInPiecesTest, EveryPieceIsTheBytesOfItsFile) {
    const BuiltInPieces pieces;
    for (int id : kBuiltInPieceOrder) {
        SCOPED_TRACE(id);
        const auto piece = BuiltInPiece(id);
        EXPECT_EQ(Text(piece), test::ReadFileBytes(std::string(TAVOLEX_PIECE_DIR) + "/" + std::to_string(id) + ".htm"));
        EXPECT_EQ(pieces.Get(id).data(), piece.data());
        EXPECT_EQ(pieces.Get(id).size(), piece.size());
    }
    // 220 + 65536 would name resource 220 if the id were cut to 16 bits.
    for (int id : {250, 0, 218, 253, -1, -220, 220 + 65536}) {
        EXPECT_TRUE(BuiltInPiece(id).empty()) << id;
        EXPECT_TRUE(pieces.Get(id).empty()) << id;
    }
}

// Code page 932 text in which every brace pair is a token or a style rule: a misspelt token would be
// written into the report as text. (That no trail byte is a brace or a backslash, and that lines end
// in CR LF, make_pieces.py --check proves of the sources these pieces must equal.)
TEST(BuiltInPiecesTest, EveryPieceIsCp932WithWellFormedTokens) {
    static const std::regex token(R"(\{ ?[A-Z0-9_]+(\([^()]*\))? ?\}|\{[^{}]*:[^{}]*\})");
    for (int id : kBuiltInPieceOrder) {
        SCOPED_TRACE(id);
        const std::string text(Text(BuiltInPiece(id)));
        EXPECT_EQ(platform::Utf8ToCp932(platform::Cp932ToUtf8(text)), text);
        const std::string rest = std::regex_replace(text, token, "");
        EXPECT_EQ(rest.find_first_of("{}"), std::string::npos) << rest.substr(rest.find_first_of("{}"), 40);
    }
}

}  // namespace
}  // namespace tavolex
