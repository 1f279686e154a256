#pragma once
// Character walking over Shift-JIS (code page 932) text: a lead byte and the byte after it are one
// character, so the second byte of a double-byte character is never taken for a character of its
// own. A lead byte with nothing after it counts as a character of one byte.
//
// Two readings of the byte after a lead byte: the handheld's texts take it whatever it is; paths and
// the panes take it only when it can end a double-byte character (0x40 ... 0xFC but 0x7F), so a
// '/' or a line feed after a stray lead byte stays a character of its own.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tavolex {

enum class TrailRule { kAnyByte, kTrailByteOnly };

[[nodiscard]] constexpr bool IsCp932LeadByte(std::uint8_t b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

[[nodiscard]] constexpr bool IsCp932TrailByte(std::uint8_t b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Bytes of the character that starts at offset (offset < text.size()).
[[nodiscard]] constexpr std::size_t Cp932CharWidth(std::string_view text, std::size_t offset,
                                                   TrailRule rule = TrailRule::kAnyByte) {
    if (offset + 1 >= text.size() || !IsCp932LeadByte(static_cast<std::uint8_t>(text[offset]))) return 1;
    if (rule == TrailRule::kTrailByteOnly && !IsCp932TrailByte(static_cast<std::uint8_t>(text[offset + 1]))) return 1;
    return 2;
}

// Byte offset of character index, or text.size() when the text has no such character.
[[nodiscard]] constexpr std::size_t Cp932CharOffset(std::string_view text, std::size_t index) {
    std::size_t offset = 0;
    for (; index > 0 && offset < text.size(); --index) offset += Cp932CharWidth(text, offset);
    return offset;
}

// The longest start of text of at most maxBytes bytes that ends on a character boundary.
[[nodiscard]] constexpr std::size_t Cp932FitLength(std::string_view text, std::size_t maxBytes,
                                                   TrailRule rule = TrailRule::kAnyByte) {
    if (text.size() <= maxBytes) return text.size();
    std::size_t offset = 0;
    while (offset < text.size()) {
        const std::size_t next = offset + Cp932CharWidth(text, offset, rule);
        if (next > maxBytes) break;
        offset = next;
    }
    return offset;
}

}  // namespace tavolex
