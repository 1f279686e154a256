#include "views/meeting_items.h"
#include "views/meeting_rows.h"
#include "views/report_rows.h"

#include "tests/support/loaded_user.h"

#include <gtest/gtest.h>

namespace tavolex {
namespace {

using namespace test;
using Texts = std::array<std::string, kPaneMaxColumns>;

// A loaded user and the item entries of its meetings.
struct Store : test::LoadedUser {
    using LoadedUser::LoadedUser;
    std::vector<MeetingItemEntry> Entries(std::int32_t meetingIndex) const { return BuildMeetingItemEntries(store, book, meetingIndex); }
};

test::PalmUserSpec EveryKind() {
    test::PalmUserSpec user;
    user.categories = {"Unfiled", "Business"};
    user.meetings.push_back({.title = "Other",
                             .location = "A",
                             .date = test::HandheldDay(2004, 5, 16),
                             .start = {9, 0},
                             .end = {10, 0},
                             .category = 1,
                             .items = {NoteSpec{.text = "not mine"}}});
    user.meetings.push_back(
        {.title = "Kickoff",
         .date = test::HandheldDay(2004, 5, 17),
         .items = {AgendaSpec{.text = "Budget\nfigures", .status = 1}, AgendaSpec{.text = "Plan", .status = 2},
                   ToDoSpec{.text = "mail\tall", .priority = 0xFB, .dueDate = test::HandheldDay(2004, 6, 1), .completed = 1},
                   ToDoSpec{.text = "call", .completed = 2}, NoteSpec{.text = "line 1\nline 2"}, test::SketchSpec{.title = "board"},
                   AttendeeSpec{.nameParts = {"Taro", "Yamada"}, .addressId = 0x42},
                   AttendeeSpec{.nameParts = {"A", "", "C"}, .addressId = 0x99, .absent = true}}});
    return user;
}

TEST(MeetingItemEntriesTest, EveryKindInHandheldOrder) {
    const Store user(EveryKind(), {{.recordId = 0x42, .lastName = "Yamada", .firstName = "Taro"},
                                   {.recordId = 7, .lastName = "Other", .firstName = "One"},
                                   {.recordId = 0x42, .lastName = "Yamada", .firstName = "Hanako"}});
    const std::vector<MeetingItemEntry> entries = user.Entries(1);
    const struct {
        ItemKind kind;
        PaneIcon icon;
        std::string display;
        std::string full;
        std::int32_t addressIndex = -1;
        std::array<std::int32_t, 4> numbers{};  // discussed, bCompleted, nPriority, bAbsent
    } expected[] = {
        {ItemKind::kAgenda, PaneIcon::kAgendaDiscussed, "Budget", "Budget\r\nfigures", -1, {1, 0, 0, 0}},
        {ItemKind::kAgenda, PaneIcon::kAgendaNotDiscussed, "Plan", "Plan"},
        {ItemKind::kToDo, PaneIcon::kToDoCompleted, "mail", "mail\tall", -1, {0, 1, 3, 0}},  // priority: the low 3 bits
        {ItemKind::kToDo, PaneIcon::kToDoOpen, "call", "call", -1, {0, 2, 0, 0}},            // open, but kept as stored
        {ItemKind::kNote, PaneIcon::kNote, "line 1", "line 1\r\nline 2"},
        {ItemKind::kSketch, PaneIcon::kSketch, "board", ""},
        {ItemKind::kAttendee, PaneIcon::kAttendee, "Yamada Taro", "Yamada Taro", 0},  // one attendee, two records
        {ItemKind::kAttendee, PaneIcon::kAttendee, "Yamada Hanako", "Yamada Hanako", 2},
        {ItemKind::kAttendee, PaneIcon::kAttendeeAbsent, "A, C", "A, C", -1, {0, 0, 0, 1}},
    };
    ASSERT_EQ(entries.size(), std::size(expected));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(i);
        const auto& [e, x] = std::tie(entries[i], expected[i]);
        EXPECT_EQ(std::tie(e.kind, e.icon, e.displayText, e.fullText, e.addressIndex, e.foundInAddressBook),
                  std::make_tuple(x.kind, x.icon, x.display, x.full, x.addressIndex, x.addressIndex >= 0));
        EXPECT_EQ((std::array{e.discussed, e.bCompleted, e.nPriority, e.bAbsent}), x.numbers);
    }
    EXPECT_EQ(entries[2].szDueDate, user.store.ToDoOf(entries[2].item)->szDueDate);  // as the store shows it
    EXPECT_EQ(entries[6].item.recordIndex, entries[7].item.recordIndex);
    EXPECT_EQ(std::make_tuple(user.Entries(0).size(), user.Entries(2).size(), user.Entries(-1).size()), std::make_tuple(1u, 0u, 0u));

    // The list's rows: icon, display text and the entry's position.
    const std::vector<PaneRow> rows = ItemRows(entries);
    ASSERT_EQ(rows.size(), entries.size());
    EXPECT_EQ(std::tie(rows[4].texts, rows[4].parameter), std::make_tuple(Texts{"line 1", "", "", ""}, 4));

    // Without an address book every attendee shows its own stored name.
    const std::vector<MeetingItemEntry> fromText = Store(EveryKind(), {}).Entries(1);
    ASSERT_EQ(fromText.size(), 8u);
    EXPECT_EQ(fromText[6].displayText, "Taro Yamada");
    EXPECT_FALSE(fromText[6].foundInAddressBook);
}

// The meeting list: title, location, date + " " + time (the space stays without a time), category.
TEST(MeetingRowsTest, OneRowPerMeetingInStoreOrder) {
    const Store user(EveryKind(), {});
    const std::vector<PaneRow> rows = MeetingRows(user.store);
    ASSERT_EQ(rows.size(), 2u);
    const Meeting& first = *user.store.MeetingAt(0);
    EXPECT_EQ(rows[0].texts, (Texts{"Other", "A", first.szDate + " " + first.szTime, "Business"}));
    EXPECT_EQ(rows[1].texts, (Texts{"Kickoff", "", user.store.MeetingAt(1)->szDate + " ", "Unfiled"}));
    EXPECT_EQ(rows[1].parameter, 1);
    EXPECT_EQ(MeetingCellText(first, 4), "");
    EXPECT_EQ(MeetingCellText(user.store, 2, 0), "");
}

// The report list: name, date, size; the icon of the file's type; the listing's position.
TEST(ReportRowsTest, OneRowPerReportInListingOrder) {
    const ReportListing reports[] = {{"a", "2026/11/02 9:00", "120", ReportFileType::kRtf}, {"b", "", "7", ReportFileType::kHtml}};
    const std::vector<PaneRow> rows = ReportRows(reports);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(std::tie(rows[0].texts, rows[0].icon, rows[0].parameter),
              std::make_tuple(Texts{"a", "2026/11/02 9:00", "120", ""}, PaneIcon::kRtfReport, 0));
    EXPECT_EQ(std::tie(rows[1].texts, rows[1].icon, rows[1].parameter), std::make_tuple(Texts{"b", "", "7", ""}, PaneIcon::kHtmlReport, 1));
}

}  // namespace
}  // namespace tavolex
