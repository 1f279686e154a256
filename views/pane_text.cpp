#include "views/pane_text.h"

#include "address_book/cp932_text.h"

#include <algorithm>
#include <cstdint>

namespace tavolex {

std::size_t PaneCharWidth(std::string_view text, std::size_t offset) {
    if (offset + 1 >= text.size() || !IsCp932LeadByte(static_cast<std::uint8_t>(text[offset]))) return 1;
    const auto trail = static_cast<std::uint8_t>(text[offset + 1]);
    return trail >= 0x40 && trail <= 0xFC && trail != 0x7F ? 2 : 1;
}

std::size_t PaneFitLength(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text.size();
    std::size_t offset = 0;
    while (offset < text.size()) {
        const std::size_t next = offset + PaneCharWidth(text, offset);
        if (next > limit) break;
        offset = next;
    }
    return offset;
}

std::string ItemDisplayText(std::string_view text, std::size_t limit) {
    std::string_view line = text.substr(0, text.find_first_of("\n\t"));
    if (line.size() < text.size() && text[line.size()] == '\n' && line.ends_with('\r')) line.remove_suffix(1);
    return std::string(line.substr(0, PaneFitLength(line, limit)));
}

std::string ExpandLineFeeds(std::string_view text, std::size_t limit) {
    std::string out;
    out.reserve(std::min(limit, text.size() + text.size() / 8));
    std::size_t offset = 0;
    while (offset < text.size()) {
        std::string_view piece;
        std::size_t consumed = 0;
        if (text[offset] == '\n') {
            piece = "\r\n";
            consumed = 1;
        } else if (text.substr(offset, 2) == "\r\n") {
            piece = "\r\n";
            consumed = 2;
        } else {
            consumed = PaneCharWidth(text, offset);
            piece = text.substr(offset, consumed);
        }
        if (out.size() + piece.size() > limit) break;
        out += piece;
        offset += consumed;
    }
    return out;
}

}  // namespace tavolex
