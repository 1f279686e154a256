#pragma once
// Where the bytes of the built-in pieces come from: the module's HTML resources on Windows
// (builtin_pieces_win32.cpp), the bytes compiled into the program elsewhere
// (builtin_pieces_embedded.cpp and the generated builtin_pieces_data.cpp).

#include <cstdint>
#include <span>

namespace tavolex::detail {

// The bytes of piece `id` as the program image holds them; empty when it holds none.
[[nodiscard]] std::span<const std::uint8_t> FindPieceBytes(int id);

// One compiled-in piece (not on Windows).
struct EmbeddedPiece {
    int id;
    std::span<const std::uint8_t> bytes;
};

// Every compiled-in piece (not on Windows).
[[nodiscard]] std::span<const EmbeddedPiece> EmbeddedPieces();

}  // namespace tavolex::detail
