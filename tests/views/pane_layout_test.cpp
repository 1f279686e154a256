#include "views/pane_layout.h"

#include "resources/string_table.h"

#include <gtest/gtest.h>

#include <string>

namespace tavolex {
namespace {

TEST(PaneLayoutTest, ColumnsOfEachList) {
    const auto meetings = PaneColumns(PaneKind::kMeetings);
    ASSERT_EQ(meetings.size(), 4u);
    EXPECT_EQ(std::string(StringTableText(meetings[0].titleId)),
              "\x83\x7e\x81\x5b\x83\x65\x83\x42\x83\x93\x83\x4f\x96\xbc");  // ミーティング名
    EXPECT_EQ(std::string(StringTableText(meetings[1].titleId)),
              "\x83\x7e\x81\x5b\x83\x65\x83\x42\x83\x93\x83\x4f\x8f\xea\x8f\x8a");  // ミーティング場所
    EXPECT_EQ(std::string(StringTableText(meetings[2].titleId)), "\x93\xfa\x8e\x9e");  // 日時
    EXPECT_EQ(std::string(StringTableText(meetings[3].titleId)), "\x83\x4a\x83\x65\x83\x53\x83\x8a\x81\x5b");
    EXPECT_EQ(meetings[0].alignment, ColumnAlignment::kLeft);
    EXPECT_EQ(meetings[3].alignment, ColumnAlignment::kRight);

    const auto items = PaneColumns(PaneKind::kItems);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(std::string(StringTableText(items[0].titleId)), "Item");

    const auto reports = PaneColumns(PaneKind::kReports);
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(std::string(StringTableText(reports[0].titleId)), "\x83\x8c\x83\x7c\x81\x5b\x83\x67\x96\xbc");
    EXPECT_EQ(std::string(StringTableText(reports[1].titleId)), "\x8d\xec\x90\xac\x93\xfa");  // 作成日
    EXPECT_EQ(std::string(StringTableText(reports[2].titleId)),
              "\x83\x54\x83\x43\x83\x59(\x83\x6f\x83\x43\x83\x67)");  // サイズ(バイト)
    EXPECT_EQ(reports[0].alignment, ColumnAlignment::kLeft);
    EXPECT_EQ(reports[2].alignment, ColumnAlignment::kRight);
}

TEST(PaneLayoutTest, MeetingColumnWidths) {
    // w = 100: 100 + 20 - 1 and 100 - 20 - 1.
    EXPECT_EQ(MeetingColumnWidth(403, 0), 119);
    EXPECT_EQ(MeetingColumnWidth(403, 1), 119);
    EXPECT_EQ(MeetingColumnWidth(403, 2), 79);
    EXPECT_EQ(MeetingColumnWidth(403, 3), 79);
    // w = 250 and w = 7: whole results are not rounded down by a binary 0.2.
    EXPECT_EQ(MeetingColumnWidth(1000, 0), 299);
    EXPECT_EQ(MeetingColumnWidth(1000, 2), 199);
    EXPECT_EQ(MeetingColumnWidth(28, 0), 7);  // 7 + 1.4 - 1 = 7.4
    EXPECT_EQ(MeetingColumnWidth(28, 2), 4);  // 7 - 1.4 - 1 = 4.6
    EXPECT_EQ(MeetingColumnWidth(403, 4), 0);
}

TEST(PaneLayoutTest, ReportAndItemColumnWidths) {
    // w = 333: 333 + 133.2 - 1 = 465.2, 333 - 66.6 - 1 = 265.4.
    EXPECT_EQ(ReportColumnWidth(1000, 0), 465);
    EXPECT_EQ(ReportColumnWidth(1000, 1), 265);
    EXPECT_EQ(ReportColumnWidth(1000, 2), 265);
    EXPECT_EQ(ReportColumnWidth(1000, 3), 0);
    EXPECT_EQ(ItemColumnWidth(300), 280);
    EXPECT_EQ(PaneColumnWidth(PaneKind::kItems, 300, 0), 280);
    EXPECT_EQ(PaneColumnWidth(PaneKind::kItems, 300, 1), 0);
    EXPECT_EQ(PaneColumnWidth(PaneKind::kMeetings, 1000, 1), 299);
    EXPECT_EQ(PaneColumnWidth(PaneKind::kReports, 1000, 0), 465);
}

TEST(PaneLayoutTest, TinyListsGetNoNegativeWidths) {
    for (int width : {-5, 0, 1, 3, 4, 5, 19}) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_GE(MeetingColumnWidth(width, column), 0) << width;
            EXPECT_GE(ReportColumnWidth(width, column), 0) << width;
        }
        EXPECT_GE(ItemColumnWidth(width), 0) << width;
    }
    EXPECT_EQ(MeetingColumnWidth(5, 2), 0);  // w = 1: 1 - 0.2 - 1 = -0.2, truncated to 0
    EXPECT_EQ(MeetingColumnWidth(8, 0), 1);  // w = 2: 2 + 0.4 - 1 = 1.4
}

}  // namespace
}  // namespace tavolex
