#pragma once
// Character walking over code page 932 text: a lead byte and the byte after it are one character,
// so the second byte of a double-byte character is never taken for a character of its own. A lead
// byte with nothing after it counts as a character of one byte.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tavolex {

[[nodiscard]] constexpr bool IsCp932LeadByte(std::uint8_t b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Bytes of the character that starts at offset (offset < text.size()).
[[nodiscard]] constexpr std::size_t Cp932CharWidth(std::string_view text, std::size_t offset) {
    return IsCp932LeadByte(static_cast<std::uint8_t>(text[offset])) && offset + 1 < text.size() ? 2 : 1;
}

// Byte offset of character index, or text.size() when the text has no such character.
[[nodiscard]] constexpr std::size_t Cp932CharOffset(std::string_view text, std::size_t index) {
    std::size_t offset = 0;
    for (; index > 0 && offset < text.size(); --index) offset += Cp932CharWidth(text, offset);
    return offset;
}

// The longest start of text of at most maxBytes bytes that ends on a character boundary.
[[nodiscard]] constexpr std::size_t Cp932FitLength(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text.size();
    std::size_t offset = 0;
    while (offset < text.size()) {
        const std::size_t next = offset + Cp932CharWidth(text, offset);
        if (next > maxBytes) break;
        offset = next;
    }
    return offset;
}

}  // namespace tavolex
