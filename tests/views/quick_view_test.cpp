#include "views/quick_view.h"

#include "address_book/address_book.h"
#include "tests/support/address_book_writer.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavolex {
namespace {

// The texts as CP932 bytes, written out here so a wrong table entry shows.
// クイックビュー and two line breaks
const std::string kHeading = "\x83\x4e\x83\x43\x83\x62\x83\x4e\x83\x72\x83\x85\x81\x5b\r\n\r\n";
const std::string kAbsent = "\x8c\x87\x90\xc8";  // 欠席
// その他の情報は使えません。\r\nアドレス帳より削除されています｡
const std::string kNotInBook =
    "\x82\xbb\x82\xcc\x91\xbc\x82\xcc\x8f\xee\x95\xf1\x82\xcd\x8e\x67\x82\xa6\x82\xdc\x82\xb9\x82\xf1\x81\x42"
    "\r\n\x83\x41\x83\x68\x83\x8c\x83\x58\x92\xa0\x82\xe6\x82\xe8\x8d\xed\x8f\x9c\x82\xb3\x82\xea\x82\xc4\x82"
    "\xa2\x82\xdc\x82\xb7\xa1";

// An address book of one person, read from a file the way the program reads it.
class OnePersonBook {
public:
    OnePersonBook() : book_(dir_ / "address.dat") {
        test::AddressBookPerson person;
        person.recordId = 0x42;
        person.lastName = "\x8e\x52\x93\x63";  // 山田
        person.firstName = "Taro";
        person.title = "Chief";
        person.company = "Brenmark";
        person.phones = {{{0, "03-1111"}, {4, "taro@example.jp"}, {7, "090-2222"}, {3, ""}, {1, "03-3333"}}};
        person.address = "1-2-3 Ginza";
        person.city = "Chuo";
        person.state = "Tokyo";
        person.zip = "104-0061";
        person.country = "Japan";
        person.note = "line 1\nline 2";
        person.custom = {"c1", "c2", "", "c4"};
        test::WriteAddressBook(dir_ / "address.dat", {person});
        book_.Reload();
    }
    const AddressBook& Book() const { return book_; }

private:
    test::TempDir dir_;
    AddressBook book_;
};

MeetingItemEntry Attendee(bool absent, bool found) {
    MeetingItemEntry entry;
    entry.kind = ItemKind::kAttendee;
    entry.bAbsent = absent ? 1 : 0;
    entry.foundInAddressBook = found;
    entry.addressIndex = found ? 0 : -1;
    return entry;
}

QuickViewFields NoFields() {
    return QuickViewFieldsFromSettings([](std::string_view) { return false; });
}

TEST(QuickViewTest, InitialTextAndUnderline) {
    EXPECT_EQ(QuickViewInitialText(), "\x83\x4e\x83\x43\x83\x62\x83\x4e\x83\x72\x83\x85\x81\x5b");
    // Four double-byte characters, eight bytes, eight '_'.
    EXPECT_EQ(QuickViewUnderline("\x89\xef\x8b\x63\x8e\x91\x97\xbf"), "\r\n________\r\n\r\n");  // 会議資料
    EXPECT_EQ(QuickViewUnderline(""), "\r\n\r\n\r\n");
}

TEST(QuickViewTest, Meeting) {
    Meeting meeting;
    meeting.szTitle = "\x89\xef\x8b\x63\x8e\x91\x97\xbf";
    meeting.szDate = "2004/05/17";
    meeting.szTime = "9:00 - 10:30";
    meeting.szLocation = "Room 5";
    EXPECT_EQ(QuickViewMeetingText(meeting),
              kHeading + "\x89\xef\x8b\x63\x8e\x91\x97\xbf\r\n________\r\n\r\n"
                         "2004/05/17\r\n9:00 - 10:30\r\nRoom 5\r\n");
    const OnePersonBook book;
    const std::vector<MeetingItemEntry> entries = {Attendee(false, true)};
    EXPECT_EQ(QuickViewText(meeting, entries, -1, book.Book(), {}), QuickViewMeetingText(meeting));
    EXPECT_EQ(QuickViewText(meeting, entries, 1, book.Book(), {}), QuickViewMeetingText(meeting));
    EXPECT_EQ(QuickViewText(meeting, entries, 0, book.Book(), {}), QuickViewItemText(entries[0], book.Book(), {}));
}

TEST(QuickViewTest, AgendaNoteAndSketch) {
    const OnePersonBook book;
    MeetingItemEntry agenda;
    agenda.kind = ItemKind::kAgenda;
    agenda.discussed = 1;
    agenda.fullText = "Budget\r\nfigures";
    EXPECT_EQ(QuickViewItemText(agenda, book.Book(), {}),
              kHeading + "(\x93\xa2\x98\x5f\x8d\xcf)\r\n\r\nBudget\r\nfigures");  // (討論済)
    agenda.discussed = 0;
    EXPECT_EQ(QuickViewItemText(agenda, book.Book(), {}),
              kHeading + "(\x96\xa2\x93\xa2\x98\x5f)\r\n\r\nBudget\r\nfigures");  // (未討論)

    MeetingItemEntry note;
    note.kind = ItemKind::kNote;
    note.displayText = "line 1";
    note.fullText = "line 1\r\nline 2";
    EXPECT_EQ(QuickViewItemText(note, book.Book(), {}), kHeading + "line 1\r\nline 2");

    MeetingItemEntry sketch;
    sketch.kind = ItemKind::kSketch;
    sketch.displayText = "board";
    EXPECT_EQ(QuickViewItemText(sketch, book.Book(), {}), kHeading + "board\r\n\r\n ");
}

TEST(QuickViewTest, OpenToDoWithPriorityThree) {
    const OnePersonBook book;
    MeetingItemEntry toDo;
    toDo.kind = ItemKind::kToDo;
    toDo.nPriority = 3;
    toDo.bCompleted = 0;
    toDo.szDueDate = "2004/06/01";
    toDo.szDueTime = "";
    toDo.fullText = "mail all";
    EXPECT_EQ(QuickViewItemText(toDo, book.Book(), {}),
              kHeading + "\x8d\xc5\x8f\x49\x8a\xfa\x8c\xc0: \t2004/06/01 \r\n"  // 最終期限
                         "\x97\x44\x90\xe6\x93\x78: \t3\r\n"                      // 優先度
                         "\x8f\x49\x97\xb9: \t\tX\r\n\r\nmail all");              // 終了
    toDo.bCompleted = 1;
    EXPECT_NE(QuickViewItemText(toDo, book.Book(), {}).find("\x8f\x49\x97\xb9: \t\tO\r\n\r\n"), std::string::npos);
    toDo.bCompleted = 2;  // only 1 counts as completed
    EXPECT_NE(QuickViewItemText(toDo, book.Book(), {}).find(": \t\tX\r\n"), std::string::npos);
}

TEST(QuickViewTest, AttendeeMissingFromTheBookOrWithEveryFieldOff) {
    const OnePersonBook book;
    MeetingItemEntry stale = Attendee(false, true);
    stale.addressIndex = 5;  // the book was reloaded smaller
    const struct {
        MeetingItemEntry entry;
        QuickViewFields fields;
        std::string expected;
    } table[] = {
        {Attendee(true, false), {}, kHeading + kAbsent + "\r\n\r\n" + kNotInBook},
        {Attendee(false, false), {}, kHeading + kNotInBook},
        {stale, {}, kHeading + kNotInBook},
        {Attendee(false, true), NoFields(), kHeading + "\r\n"},
        {Attendee(true, true), NoFields(), kHeading + kAbsent + "\r\n\r\n\r\n"},
    };
    for (const auto& row : table) EXPECT_EQ(QuickViewItemText(row.entry, book.Book(), row.fields), row.expected);
}

TEST(QuickViewTest, AttendeeWithEveryAddressSettingOn) {
    const OnePersonBook book;
    EXPECT_EQ(QuickViewItemText(Attendee(false, true), book.Book(), QuickViewFields{}),
              kHeading +
                  "\x90\xa9: \t\t\x8e\x52\x93\x63\r\n"                  // 姓
                  "\x96\xbc: \t\tTaro\r\n"                              // 名
                  "\x8c\xa8\x8f\x91\x82\xab: \tChief\r\n"               // 肩書き
                  "\x89\xef\x8e\xd0\x96\xbc: \tBrenmark\r\n"            // 会社名
                  "\x89\xef\x8e\xd0\x93\x64\x98\x62: \t03-1111\r\n"     // 会社電話
                  "E-mail: \ttaro@example.jp\r\n"
                  "\x83\x82\x83\x6f\x83\x43\x83\x8b: \t090-2222\r\n"    // モバイル
                  "\x82\xbb\x82\xcc\x91\xbc: \t\r\n"                    // その他
                  "\x8e\xa9\x91\xee\x93\x64\x98\x62: \t03-3333\r\n"     // 自宅電話
                  "\x8f\x5a\x8f\x8a: \t\t1-2-3 Ginza\r\n"               // 住所
                  "\x8e\x73\x92\xac\x91\xba: \tChuo\r\n"                // 市町村
                  "\x93\x73\x93\xb9\x95\x7b\x8c\xa7: \tTokyo\r\n"       // 都道府県
                  "\x97\x58\x95\xd6\x94\xd4\x8d\x86: \t104-0061\r\n"    // 郵便番号
                  "\x8d\x91: \t\tJapan\r\n"                             // 国
                  "\x83\x4a\x83\x58\x83\x5e\x83\x80 1: \tc1\r\n"        // カスタム 1
                  "\x83\x4a\x83\x58\x83\x5e\x83\x80 2: \tc2\r\n"
                  "\x83\x4a\x83\x58\x83\x5e\x83\x80 3: \t\r\n"
                  "\x83\x4a\x83\x58\x83\x5e\x83\x80 4: \tc4\r\n"
                  "\x83\x81\x83\x82: line 1\r\nline 2\r\n"              // メモ
                  "\r\n");
}

TEST(QuickViewFieldsTest, FilledFromSettingsByName) {
    std::vector<std::string> asked;
    const QuickViewFields fields = QuickViewFieldsFromSettings([&asked](std::string_view name) {
        asked.emplace_back(name);
        return name == "rTitle" || name == "rPhone2" || name == "rCustom4" || name == "rAddrNote";
    });
    EXPECT_EQ(asked, std::vector<std::string>(kQuickViewSettingNames.begin(), kQuickViewSettingNames.end()));
    EXPECT_FALSE(fields.lastName);
    EXPECT_TRUE(fields.title);
    EXPECT_EQ(fields.phones, (std::array<bool, 5>{false, true, false, false, false}));
    EXPECT_EQ(fields.customs, (std::array<bool, 4>{false, false, false, true}));
    EXPECT_TRUE(fields.addrNote);
    EXPECT_FALSE(fields.country);

    const OnePersonBook book;
    EXPECT_EQ(QuickViewItemText(Attendee(false, true), book.Book(), fields),
              kHeading + "\x8c\xa8\x8f\x91\x82\xab: \tChief\r\nE-mail: \ttaro@example.jp\r\n"
                         "\x83\x4a\x83\x58\x83\x5e\x83\x80 4: \tc4\r\n\x83\x81\x83\x82: line 1\r\nline 2\r\n\r\n");
}

}  // namespace
}  // namespace tavolex
