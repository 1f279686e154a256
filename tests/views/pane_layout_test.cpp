#include "views/pane_layout.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tavolex {
namespace {

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
