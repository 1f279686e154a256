#include "views/pane_text.h"

#include "base/shift_jis.h"

#include <algorithm>
#include <cstdint>

namespace tavolex {

std::string ItemDisplayText(std::string_view text, std::size_t limit) {
    std::string_view line = text.substr(0, text.find_first_of("\n\t"));
    if (line.size() < text.size() && text[line.size()] == '\n' && line.ends_with('\r')) line.remove_suffix(1);
    return std::string(line.substr(0, Cp932FitLength(line, limit, TrailRule::kTrailByteOnly)));
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
            consumed = Cp932CharWidth(text, offset, TrailRule::kTrailByteOnly);
            piece = text.substr(offset, consumed);
        }
        if (out.size() + piece.size() > limit) break;
        out += piece;
        offset += consumed;
    }
    return out;
}

}  // namespace tavolex
