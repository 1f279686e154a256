#include "views/pane_sort.h"
#include "views/pane_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

namespace tavolex {
namespace {

constexpr std::string_view kA = "\x82\xa0";  // あ, two bytes

std::string Repeat(std::string_view piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += piece;
    return text;
}

// The first line, cut at a line feed or tab and to 255 bytes without splitting a double-byte character.
TEST(PaneTextTest, ItemDisplayText) {
    const std::pair<std::string, std::string> table[] = {
        {"first\nsecond\tthird", "first"},
        {"first\tsecond\nthird", "first"},
        {"first\r\nsecond", "first"},
        {"\nsecond", ""},
        {"lone\rreturn", "lone\rreturn"},
        {"ab" + Repeat(kA, 200), "ab" + Repeat(kA, 126)},  // the 255th byte would be a lead byte
        {"a" + Repeat(kA, 200), "a" + Repeat(kA, 127)},
        {Repeat("x", 400), Repeat("x", 255)},
        {"a\x82\tb", "a\x82"},                     // a stray lead byte before a tab: the tab still ends the line
        {"\x83\x5c\x83\x7c", "\x83\x5c\x83\x7c"},  // '\\' and '|' as second bytes
    };
    for (const auto& [text, shown] : table) EXPECT_EQ(ItemDisplayText(text), shown) << text;
}

// Line feeds become CR LF, and the limit counts the expanded bytes.
TEST(PaneTextTest, ExpandLineFeeds) {
    const std::pair<std::string, std::string> table[] = {
        {"a\nb\n\nc", "a\r\nb\r\n\r\nc"},
        {"", ""},
        {"a\r\nb", "a\r\nb"},
        {"a\r\r\nb", "a\r\r\nb"},
        {Repeat("xy\n", 100), Repeat("xy\r\n", 63) + "xy"},  // "xy" fits, the next line break doesn't
        {Repeat("x\n", 100), Repeat("x\r\n", 85)},
        {"a" + Repeat(kA, 200), "a" + Repeat(kA, 127)},
        {"ab" + Repeat(kA, 200), "ab" + Repeat(kA, 126)},
    };
    for (const auto& [text, expanded] : table) EXPECT_EQ(ExpandLineFeeds(text), expanded) << text;
    EXPECT_EQ(ExpandLineFeeds("abc\ndef", 4), "abc");
}

using Strings = std::vector<std::string>;
using Order = std::vector<std::int32_t>;

// A column's texts by row number, as a list hands them to the sort and the find.
auto ByRow(const Strings& texts) {
    return [&texts](std::int32_t k) { return std::string_view(texts[static_cast<std::size_t>(k)]); };
}

// What the sort must give: by text, ties in their first order.
Order StableOrder(const Strings& texts, SortOrder order) {
    Order rows(texts.size());
    std::iota(rows.begin(), rows.end(), 0);
    std::stable_sort(rows.begin(), rows.end(), [&](std::int32_t a, std::int32_t b) {
        const int c = ComparePaneText(ByRow(texts)(a), ByRow(texts)(b));
        return order == SortOrder::kAscending ? c < 0 : c > 0;
    });
    return rows;
}

// ASCII letters fold to lower case ('_', 0x5F, sorts before them); bytes compare unsigned; the
// second byte of a double-byte character is not folded (ア 83 41 and ヂ 83 61 would be equal).
TEST(ComparePaneTextTest, FoldedBytesUnsigned) {
    const std::tuple<const char*, const char*, int> table[] = {
        {"Budget", "bUDGET", 0},
        {"alpha", "Beta", -1},
        {"Beta", "alpha", 1},
        {"_", "A", -1},
        {"ab", "abc", -1},
        {"", "", 0},
        {"\x82\xa0", "z", 1},
        {"\x83\x41", "\x83\x61", -1},
        {"\x83\x41\x41", "\x83\x41\x61", 0},  // the ASCII letter after a double-byte character folds
        {"x\x83\x41Y", "X\x83\x41y", 0},
    };
    for (const auto& [a, b, sign] : table) {
        const int c = ComparePaneText(a, b);
        EXPECT_EQ((c > 0) - (c < 0), sign) << a << " " << b;
    }
}

// The type-ahead find: from the start row on, round to the top when it wraps; the prefix folds
// ASCII letters as the sort does and never ends inside a double-byte character.
TEST(FindPaneRowTest, PrefixFromStartRound) {
    const Strings titles = {"Budget", "alpha", "\x83\x41pr", "beta", "ALPHA two", "\x83\x41"};
    struct Case {
        std::int32_t start;
        const char* text;
        bool prefix;
        bool wrap;
        std::int32_t row;
    };
    const Case table[] = {
        {0, "b", true, true, 0},         {1, "b", true, true, 3},     {4, "b", true, true, 0},        {4, "b", true, false, -1},
        {0, "Al", true, true, 1},        {2, "al", true, true, 4},    {0, "alpha", false, true, 1},   {2, "alpha", false, true, 1},
        {0, "alpha t", true, true, 4},   {0, "\x83", true, true, -1}, {0, "\x83\x41", true, true, 2}, {3, "\x83\x41", false, true, 5},
        {0, "\x83\x61", true, true, -1}, {-5, "beta", true, true, 3}, {99, "", true, true, 0},        {0, "zzz", true, true, -1},
    };
    for (const Case& c : table) {
        EXPECT_EQ(FindPaneRow(static_cast<std::int32_t>(titles.size()), ByRow(titles), c.start, PaneFind{c.text, c.prefix, c.wrap}), c.row)
            << c.start << " " << c.text << " " << c.prefix << c.wrap;
    }
    EXPECT_EQ(FindPaneRow(0, ByRow(titles), 0, PaneFind{"a"}), -1);
}

// A list sorts the numbers of its rows, one column at a time: a sort by one column keeps, among
// rows it finds equal, the order the sort before left; a column past the rows' texts sorts by "".
TEST(PaneSorterTest, EachSortStartsFromTheLastOne) {
    const Strings columns[] = {{"delta", "Alpha", "charlie", "bravo"}, {"loc0", "loc1", "loc2", "loc3"}, {"", "same", "", "same"}};
    PaneSorter sorter;
    Order order = {0, 1, 2, 3};
    const auto sort = [&](std::size_t column, SortOrder direction) {
        sorter.Sort(order, ByRow(columns[column]), direction);
        return order;
    };
    EXPECT_EQ(sort(0, SortOrder::kAscending), (Order{1, 3, 2, 0}));
    EXPECT_EQ(sort(0, SortOrder::kDescending), (Order{0, 2, 3, 1}));
    EXPECT_EQ(sort(2, SortOrder::kAscending), (Order{0, 2, 3, 1}));  // "", "", "same", "same"
    EXPECT_EQ(sort(2, SortOrder::kDescending), (Order{3, 1, 0, 2}));
    EXPECT_EQ(sort(1, SortOrder::kAscending), (Order{0, 1, 2, 3}));
    EXPECT_TRUE(PaneSortOrder(0, ByRow(columns[0]), SortOrder::kAscending).empty());
}

// Names that differ only in case keep their order in either direction; names alike in their first
// 16 bytes go on to the rest; 65,520 rows in the arrangements that trouble a quicksort (all equal,
// sorted, reversed, organ pipe) sort as a stable sort would.
TEST(PaneSorterTest, TiesKeepTheirOrderInListsOfAnyLength) {
    std::vector<Strings> inputs = {
        {"Budget", "budget", "Alpha"},
        {"b", "X", "x", "a", "BUDGET", "Budget", "budget"},
        {"Weekly", "weekly", "WEEKLY"},
        {"0123456789abcdefZ", "0123456789ABCDEFy", "0123456789abcdef", "0123456789abcdefa\x83\x41", "0123456789abcdeF",
         "0123456789abcdefa\x83\x61", "01234567", "01234567\x82"},
    };
    constexpr int kRows = 65520;
    for (const auto key : {+[](int) { return 0; }, +[](int i) { return i; }, +[](int i) { return kRows - 1 - i; },
                           +[](int i) { return std::min(i, kRows - 1 - i); }}) {
        Strings& titles = inputs.emplace_back();
        for (int i = 0; i < kRows; ++i) titles.push_back("m" + std::to_string(100000 + key(i)));
    }
    for (const auto& titles : inputs) {
        for (const SortOrder order : {SortOrder::kAscending, SortOrder::kDescending}) {
            ASSERT_EQ(PaneSortOrder(static_cast<std::int32_t>(titles.size()), ByRow(titles), order), StableOrder(titles, order))
                << titles.size() << " " << titles[0];
        }
    }
}

}  // namespace
}  // namespace tavolex
