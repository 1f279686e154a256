#pragma once
// Sorting the rows of a pane by the text of one column, and the direction the next header click
// sorts in.
//
// Texts compare byte by byte as unsigned values with the ASCII letters folded to lower case; the
// second byte of a double-byte character is never folded, so two different Japanese characters
// never compare equal. Rows whose texts compare equal keep their relative order in either direction
// (ties go by position before the sort), so names that differ only in letter case stay as they
// were. Rows are only moved, never changed.

#include "views/pane_row.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tavolex {

enum class SortOrder { kAscending, kDescending };

// < 0, 0 or > 0 as a sorts before, with or after b in ascending order.
[[nodiscard]] int ComparePaneText(std::string_view a, std::string_view b);

// Whether text begins with prefix under the same folding as ComparePaneText (an empty prefix
// begins every text; a prefix never ends inside a double-byte character of text).
[[nodiscard]] bool PaneTextStartsWith(std::string_view text, std::string_view prefix);

// The type-ahead find of a list of count rows named nameOf(row): the first row from start on
// (going round to row 0 when wrap is set) whose name equals the text (prefix: begins with it), by the folding above; -1 when
// none does. A start outside the rows begins at row 0.
struct PaneFind {
    std::string_view text;  // CP932
    bool prefix = true;
    bool wrap = true;
};
[[nodiscard]] std::int32_t FindPaneRow(std::int32_t count, const std::function<std::string_view(std::int32_t)>& nameOf,
                                       std::int32_t start, const PaneFind& find);

// The order of count rows after a sort by the texts textOf(0 ... count - 1): element k is the
// position, before the sort, of the row that goes to position k. The texts textOf returns are
// read until the call returns, so they must stay where they are until then.
[[nodiscard]] std::vector<std::int32_t> PaneSortOrder(std::int32_t count,
                                                      const std::function<std::string_view(std::int32_t)>& textOf,
                                                      SortOrder order);

// Sorts rows given by their numbers, each by one text, keeping its buffers from one sort to the
// next: a list sorted again and again touches no new memory, which costs more than the sort itself
// at a full store's 65,520 rows. Each text is folded once into one buffer, and the sort moves small
// entries that carry the first 16 folded bytes as two numbers, so most pairs compare as numbers.
class PaneSorter {
public:
    // Rearranges rows (row numbers) by textOf(row number); rows whose texts compare equal keep their
    // order in rows. textOf's texts must stay where they are until the call returns.
    void Sort(std::vector<std::int32_t>& rows, const std::function<std::string_view(std::int32_t)>& textOf,
              SortOrder order);

private:
    struct Entry {
        std::uint64_t first;    // folded bytes 0 to 7, big-endian, zero past the end
        std::uint64_t second;   // folded bytes 8 to 15
        std::int32_t position;  // in rows before the sort
    };
    struct Span {
        std::size_t begin;
        std::size_t size;
    };
    std::string folded_;
    std::vector<Span> spans_;
    std::vector<Entry> entries_;
    std::vector<std::int32_t> positions_;
};

// The direction of a pane's header clicks: the first click sorts descending and every click flips
// it, whichever column (or, in the meeting pane, whichever of its two lists) was clicked. The
// meeting pane has one for both its lists, the report pane one of its own.
class PaneSortDirection {
public:
    // The order this click sorts in; the next click gets the other.
    SortOrder Click() {
        const SortOrder order = ascending_ ? SortOrder::kAscending : SortOrder::kDescending;
        ascending_ = !ascending_;
        return order;
    }
    // The order the next click will sort in.
    [[nodiscard]] SortOrder Next() const { return ascending_ ? SortOrder::kAscending : SortOrder::kDescending; }

private:
    bool ascending_ = false;
};

}  // namespace tavolex
