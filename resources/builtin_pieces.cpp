#include "resources/builtin_pieces.h"

#include "resources/builtin_pieces_source.h"

#include <algorithm>

namespace tavolex {
namespace {

// Position of `id` in the loading order, or kBuiltInPieceCount.
std::size_t OrderIndex(int id) {
    const auto found = std::find(kBuiltInPieceOrder.begin(), kBuiltInPieceOrder.end(), id);
    return static_cast<std::size_t>(found - kBuiltInPieceOrder.begin());
}

}  // namespace

std::span<const std::uint8_t> BuiltInPiece(int id) {
    // Only the listed ids reach the platform's look-up, so every platform knows the same pieces
    // (a resource id is 16 bits wide, and other resources of the module are not pieces).
    if (OrderIndex(id) == kBuiltInPieceCount) return {};
    return detail::FindPieceBytes(id);
}

BuiltInPieces::BuiltInPieces() {
    for (std::size_t i = 0; i < kBuiltInPieceCount; ++i) pieces_[i] = BuiltInPiece(kBuiltInPieceOrder[i]);
}

std::span<const std::uint8_t> BuiltInPieces::Get(int id) const {
    const std::size_t index = OrderIndex(id);
    if (index == kBuiltInPieceCount) return {};
    return pieces_[index];
}

}  // namespace tavolex
