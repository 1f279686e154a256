#include "views/pane_layout.h"

#include "resources/string_table.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace tavolex {
namespace {

TEST(PaneLayoutTest, ColumnsOfEachList) {
    const struct {
        PaneKind kind;
        std::vector<std::string> titles;
        ColumnAlignment last;
    } table[] = {
        {PaneKind::kMeetings,
         {"\x83\x7e\x81\x5b\x83\x65\x83\x42\x83\x93\x83\x4f\x96\xbc",          // ミーティング名
          "\x83\x7e\x81\x5b\x83\x65\x83\x42\x83\x93\x83\x4f\x8f\xea\x8f\x8a",  // ミーティング場所
          "\x93\xfa\x8e\x9e", "\x83\x4a\x83\x65\x83\x53\x83\x8a\x81\x5b"},     // 日時, カテゴリー
         ColumnAlignment::kRight},
        {PaneKind::kItems, {"Item"}, ColumnAlignment::kLeft},
        {PaneKind::kReports,
         {"\x83\x8c\x83\x7c\x81\x5b\x83\x67\x96\xbc", "\x8d\xec\x90\xac\x93\xfa",  // レポート名, 作成日
          "\x83\x54\x83\x43\x83\x59(\x83\x6f\x83\x43\x83\x67)"},                   // サイズ(バイト)
         ColumnAlignment::kRight},
    };
    for (const auto& row : table) {
        const auto columns = PaneColumns(row.kind);
        ASSERT_EQ(columns.size(), row.titles.size());
        for (std::size_t c = 0; c < columns.size(); ++c) EXPECT_EQ(StringTableText(columns[c].titleId), row.titles[c]);
        EXPECT_EQ(columns.front().alignment, ColumnAlignment::kLeft);
        EXPECT_EQ(columns.back().alignment, row.last);
    }
}

// Meeting columns: w = width / 4, then w + w/5 - 1 or w - w/5 - 1; report columns: w = width / 3,
// then w + 2w/5 - 1 or w - w/5 - 1; whole results are not rounded down by a binary 0.2. Tiny and
// negative widths give 0, never less.
TEST(PaneLayoutTest, ColumnWidths) {
    const std::tuple<PaneKind, int, int, int> table[] = {
        // list, list width, column, column width
        {PaneKind::kMeetings, 403, 0, 119},  {PaneKind::kMeetings, 403, 2, 79},   {PaneKind::kMeetings, 403, 4, 0},
        {PaneKind::kMeetings, 1000, 0, 299}, {PaneKind::kMeetings, 1000, 2, 199}, {PaneKind::kMeetings, 28, 0, 7},
        {PaneKind::kMeetings, 28, 2, 4},     {PaneKind::kMeetings, 5, 2, 0},      {PaneKind::kMeetings, 8, 0, 1},
        {PaneKind::kMeetings, -5, 0, 0},     {PaneKind::kReports, 1000, 0, 465},  {PaneKind::kReports, 1000, 1, 265},
        {PaneKind::kReports, 1000, 3, 0},    {PaneKind::kReports, 4, 1, 0},       {PaneKind::kReports, -5, 0, 0},
        {PaneKind::kItems, 300, 0, 280},     {PaneKind::kItems, 300, 1, 0},       {PaneKind::kItems, 19, 0, 0},
    };
    for (const auto& [kind, width, column, expected] : table) {
        EXPECT_EQ(PaneColumnWidth(kind, width, column), expected) << width << " " << column;
    }
}

}  // namespace
}  // namespace tavolex
