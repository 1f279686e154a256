#include "views/pane_sort.h"

#include "base/ascii.h"
#include "base/shift_jis.h"
#include "views/pane_text.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <utility>

namespace tavolex {
namespace {

std::uint8_t Folded(std::uint8_t b) { return static_cast<std::uint8_t>(LowerAscii(static_cast<char>(b))); }

// Walks one text byte by byte, knowing which bytes end a double-byte character.
class FoldingCursor {
public:
    explicit FoldingCursor(std::string_view text) : text_(text) {}

    [[nodiscard]] bool AtEnd() const { return offset_ >= text_.size(); }
    // Whether the bytes read so far end inside a double-byte character.
    [[nodiscard]] bool InsideCharacter() const { return offset_ < charEnd_; }
    // The current byte as compared, then steps past it.
    std::uint8_t Next() {
        const auto b = static_cast<std::uint8_t>(text_[offset_]);
        const bool trail = offset_ < charEnd_;
        if (!trail) charEnd_ = offset_ + Cp932CharWidth(text_, offset_, TrailRule::kTrailByteOnly);
        ++offset_;
        return trail ? b : Folded(b);
    }

private:
    std::string_view text_;
    std::size_t offset_ = 0;
    std::size_t charEnd_ = 0;  // the end of the character the last byte read began
};

// Writes the text's bytes as a FoldingCursor reads them: the second byte of a double-byte character
// as it is, every other byte folded.
void Fold(std::string_view text, char* out) {
    for (std::size_t k = 0; k < text.size();) {
        const std::size_t width = Cp932CharWidth(text, k, TrailRule::kTrailByteOnly);
        out[k] = LowerAscii(text[k]);
        if (width == 2) out[k + 1] = text[k + 1];
        k += width;
    }
}

// The folded bytes from..from + 7 as one big-endian number, zero past the end of the key.
std::uint64_t Prefix(std::string_view key, std::size_t from) {
    std::uint64_t value = 0;
    for (std::size_t k = from; k < from + 8; ++k)
        value = (value << 8) | (k < key.size() ? static_cast<std::uint8_t>(key[k]) : 0U);
    return value;
}

}  // namespace

void PaneSorter::Sort(std::vector<std::int32_t>& rows, const std::function<std::string_view(std::int32_t)>& textOf,
                      SortOrder order) {
    folded_.clear();
    spans_.clear();
    entries_.clear();
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const std::string_view text = textOf(rows[k]);
        const std::size_t begin = folded_.size();
        folded_.resize(begin + text.size());
        Fold(text, folded_.data() + begin);
        spans_.push_back({begin, text.size()});
        const std::string_view key(folded_.data() + begin, text.size());
        entries_.push_back({Prefix(key, 0), Prefix(key, 8), static_cast<std::int32_t>(k)});
    }
    // std::string_view compares its bytes as unsigned char values, as ComparePaneText does.
    const auto compare = [this](const Entry& a, const Entry& b) {
        if (a.first != b.first) return a.first < b.first ? -1 : 1;
        if (a.second != b.second) return a.second < b.second ? -1 : 1;
        const Span& x = spans_[static_cast<std::size_t>(a.position)];
        const Span& y = spans_[static_cast<std::size_t>(b.position)];
        return std::string_view(folded_.data() + x.begin, x.size)
            .compare(std::string_view(folded_.data() + y.begin, y.size));
    };
    const int sign = order == SortOrder::kAscending ? 1 : -1;
    std::sort(entries_.begin(), entries_.end(), [&compare, sign](const Entry& a, const Entry& b) {
        const int c = compare(a, b) * sign;
        return c != 0 ? c < 0 : a.position < b.position;
    });
    positions_.assign(rows.begin(), rows.end());
    for (std::size_t k = 0; k < entries_.size(); ++k)
        rows[k] = positions_[static_cast<std::size_t>(entries_[k].position)];
}

int ComparePaneText(std::string_view a, std::string_view b) {
    FoldingCursor left(a);
    FoldingCursor right(b);
    while (!left.AtEnd() && !right.AtEnd()) {
        const std::uint8_t x = left.Next();
        const std::uint8_t y = right.Next();
        if (x != y) return x < y ? -1 : 1;
    }
    if (left.AtEnd() && right.AtEnd()) return 0;
    return left.AtEnd() ? -1 : 1;
}

bool PaneTextStartsWith(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) return false;
    FoldingCursor whole(text);
    FoldingCursor start(prefix);
    while (!start.AtEnd()) {
        if (whole.Next() != start.Next()) return false;
    }
    // The prefix may not stop after the lead byte of a character of the text.
    return !whole.InsideCharacter();
}

std::int32_t FindPaneRow(std::int32_t count, const std::function<std::string_view(std::int32_t)>& nameOf,
                         std::int32_t start, const PaneFind& find) {
    if (start < 0 || start >= count) start = 0;
    const auto matches = [&](std::int32_t row) {
        const std::string_view name = nameOf(row);
        return find.prefix ? PaneTextStartsWith(name, find.text) : ComparePaneText(name, find.text) == 0;
    };
    for (std::int32_t k = start; k < count; ++k) {
        if (matches(k)) return k;
    }
    for (std::int32_t k = 0; find.wrap && k < start; ++k) {
        if (matches(k)) return k;
    }
    return -1;
}

std::vector<std::int32_t> PaneSortOrder(std::int32_t count, const std::function<std::string_view(std::int32_t)>& textOf,
                                        SortOrder order) {
    std::vector<std::int32_t> rows(static_cast<std::size_t>(std::max(count, 0)));
    std::iota(rows.begin(), rows.end(), 0);
    PaneSorter().Sort(rows, textOf, order);
    return rows;
}

}  // namespace tavolex
