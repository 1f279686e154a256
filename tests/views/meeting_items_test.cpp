#include "views/meeting_items.h"

#include "address_book/address_book.h"
#include "meeting_store/meeting_database.h"
#include "tests/support/address_book_writer.h"
#include "tests/support/palm_database_writer.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace tavolex {
namespace {

using test::AgendaSpec;
using test::AttendeeSpec;
using test::HandheldDay;
using test::NoteSpec;
using test::SketchSpec;
using test::ToDoSpec;

test::AddressBookPerson Person(std::int32_t id, std::string last, std::string first) {
    test::AddressBookPerson person;
    person.recordId = id;
    person.lastName = std::move(last);
    person.firstName = std::move(first);
    return person;
}

// A Palm user's files and address book in a temporary folder, loaded.
class Store {
public:
    Store(const test::PalmUserSpec& user, const std::vector<test::AddressBookPerson>& people)
        : database_(dir_.Path() / "Tavolex"), book_(dir_.Path() / "address.dat") {
        test::WritePalmUserFolder(dir_.Path() / "Tavolex", user);
        test::WriteAddressBook(dir_.Path() / "address.dat", people);
        database_.ReloadAll();
        book_.Reload();
    }
    const MeetingDatabase& Database() const { return database_; }
    const AddressBook& Book() const { return book_; }
    std::vector<MeetingItemEntry> Entries(std::int32_t meetingIndex) const {
        return BuildMeetingItemEntries(database_, book_, meetingIndex);
    }

private:
    test::TempDir dir_;
    MeetingDatabase database_;
    AddressBook book_;
};

test::PalmUserSpec EveryKind() {
    test::PalmUserSpec user;
    user.categories = {"Unfiled"};
    user.meetings.push_back({.title = "Other", .items = {NoteSpec{.text = "not mine"}}});
    user.meetings.push_back(
        {.title = "Kickoff",
         .date = HandheldDay(2004, 5, 17),
         .items = {AgendaSpec{.text = "Budget\nfigures", .status = 1}, AgendaSpec{.text = "Plan", .status = 2},
                   ToDoSpec{.text = "mail\tall", .priority = 0xFB, .dueDate = HandheldDay(2004, 6, 1), .completed = 1},
                   ToDoSpec{.text = "call", .completed = 2}, NoteSpec{.text = "line 1\nline 2"},
                   SketchSpec{.title = "board"}, AttendeeSpec{.nameParts = {"Taro", "Yamada"}, .addressId = 0x42},
                   AttendeeSpec{.nameParts = {"A", "", "C"}, .addressId = 0x99, .absent = true}}});
    return user;
}

TEST(MeetingItemEntriesTest, EveryKindInHandheldOrder) {
    const Store store(EveryKind(), {Person(0x42, "Yamada", "Taro"), Person(7, "Other", "One"),
                                    Person(0x42, "Yamada", "Hanako")});
    const std::vector<MeetingItemEntry> entries = store.Entries(1);
    struct Expected {
        ItemKind kind;
        PaneIcon icon;
        std::string display;
        std::string full;
        std::int32_t addressIndex = -1;
    };
    const std::vector<Expected> expected = {
        {ItemKind::kAgenda, PaneIcon::kAgendaDiscussed, "Budget", "Budget\r\nfigures"},
        {ItemKind::kAgenda, PaneIcon::kAgendaNotDiscussed, "Plan", "Plan"},
        {ItemKind::kToDo, PaneIcon::kToDoCompleted, "mail", "mail\tall"},
        {ItemKind::kToDo, PaneIcon::kToDoOpen, "call", "call"},
        {ItemKind::kNote, PaneIcon::kNote, "line 1", "line 1\r\nline 2"},
        {ItemKind::kSketch, PaneIcon::kSketch, "board", ""},
        {ItemKind::kAttendee, PaneIcon::kAttendee, "Yamada Taro", "Yamada Taro", 0},  // one attendee, two records
        {ItemKind::kAttendee, PaneIcon::kAttendee, "Yamada Hanako", "Yamada Hanako", 2},
        {ItemKind::kAttendee, PaneIcon::kAttendeeAbsent, "A, C", "A, C"},
    };
    ASSERT_EQ(entries.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(entries[i].kind, expected[i].kind) << i;
        EXPECT_EQ(entries[i].icon, expected[i].icon) << i;
        EXPECT_EQ(entries[i].displayText, expected[i].display) << i;
        EXPECT_EQ(entries[i].fullText, expected[i].full) << i;
        if (entries[i].kind == ItemKind::kAttendee) {
            EXPECT_EQ(entries[i].addressIndex, expected[i].addressIndex) << i;
            EXPECT_EQ(entries[i].foundInAddressBook, expected[i].addressIndex >= 0) << i;
        }
    }
    EXPECT_EQ(entries[0].discussed, 1);
    EXPECT_EQ(entries[1].discussed, 0);
    EXPECT_EQ(entries[2].bCompleted, 1);
    EXPECT_EQ(entries[2].nPriority, 3);  // the low 3 bits of 0xFB
    EXPECT_EQ(entries[2].szDueDate, store.Database().ToDoOf(entries[2].item)->szDueDate);
    EXPECT_FALSE(entries[2].szDueDate.empty());
    EXPECT_EQ(entries[3].bCompleted, 2);  // open, but kept as stored
    EXPECT_EQ(entries[6].item.recordIndex, entries[7].item.recordIndex);
    EXPECT_EQ(entries[8].bAbsent, 1);
    EXPECT_EQ(store.Database().NoteOf(entries[4].item)->szText, "line 1\nline 2");

    // Without an address book every attendee shows its own stored name.
    const std::vector<MeetingItemEntry> fromText = Store(EveryKind(), {}).Entries(1);
    ASSERT_EQ(fromText.size(), 8u);
    EXPECT_EQ(fromText[6].displayText, "Taro Yamada");
    EXPECT_FALSE(fromText[6].foundInAddressBook);
}

TEST(MeetingItemEntriesTest, MeetingsOutsideTheStoreHaveNoEntries) {
    const Store store(EveryKind(), {});
    EXPECT_EQ(store.Entries(0).size(), 1u);
    EXPECT_TRUE(store.Entries(2).empty());
    EXPECT_TRUE(store.Entries(-1).empty());
}

TEST(MeetingItemEntriesTest, NoMoreThanTheLimitOfEntries) {
    // Two attendees, each matching 32,761 address records: 65,522 matches.
    std::vector<test::AddressBookPerson> people(32761, Person(0x42, "Same", "Id"));
    test::PalmUserSpec user;
    user.meetings.push_back({.title = "Crowd",
                             .items = {AttendeeSpec{.nameParts = {"a"}, .addressId = 0x42},
                                       AttendeeSpec{.nameParts = {"b"}, .addressId = 0x42}}});
    const Store store(user, people);
    const std::vector<MeetingItemEntry> entries = store.Entries(0);
    ASSERT_EQ(entries.size(), static_cast<std::size_t>(kMaxItemEntries));
    EXPECT_EQ(entries.back().addressIndex, 32761 - 3);
}

TEST(AttendeeStoredNameTest, PartsJoinedWithSpaceAndComma) {
    const std::pair<const char*, const char*> table[] = {
        {"A\x01\x01" "C", "A, C"}, {"Taro\x01Yamada\x01" "Co", "Taro Yamada, Co"}, {"Taro\x01Yamada", "Taro Yamada"},
        {"Taro", "Taro"}, {"A\x01" "B\x01" "C\x01" "D", "A B, C"}, {"", ""}, {"\x01\x01", ""},
        {"\x01Yamada", "Yamada"}, {"\x01Yamada\x01" "Co", "Yamada, Co"}, {"\x01\x01" "Co", "Co"},
    };
    for (const auto& [stored, shown] : table) EXPECT_EQ(AttendeeStoredName(stored), shown) << stored;
}

TEST(ItemRowsTest, OneRowPerEntry) {
    const Store store(EveryKind(), {});
    const std::vector<MeetingItemEntry> entries = store.Entries(1);
    const std::vector<PaneRow> rows = ItemRows(entries);
    ASSERT_EQ(rows.size(), entries.size());
    EXPECT_EQ(rows[4].texts[0], "line 1");
    EXPECT_EQ(rows[4].texts[1], "");
    EXPECT_EQ(rows[4].icon, PaneIcon::kNote);
    EXPECT_EQ(rows[4].parameter, 4);
}

}  // namespace
}  // namespace tavolex
