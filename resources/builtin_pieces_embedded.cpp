// The pieces compiled into the program as byte arrays (builtin_pieces_data.cpp, generated from
// resources/html/*.htm at build time by embed_pieces.cmake).

#include "resources/builtin_pieces_source.h"

namespace tavolex::detail {

std::span<const std::uint8_t> FindPieceBytes(int id) {
    for (const EmbeddedPiece& piece : EmbeddedPieces()) {
        if (piece.id == id) return piece.bytes;
    }
    return {};
}

}  // namespace tavolex::detail
