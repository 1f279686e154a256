#include "views/pane_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tavolex {
namespace {

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

std::vector<std::int64_t> Parameters(const std::vector<PaneRow>& rows) {
    std::vector<std::int64_t> out;
    for (const PaneRow& row : rows) out.push_back(row.parameter);
    return out;
}

// What the sort must give: by text, ties in their first order.
std::vector<std::int64_t> StableOrder(const std::vector<PaneRow>& rows, int column, SortOrder order) {
    std::vector<PaneRow> copy = rows;
    const auto col = static_cast<std::size_t>(column);
    std::stable_sort(copy.begin(), copy.end(), [&](const PaneRow& a, const PaneRow& b) {
        const int c = ComparePaneText(a.texts[col], b.texts[col]);
        return order == SortOrder::kAscending ? c < 0 : c > 0;
    });
    return Parameters(copy);
}

TEST(ComparePaneTextTest, AsciiLettersFoldToLowerCase) {
    EXPECT_EQ(ComparePaneText("Budget", "bUDGET"), 0);
    EXPECT_LT(ComparePaneText("alpha", "Beta"), 0);
    EXPECT_GT(ComparePaneText("Beta", "alpha"), 0);
    // Folded to lower case, '_' (0x5F) sorts before every letter.
    EXPECT_LT(ComparePaneText("_", "A"), 0);
    EXPECT_LT(ComparePaneText("ab", "abc"), 0);
    EXPECT_EQ(ComparePaneText("", ""), 0);
    // Bytes compare unsigned: double-byte characters after ASCII.
    EXPECT_GT(ComparePaneText("\x82\xa0", "z"), 0);
}

TEST(ComparePaneTextTest, SecondBytesOfDoubleByteCharactersAreNotFolded) {
    // ア is 83 41 and ヂ 83 61: folding the second byte would make them equal.
    EXPECT_LT(ComparePaneText("\x83\x41", "\x83\x61"), 0);
    EXPECT_EQ(ComparePaneText("\x83\x41" "A", "\x83\x41" "a"), 0);
    EXPECT_EQ(ComparePaneText("x\x83\x41Y", "X\x83\x41y"), 0);
}

TEST(SortPaneRowsTest, AscendingAndDescendingMoveWholeRows) {
    std::vector<PaneRow> rows = RowsOf({"delta", "Alpha", "charlie", "bravo"});
    SortPaneRows(rows, 0, SortOrder::kAscending);
    EXPECT_EQ(Parameters(rows), (std::vector<std::int64_t>{1, 3, 2, 0}));
    EXPECT_EQ(rows[0].texts[1], "loc1");
    EXPECT_EQ(rows[0].icon, PaneIcon::kNote);
    EXPECT_EQ(rows[0].state, 3u);
    SortPaneRows(rows, 0, SortOrder::kDescending);
    EXPECT_EQ(Parameters(rows), (std::vector<std::int64_t>{0, 2, 3, 1}));
    SortPaneRows(rows, 1, SortOrder::kAscending);
    EXPECT_EQ(Parameters(rows), (std::vector<std::int64_t>{0, 1, 2, 3}));
}

TEST(SortPaneRowsTest, NamesDifferingOnlyInCaseKeepTheirOrder) {
    for (const SortOrder order : {SortOrder::kAscending, SortOrder::kDescending}) {
        std::vector<PaneRow> rows = RowsOf({"Budget", "budget", "Alpha"});
        SortPaneRows(rows, 0, order);
        EXPECT_EQ(Parameters(rows), order == SortOrder::kAscending ? (std::vector<std::int64_t>{2, 0, 1})
                                                                   : (std::vector<std::int64_t>{0, 1, 2}));
        rows = RowsOf({"b", "X", "x", "a", "BUDGET", "Budget", "budget"});
        SortPaneRows(rows, 0, order);
        EXPECT_EQ(Parameters(rows), order == SortOrder::kAscending ? (std::vector<std::int64_t>{3, 0, 4, 5, 6, 1, 2})
                                                                   : (std::vector<std::int64_t>{1, 2, 4, 5, 6, 0, 3}));
        rows = RowsOf({"Weekly", "weekly", "WEEKLY"});
        SortPaneRows(rows, 0, order);
        EXPECT_EQ(Parameters(rows), (std::vector<std::int64_t>{0, 1, 2}));
    }
}

TEST(SortPaneRowsTest, OtherColumnsAndEmptyListsLeaveRowsAlone) {
    std::vector<PaneRow> rows = RowsOf({"c", "b", "a"});
    SortPaneRows(rows, kPaneMaxColumns, SortOrder::kAscending);
    SortPaneRows(rows, -1, SortOrder::kAscending);
    EXPECT_EQ(Parameters(rows), (std::vector<std::int64_t>{0, 1, 2}));
    std::vector<PaneRow> none;
    SortPaneRows(none, 0, SortOrder::kDescending);
    EXPECT_TRUE(none.empty());
    EXPECT_TRUE(PaneSortOrder(0, [](std::int32_t) { return std::string_view(); }, SortOrder::kAscending).empty());
}

// 65,520 rows in the arrangements that make a plain recursive quicksort recurse deepest or
// take quadratic time: all equal, sorted, reversed, organ pipe.
TEST(SortPaneRowsTest, LargestListsInAwkwardOrders) {
    constexpr int kRows = 65520;
    std::vector<std::vector<std::string>> inputs(4, std::vector<std::string>(kRows));
    for (int i = 0; i < kRows; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "m%05d", i);
        inputs[0][static_cast<std::size_t>(i)] = "Same";
        inputs[1][static_cast<std::size_t>(i)] = key;
        std::snprintf(key, sizeof key, "m%05d", kRows - 1 - i);
        inputs[2][static_cast<std::size_t>(i)] = key;
        std::snprintf(key, sizeof key, "m%05d", std::min(i, kRows - 1 - i));
        inputs[3][static_cast<std::size_t>(i)] = key;
    }
    for (const auto& titles : inputs) {
        const std::vector<PaneRow> rows = RowsOf(titles);
        for (const SortOrder order : {SortOrder::kAscending, SortOrder::kDescending}) {
            std::vector<PaneRow> sorted = rows;
            SortPaneRows(sorted, 0, order);
            ASSERT_EQ(Parameters(sorted), StableOrder(rows, 0, order));
        }
    }
}

TEST(PaneSortDirectionTest, FirstClickDescendingThenEveryClickFlips) {
    PaneSortDirection meetingPane;
    PaneSortDirection reportPane;
    EXPECT_EQ(meetingPane.Next(), SortOrder::kDescending);
    EXPECT_EQ(meetingPane.Click(), SortOrder::kDescending);
    EXPECT_EQ(meetingPane.Click(), SortOrder::kAscending);
    EXPECT_EQ(meetingPane.Click(), SortOrder::kDescending);
    EXPECT_EQ(meetingPane.Next(), SortOrder::kAscending);
    // The report pane's flag is its own.
    EXPECT_EQ(reportPane.Click(), SortOrder::kDescending);
}

}  // namespace
}  // namespace tavolex
