#include "views/meeting_rows.h"
#include "views/report_rows.h"

#include "meeting_store/meeting_database.h"
#include "tests/support/palm_database_writer.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace tavolex {
namespace {

TEST(MeetingRowsTest, CellTexts) {
    Meeting meeting;
    meeting.szTitle = "Kickoff";
    meeting.szLocation = "Room 5";
    meeting.szDate = "2004/05/17";
    meeting.szTime = "9:00 - 10:30";
    meeting.szCategory = "Business";
    EXPECT_EQ(MeetingCellText(meeting, 0), "Kickoff");
    EXPECT_EQ(MeetingCellText(meeting, 1), "Room 5");
    EXPECT_EQ(MeetingCellText(meeting, 2), "2004/05/17 9:00 - 10:30");
    EXPECT_EQ(MeetingCellText(meeting, 3), "Business");
    EXPECT_EQ(MeetingCellText(meeting, 4), "");
    meeting.szTime.clear();
    EXPECT_EQ(MeetingCellText(meeting, 2), "2004/05/17 ");
}

TEST(MeetingRowsTest, OneRowPerMeetingInStoreOrder) {
    test::TempDir dir;
    test::PalmUserSpec user;
    user.categories = {"Unfiled", "Business"};
    user.meetings.push_back({.title = "First", .location = "A", .date = test::HandheldDay(2004, 5, 17),
                             .start = {9, 0}, .end = {10, 0}, .category = 1});
    user.meetings.push_back({.title = "Second", .date = test::HandheldDay(2004, 5, 18)});
    test::WritePalmUserFolder(dir.Path(), user);
    MeetingDatabase database(dir.Path());
    database.ReloadAll();

    const std::vector<PaneRow> rows = MeetingRows(database);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].texts[0], "First");
    EXPECT_EQ(rows[0].texts[1], "A");
    EXPECT_EQ(rows[0].texts[2], database.MeetingAt(0)->szDate + " " + database.MeetingAt(0)->szTime);
    EXPECT_FALSE(database.MeetingAt(0)->szTime.empty());
    EXPECT_EQ(rows[0].texts[3], "Business");
    EXPECT_EQ(rows[1].texts[3], "Unfiled");
    EXPECT_EQ(rows[1].parameter, 1);
    EXPECT_EQ(rows[1].icon, PaneIcon::kMeeting);
    EXPECT_EQ(MeetingCellText(database, 1, 0), "Second");
    EXPECT_EQ(MeetingCellText(database, 2, 0), "");
}

TEST(ReportRowsTest, TextsIconsAndPositions) {
    const std::vector<ReportListing> reports = {
        {"Kickoff", "2004/05/17 9:00", "1234", ReportFileType::kHtml},
        {"Minutes", "2004/05/18 10:00", "99", ReportFileType::kRtf},
    };
    const std::vector<PaneRow> rows = ReportRows(reports);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].texts[0], "Kickoff");
    EXPECT_EQ(rows[0].texts[1], "2004/05/17 9:00");
    EXPECT_EQ(rows[0].texts[2], "1234");
    EXPECT_EQ(rows[0].texts[3], "");
    EXPECT_EQ(rows[0].icon, PaneIcon::kHtmlReport);
    EXPECT_EQ(rows[1].icon, PaneIcon::kRtfReport);
    EXPECT_EQ(static_cast<int>(rows[1].icon), 10);
    EXPECT_EQ(rows[1].parameter, 1);
    EXPECT_EQ(ReportCellText(reports[1], 3), "");
}

}  // namespace
}  // namespace tavolex
