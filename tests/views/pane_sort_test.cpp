#include "views/pane_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tavolex {
namespace {

using Order = std::vector<std::int64_t>;

std::vector<PaneRow> RowsOf(const std::vector<std::string>& titles) {
    std::vector<PaneRow> rows;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        PaneRow row;
        row.texts[0] = titles[i];
        row.texts[1] = "loc" + std::to_string(i);
        row.icon = i % 2 == 0 ? PaneIcon::kMeeting : PaneIcon::kNote;
        row.state = static_cast<std::uint32_t>(i * 3);
        row.parameter = static_cast<std::int64_t>(i);
        rows.push_back(std::move(row));
    }
    return rows;
}

Order Parameters(const std::vector<PaneRow>& rows) {
    Order out;
    for (const PaneRow& row : rows) out.push_back(row.parameter);
    return out;
}

// What the sort must give: by text, ties in their first order.
Order StableOrder(std::vector<PaneRow> rows, SortOrder order) {
    std::stable_sort(rows.begin(), rows.end(), [&](const PaneRow& a, const PaneRow& b) {
        const int c = ComparePaneText(a.texts[0], b.texts[0]);
        return order == SortOrder::kAscending ? c < 0 : c > 0;
    });
    return Parameters(rows);
}

// ASCII letters fold to lower case ('_', 0x5F, sorts before them); bytes compare unsigned; the
// second byte of a double-byte character is not folded (ア 83 41 and ヂ 83 61 would be equal).
TEST(ComparePaneTextTest, FoldedBytesUnsigned) {
    const struct {
        const char* a;
        const char* b;
        int sign;
    } table[] = {
        {"Budget", "bUDGET", 0}, {"alpha", "Beta", -1}, {"Beta", "alpha", 1},       {"_", "A", -1},
        {"ab", "abc", -1},       {"", "", 0},           {"\x82\xa0", "z", 1},         {"\x83\x41", "\x83\x61", -1},
        {"\x83\x41" "A", "\x83\x41" "a", 0},            {"x\x83\x41Y", "X\x83\x41y", 0},
    };
    for (const auto& row : table) {
        const int c = ComparePaneText(row.a, row.b);
        EXPECT_EQ((c > 0) - (c < 0), row.sign) << row.a << " " << row.b;
    }
}

TEST(SortPaneRowsTest, WholeRowsMoveAndOtherColumnsLeaveThemAlone) {
    std::vector<PaneRow> rows = RowsOf({"delta", "Alpha", "charlie", "bravo"});
    SortPaneRows(rows, 0, SortOrder::kAscending);
    EXPECT_EQ(Parameters(rows), (Order{1, 3, 2, 0}));
    EXPECT_EQ(rows[0].texts[1], "loc1");
    EXPECT_EQ(rows[0].icon, PaneIcon::kNote);
    EXPECT_EQ(rows[0].state, 3u);
    SortPaneRows(rows, 0, SortOrder::kDescending);
    EXPECT_EQ(Parameters(rows), (Order{0, 2, 3, 1}));
    SortPaneRows(rows, 1, SortOrder::kAscending);
    EXPECT_EQ(Parameters(rows), (Order{0, 1, 2, 3}));
    SortPaneRows(rows, kPaneMaxColumns, SortOrder::kDescending);
    SortPaneRows(rows, -1, SortOrder::kDescending);
    EXPECT_EQ(Parameters(rows), (Order{0, 1, 2, 3}));
    std::vector<PaneRow> none;
    SortPaneRows(none, 0, SortOrder::kDescending);
    EXPECT_TRUE(PaneSortOrder(0, [](std::int32_t) { return std::string_view(); }, SortOrder::kAscending).empty());
}

// Names that differ only in case keep their order in either direction; 65,520 rows in the
// arrangements that make a plain recursive quicksort recurse deepest or take quadratic time (all
// equal, sorted, reversed, organ pipe) sort as a stable sort would.
TEST(SortPaneRowsTest, TiesKeepTheirOrderInListsOfAnyLength) {
    std::vector<std::vector<std::string>> inputs = {{"Budget", "budget", "Alpha"},
                                                    {"b", "X", "x", "a", "BUDGET", "Budget", "budget"},
                                                    {"Weekly", "weekly", "WEEKLY"}};
    constexpr int kRows = 65520;
    for (const auto key : {+[](int) { return 0; }, +[](int i) { return i; }, +[](int i) { return kRows - 1 - i; },
                           +[](int i) { return std::min(i, kRows - 1 - i); }}) {
        std::vector<std::string>& titles = inputs.emplace_back();
        for (int i = 0; i < kRows; ++i) titles.push_back("m" + std::to_string(100000 + key(i)));
    }
    for (const auto& titles : inputs) {
        const std::vector<PaneRow> rows = RowsOf(titles);
        for (const SortOrder order : {SortOrder::kAscending, SortOrder::kDescending}) {
            std::vector<PaneRow> sorted = rows;
            SortPaneRows(sorted, 0, order);
            ASSERT_EQ(Parameters(sorted), StableOrder(rows, order)) << titles.size();
        }
    }
}

TEST(PaneSortDirectionTest, FirstClickDescendingThenEveryClickFlips) {
    PaneSortDirection pane;
    EXPECT_EQ(pane.Next(), SortOrder::kDescending);
    EXPECT_EQ(pane.Click(), SortOrder::kDescending);
    EXPECT_EQ(pane.Click(), SortOrder::kAscending);
    EXPECT_EQ(pane.Click(), SortOrder::kDescending);
    EXPECT_EQ(pane.Next(), SortOrder::kAscending);
}

}  // namespace
}  // namespace tavolex
