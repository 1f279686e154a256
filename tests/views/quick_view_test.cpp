#include "views/quick_view.h"

#include "tests/support/loaded_user.h"

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
const std::string kCustom = "\x83\x4a\x83\x58\x83\x5e\x83\x80";        // カスタム
const std::string kMeetingTitle = "\x89\xef\x8b\x63\x8e\x91\x97\xbf";  // 会議資料

// An address book of one person, read from a file the way the program reads it.
class QuickViewTest : public ::testing::Test {
protected:
    std::string ItemText(const MeetingItemEntry& entry, const QuickViewFields& fields = {}) const {
        return QuickViewItemText(entry, book_, fields);
    }

    const test::LoadedUser user_{{},
                                 {{.recordId = 0x42,
                                   .lastName = "\x8e\x52\x93\x63",
                                   .firstName = "Taro",
                                   .title = "Chief",  // 山田
                                   .company = "Brenmark",
                                   .phones = {{{0, "03-1111"}, {4, "taro@example.jp"}, {7, "090-2222"}, {3, ""}, {1, "03-3333"}}},
                                   .address = "1-2-3 Ginza",
                                   .city = "Chuo",
                                   .state = "Tokyo",
                                   .zip = "104-0061",
                                   .country = "Japan",
                                   .note = "line 1\nline 2",
                                   .custom = {"c1", "c2", "", "c4"}}}};
    const AddressBook& book_ = user_.book;
};

MeetingItemEntry Attendee(bool absent, bool found) {
    return {.kind = ItemKind::kAttendee, .bAbsent = absent ? 1 : 0, .foundInAddressBook = found, .addressIndex = found ? 0 : -1};
}

TEST_F(QuickViewTest, MeetingText) {
    EXPECT_EQ(QuickViewInitialText(), "\x83\x4e\x83\x43\x83\x62\x83\x4e\x83\x72\x83\x85\x81\x5b");
    const Meeting meeting{.szDate = "2004/05/17", .szTime = "9:00 - 10:30", .szTitle = kMeetingTitle, .szLocation = "Room 5"};
    // The title underlined with a '_' per byte: four double-byte characters, eight '_'.
    EXPECT_EQ(QuickViewMeetingText(meeting), kHeading + kMeetingTitle + "\r\n________\r\n\r\n2004/05/17\r\n9:00 - 10:30\r\nRoom 5\r\n");
    // A selected entry shows the entry, one past the list the meeting (and none: the command line's
    // show, CliTest.ListingsSelectionSearchAndFailures).
    const std::vector<MeetingItemEntry> entries = {Attendee(false, true)};
    EXPECT_EQ(QuickViewText(meeting, entries, 1, book_, {}), QuickViewMeetingText(meeting));
    EXPECT_EQ(QuickViewText(meeting, entries, 0, book_, {}), ItemText(entries[0]));
}

TEST_F(QuickViewTest, ItemTexts) {
    const auto toDo = [](std::int32_t completed) {
        return MeetingItemEntry{
            .kind = ItemKind::kToDo, .fullText = "mail all", .bCompleted = completed, .nPriority = 3, .szDueDate = "2004/06/01"};
    };
    const std::string toDoHead = kHeading +
                                 "\x8d\xc5\x8f\x49\x8a\xfa\x8c\xc0: \t2004/06/01 \r\n"  // 最終期限
                                 "\x97\x44\x90\xe6\x93\x78: \t3\r\n"                    // 優先度
                                 "\x8f\x49\x97\xb9: \t\t";                              // 終了
    MeetingItemEntry stale = Attendee(false, true);
    stale.addressIndex = 5;  // the book was reloaded smaller
    const QuickViewFields none = QuickViewFieldsFromSettings([](std::string_view) { return false; });
    // Only the fields whose setting is on are shown, each asked for by its setting's name.
    const QuickViewFields some = QuickViewFieldsFromSettings(
        [](std::string_view name) { return name == "rTitle" || name == "rPhone2" || name == "rCustom4" || name == "rAddrNote"; });
    const struct {
        MeetingItemEntry entry;
        std::string expected;
        QuickViewFields fields = {};
    } table[] = {
        {{.kind = ItemKind::kAgenda, .fullText = "Budget\r\nfigures", .discussed = 1},
         kHeading + "(\x93\xa2\x98\x5f\x8d\xcf)\r\n\r\nBudget\r\nfigures"},  // (討論済)
        {{.kind = ItemKind::kAgenda, .fullText = "Budget\r\nfigures"},
         kHeading + "(\x96\xa2\x93\xa2\x98\x5f)\r\n\r\nBudget\r\nfigures"},  // (未討論)
        {{.kind = ItemKind::kNote, .displayText = "line 1", .fullText = "line 1\r\nline 2"}, kHeading + "line 1\r\nline 2"},
        {{.kind = ItemKind::kSketch, .displayText = "board"}, kHeading + "board\r\n\r\n "},
        {toDo(0), toDoHead + "X\r\n\r\nmail all"},
        {toDo(1), toDoHead + "O\r\n\r\nmail all"},
        {toDo(2), toDoHead + "X\r\n\r\nmail all"},  // only 1 counts as completed
        {Attendee(true, false), kHeading + kAbsent + "\r\n\r\n" + kNotInBook},
        {Attendee(false, false), kHeading + kNotInBook},
        {stale, kHeading + kNotInBook},
        {Attendee(false, true), kHeading + "\r\n", none},
        {Attendee(true, true), kHeading + kAbsent + "\r\n\r\n\r\n", none},
        {Attendee(false, true),
         kHeading + "\x8c\xa8\x8f\x91\x82\xab: \tChief\r\nE-mail: \ttaro@example.jp\r\n" + kCustom +
             " 4: \tc4\r\n\x83\x81\x83\x82: line 1\r\nline 2\r\n\r\n",
         some},
        // Every field: 姓, 名, 肩書き, 会社名, 会社電話, E-mail, モバイル, その他, 自宅電話, 住所, 市町村, 都道府県,
        // 郵便番号, 国, カスタム 1 ... 4, メモ.
        {Attendee(false, true), kHeading +
                                    "\x90\xa9: \t\t\x8e\x52\x93\x63\r\n\x96\xbc: \t\tTaro\r\n"
                                    "\x8c\xa8\x8f\x91\x82\xab: \tChief\r\n\x89\xef\x8e\xd0\x96\xbc: \tBrenmark\r\n"
                                    "\x89\xef\x8e\xd0\x93\x64\x98\x62: \t03-1111\r\nE-mail: \ttaro@example.jp\r\n"
                                    "\x83\x82\x83\x6f\x83\x43\x83\x8b: \t090-2222\r\n\x82\xbb\x82\xcc\x91\xbc: \t\r\n"
                                    "\x8e\xa9\x91\xee\x93\x64\x98\x62: \t03-3333\r\n\x8f\x5a\x8f\x8a: \t\t1-2-3 Ginza\r\n"
                                    "\x8e\x73\x92\xac\x91\xba: \tChuo\r\n\x93\x73\x93\xb9\x95\x7b\x8c\xa7: \tTokyo\r\n"
                                    "\x97\x58\x95\xd6\x94\xd4\x8d\x86: \t104-0061\r\n\x8d\x91: \t\tJapan\r\n" +
                                    kCustom + " 1: \tc1\r\n" + kCustom + " 2: \tc2\r\n" + kCustom + " 3: \t\r\n" + kCustom +
                                    " 4: \tc4\r\n\x83\x81\x83\x82: line 1\r\nline 2\r\n\r\n"},
    };
    for (const auto& row : table) EXPECT_EQ(ItemText(row.entry, row.fields), row.expected);
}

}  // namespace
}  // namespace tavolex
