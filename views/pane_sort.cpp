#include "views/pane_sort.h"

#include "base/ascii.h"
#include "base/shift_jis.h"
#include "views/pane_text.h"

#include <algorithm>
#include <bit>
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

// The bytes of a text as ComparePaneText compares them: two keys compare as their texts do, byte
// by byte as unsigned values, with no walk through the characters.
std::string FoldedKey(std::string_view text) {
    std::string key;
    key.reserve(text.size());
    for (FoldingCursor cursor(text); !cursor.AtEnd();) key.push_back(static_cast<char>(cursor.Next()));
    return key;
}

// Sorts positions by their texts with the order fixed, ties going by position, so the result is
// the one arrangement that order allows. Each text is folded once, so a full store's 65,520 rows
// sort in a few tens of milliseconds.
class PositionSorter {
public:
    PositionSorter(const std::vector<std::string_view>& texts, SortOrder order) : order_(order) {
        keys_.reserve(texts.size());
        for (const std::string_view text : texts) keys_.push_back(FoldedKey(text));
    }

    std::vector<std::int32_t> Sort() {
        std::vector<std::int32_t> positions(keys_.size());
        std::iota(positions.begin(), positions.end(), 0);
        if (positions.size() > 1) {
            const int depthLimit = 2 * std::bit_width(positions.size());
            QuickSort(positions, 0, static_cast<std::int32_t>(positions.size()) - 1, depthLimit);
        }
        return positions;
    }

private:
    [[nodiscard]] bool Before(std::int32_t a, std::int32_t b) const {
        // std::string_view compares its bytes as unsigned char values, as ComparePaneText does.
        const int c = std::string_view(keys_[static_cast<std::size_t>(a)]).compare(keys_[static_cast<std::size_t>(b)]);
        if (c != 0) return order_ == SortOrder::kAscending ? c < 0 : c > 0;
        return a < b;
    }

    // Partitions around the middle element, sorts the smaller part by recursion and goes on with
    // the larger, so the stack holds at most log2(n) frames. Past depthLimit partitions (an input
    // that keeps giving lopsided parts) the range is finished by std::sort: the order is total, so
    // the result is the same, in n log n time.
    void QuickSort(std::vector<std::int32_t>& p, std::int32_t first, std::int32_t last, int depthLimit) {
        while (first < last) {
            if (depthLimit-- <= 0) {
                std::sort(p.begin() + first, p.begin() + last + 1,
                          [this](std::int32_t a, std::int32_t b) { return Before(a, b); });
                return;
            }
            const std::int32_t pivot = p[static_cast<std::size_t>(first + (last - first) / 2)];
            std::int32_t lo = first;
            std::int32_t hi = last;
            while (lo <= hi) {
                while (lo < last && Before(p[static_cast<std::size_t>(lo)], pivot)) ++lo;
                while (hi > first && Before(pivot, p[static_cast<std::size_t>(hi)])) --hi;
                if (lo <= hi) {
                    if (lo != hi) std::swap(p[static_cast<std::size_t>(lo)], p[static_cast<std::size_t>(hi)]);
                    ++lo;
                    --hi;
                }
            }
            if (hi - first < last - lo) {
                if (first < hi) QuickSort(p, first, hi, depthLimit);
                first = lo;
            } else {
                if (lo < last) QuickSort(p, lo, last, depthLimit);
                last = hi;
            }
        }
    }

    std::vector<std::string> keys_;
    SortOrder order_;
};

}  // namespace

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
    std::vector<std::string_view> texts;
    texts.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (std::int32_t i = 0; i < count; ++i) texts.push_back(textOf(i));
    return PositionSorter(texts, order).Sort();
}

void SortPaneRows(std::span<PaneRow> rows, int column, SortOrder order) {
    if (column < 0 || column >= kPaneMaxColumns || rows.size() < 2) return;
    const auto col = static_cast<std::size_t>(column);
    const std::vector<std::int32_t> positions = PaneSortOrder(
        static_cast<std::int32_t>(rows.size()),
        [&rows, col](std::int32_t i) { return std::string_view(rows[static_cast<std::size_t>(i)].texts[col]); }, order);
    std::vector<PaneRow> sorted;
    sorted.reserve(rows.size());
    for (const std::int32_t position : positions) sorted.push_back(std::move(rows[static_cast<std::size_t>(position)]));
    std::move(sorted.begin(), sorted.end(), rows.begin());
}

}  // namespace tavolex
