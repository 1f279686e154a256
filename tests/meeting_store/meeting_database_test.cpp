#include "meeting_store/meeting_database.h"

#include "meeting_store/date_format.h"
#include "base/trace.h"
#include "meeting_store/item_walk.h"
#include "tests/support/palm_database_writer.h"
#include "tests/support/recording_debug_channel.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <tuple>

namespace tavolex {
namespace {

test::PalmUserSpec TwoMeetings() {
    test::PalmUserSpec user;
    user.categories = {"Unfiled", "Business", "Personal"};
    user.meetings.push_back({.title = "Kickoff",
                             .date = test::HandheldDay(2004, 5, 17),
                             .start = {9, 0},
                             .end = {10, 30},
                             .category = 2,
                             .items = {test::AgendaSpec{.text = "Budget", .status = 1, .id = 5}, test::NoteSpec{.text = "ok", .id = 9},
                                       test::AgendaSpec{.text = "Plan", .id = 6}, test::ToDoSpec{.text = "mail"},
                                       test::SketchSpec{.title = "board"}, test::AttendeeSpec{.nameParts = {"Taro", "Yamada"}}},
                             .id = 1});
    user.meetings.push_back({.title = "Review", .items = {test::NoteSpec{.text = "second"}}, .id = 2});
    return user;
}

class MeetingDatabaseTest : public ::testing::Test {
protected:
    // The trace goes nowhere unless a test records it: on Windows every line would reach the
    // debugger channel, which costs far more than the loads under test.
    void SetUp() override { SetTraceTargets({nullptr, nullptr, nullptr}); }

    test::TempDir dir_;
    MeetingDatabase db_{dir_.Path()};
};

TEST_F(MeetingDatabaseTest, ReloadReadsEveryFileAndLinks) {
    test::WritePalmUserFolder(dir_.Path(), TwoMeetings());
    EXPECT_EQ(db_.ReloadAll(), 0);
    EXPECT_TRUE(db_.Opened());
    ASSERT_EQ(db_.MeetingCount(), 2);
    EXPECT_EQ((std::vector{db_.LinkCount(), db_.AgendaCount(), db_.NoteCount(), db_.ToDoCount(), db_.SketchCount(), db_.AttendeeCount(),
                           db_.LinkMapCount()}),
              (std::vector{2, 2, 2, 1, 1, 1, 7}));
    EXPECT_EQ(db_.Meetings()[0]->szCategory, "Personal");

    EXPECT_EQ(db_.ItemsOf(1).size(), 6u);
    EXPECT_EQ(db_.ItemsOf(1, ChildType::kAgenda).size(), 2u);
    // In handheld order (agenda 5, note 9, agenda 6, to-do, sketch, attendee) the walk hands each
    // item's record, found by its kind, to its kind's visitor and counts them per kind.
    std::string walked;
    const ItemCounts counts = ForEachItem(db_, 1,
                                          ItemVisitor{[&](const Sketch& s, const MeetingItem&) { walked += "S:" + s.szTitle + " "; },
                                                      [&](const auto& r, const MeetingItem& i) {
                                                          walked += std::to_string(static_cast<int>(i.type)) + ":" + r.szText + " ";
                                                      }});
    EXPECT_EQ(walked, "7:Budget 3:ok 7:Plan 5:mail S:board 6:Taro\x01Yamada ");
    EXPECT_EQ((std::vector{counts.agendas, counts.notes, counts.toDos, counts.sketches, counts.attendees}),
              (std::vector<std::int64_t>{2, 1, 1, 1, 1}));
    EXPECT_EQ(db_.AgendaMapEntries(), (std::vector<AgendaMap>{{1, 0}, {1, 1}}));
    ASSERT_EQ(db_.ItemsOf(2).size(), 1u);
    EXPECT_EQ(db_.NoteOf(db_.ItemsOf(2)[0])->szText, "second");
}

// A meeting's items are found whatever the order of the meeting ids in the files.
TEST_F(MeetingDatabaseTest, ItemsAreFoundWhateverTheOrderOfTheMeetingIds) {
    test::PalmUserSpec user;
    user.meetings.push_back({.title = "later id first", .items = {test::NoteSpec{.text = "b"}, test::NoteSpec{.text = "c"}}, .id = 9});
    user.meetings.push_back({.title = "earlier id", .items = {test::NoteSpec{.text = "a"}}, .id = 4});
    test::WritePalmUserFolder(dir_.Path(), user);
    ASSERT_EQ(db_.ReloadAll(), 0);
    ASSERT_EQ(db_.ItemsOf(4).size(), 1u);
    EXPECT_EQ(db_.NoteOf(db_.ItemsOf(4)[0])->szText, "a");
    EXPECT_EQ(db_.ItemsOf(9).size(), 2u);
}

TEST_F(MeetingDatabaseTest, MissingFilesLeaveTypesEmptyAndOpenedTellsAboutAttendees) {
    EXPECT_FALSE(db_.Opened());
    EXPECT_EQ(db_.ReloadAll(), 0);
    EXPECT_EQ(db_.MeetingCount() + db_.NoteCount() + db_.LinkMapCount(), 0);

    test::WritePalmUserFolder(dir_.Path(), TwoMeetings());
    std::filesystem::remove(dir_ / "attendee.dat");
    db_.ReloadAll();
    EXPECT_FALSE(db_.Opened());
    EXPECT_EQ(db_.AttendeeCount(), 0);

    std::filesystem::remove(dir_ / "link.dat");
    test::WriteFileBytes(dir_ / "attendee.dat", "");
    db_.ReloadAll();
    EXPECT_TRUE(db_.Opened());
    EXPECT_EQ(db_.LinkMapCount(), 0);
    EXPECT_EQ(db_.AgendaCount(), 2);
}

TEST_F(MeetingDatabaseTest, StatusCodesOfDamagedFiles) {
    const test::RawDatabase note = test::BuildPalmUserDatabases(TwoMeetings()).note;
    const std::string notes = test::DatabaseBytes(note);
    const auto changed = [&note](auto change) {
        test::RawDatabase database = note;
        change(database);
        return test::DatabaseBytes(database);
    };
    const std::tuple<const char*, std::string, LoadStatus, std::int32_t> cases[] = {
        {"whole", notes, kStatusOk, 2},
        {"empty", "", kStatusOk, 0},
        {"short header", notes.substr(0, 79), kStatusBadHeader, 0},
        {"sort-info", changed([](auto& d) { d.sortInfo = "sort"; }), kStatusOk, 2},
        {"count larger than records", changed([](auto& d) { d.recordCount = 5; }), kStatusBadRecordHeader, 2},
        {"negative count", changed([](auto& d) { d.recordCount = -1; }), kStatusOk, 0},
        {"app-info past the end", changed([](auto& d) { d.appInfoSize = 0x7FFFFFFF; }), kStatusBadAppInfo, 0},
        {"sort-info past the end", changed([](auto& d) { d.sortInfoSize = 100000; }), kStatusBadSortInfo, 0},
        {"cut in a record header", notes.substr(0, 80 + 38 + 7 + 10), kStatusBadRecordHeader, 1},
        {"cut in a body", notes.substr(0, notes.size() - 2), kStatusShortRead, 1},
        {"body missing", notes.substr(0, 80 + 38 + 7 + 38), kStatusEndOfFile, 1},
    };
    for (const auto& [name, bytes, status, count] : cases) {
        test::WriteFileBytes(dir_ / "note.dat", bytes);
        EXPECT_EQ(db_.Load(DatabaseType::kNote), status) << name;
        EXPECT_EQ(db_.NoteCount(), count) << name;
    }
}

TEST_F(MeetingDatabaseTest, BodiesAreReadWithinTheRecordBuffer) {
    test::RawDatabase notes;
    notes.records.push_back({.body = "...." + test::NoteBody({.text = "shifted"}), .bodyOffset = 38 + 4});
    notes.records.push_back({.body = test::NoteBody({.text = "header"}), .uniqueId = 2, .bodyOffset = 12});
    notes.records.push_back({.body = test::NoteBody({.text = "far"}), .bodyOffset = 60000});
    notes.records.push_back({.body = test::NoteBody({.text = "outside"}), .bodyOffset = 0xFFFFFFF0});
    notes.records.push_back({.body = test::NoteBody({.text = std::string(500, 'x')})});
    notes.records.push_back({.body = std::string(4, '\0')});  // stops before its text
    notes.records.push_back({.body = test::NoteBody({.text = std::string(kRecordBufferSize - 38 - 5, 'n')})});
    test::WriteFileBytes(dir_ / "note.dat", test::DatabaseBytes(notes));
    ASSERT_EQ(db_.Load(DatabaseType::kNote), kStatusOk);
    ASSERT_EQ(db_.NoteCount(), 7);
    EXPECT_EQ(db_.Notes()[0]->szText, "shifted");
    // From offset 12 the body is the record header: after the 4 skipped bytes the text is the
    // unique id's low byte and its zero high bytes.
    EXPECT_EQ(db_.Notes()[1]->szText, "\x02");
    EXPECT_EQ(db_.Notes()[2]->szText, "");                                         // zeros past the record
    EXPECT_EQ(db_.Notes()[3]->szText, "");                                         // outside the buffer: an empty body
    EXPECT_EQ(db_.Notes()[5]->szText, "");                                         // zeros, not what the record before left in the buffer
    EXPECT_EQ(db_.Notes()[6]->szText, std::string(Note::kTextCapacity - 1, 'n'));  // the largest record is read whole, cut to its field

    // A record length outside the buffer ends the file.
    for (const std::uint32_t length : {0u, 37u, 65521u, 0xFFFFFFFFu}) {
        notes.records = {{.body = test::NoteBody({.text = "kept"})}, {.body = "bad", .totalLength = length}, {}};
        test::WriteFileBytes(dir_ / "note.dat", test::DatabaseBytes(notes));
        EXPECT_EQ(db_.Load(DatabaseType::kNote), kStatusBadRecordHeader) << length;
        ASSERT_EQ(db_.NoteCount(), 1) << length;
        EXPECT_EQ(db_.Notes()[0]->szText, "kept");
    }
    // A full store loads whole; of more records than it holds, the first 65,520 are kept.
    for (const std::int32_t count : {kMaxRecords, kMaxRecords + 3}) {
        notes.records.assign(static_cast<std::size_t>(count), {.body = test::NoteBody({})});
        for (std::size_t i = 0; i < notes.records.size(); ++i) notes.records[i].uniqueId = static_cast<std::uint32_t>(i);
        test::WriteFileBytes(dir_ / "note.dat", test::DatabaseBytes(notes));
        EXPECT_EQ(db_.Load(DatabaseType::kNote), count == kMaxRecords ? kStatusOk : kStatusBadHeader);
        ASSERT_EQ(db_.NoteCount(), kMaxRecords);
        EXPECT_EQ(db_.Notes().back()->dwDBID, static_cast<std::uint32_t>(kMaxRecords - 1));
    }
}

TEST_F(MeetingDatabaseTest, TraceReportsBuffersRecordsAndMaps) {
    test::PalmUserSpec user;
    user.meetings.push_back({.title = "m", .items = {test::NoteSpec{.text = "n"}}});
    test::WritePalmUserFolder(dir_.Path(), user);
    std::filesystem::remove(dir_ / "attendee.dat");
    test::RecordingDebugChannel channel;
    SetTraceTargets({nullptr, nullptr, &channel});
    {
        MeetingDatabase db(dir_.Path());
        db.ReloadAll();
        db.Release();
    }
    SetTraceTargets({nullptr, nullptr, nullptr});
    // Every buffer, record and map traced as made is traced as released, at the same address.
    std::multiset<std::string> made, released;
    const std::regex line("(MALLOC|NEW|FREED|FREE|DELETED) [^ ]+ = (0x[0-9a-f]{8,16})");
    for (const std::string& piece : channel.pieces) {
        std::smatch m;
        if (std::regex_match(piece, m, line)) (m[1] == "MALLOC" || m[1] == "NEW" ? made : released).insert(m[2]);
    }
    EXPECT_FALSE(made.empty());
    EXPECT_EQ(made, released);
}

TEST_F(MeetingDatabaseTest, SingleLoadReplacesTheTypeAndReleasedStoreReadsNothing) {
    test::WritePalmUserFolder(dir_.Path(), TwoMeetings());
    db_.ReloadAll();
    test::WriteFileBytes(dir_ / "agenda.dat", "");
    EXPECT_EQ(db_.Load(DatabaseType::kAgenda), kStatusOk);
    EXPECT_EQ(db_.AgendaCount(), 0);
    EXPECT_EQ(db_.LinkMapCount(), 0);  // stale maps are dropped
    db_.BuildMaps();
    EXPECT_EQ(db_.LinkMapCount(), 5);
    // A file that can't be opened changes nothing.
    std::filesystem::remove(dir_ / "note.dat");
    EXPECT_EQ(db_.Load(DatabaseType::kNote), kStatusCannotOpen);
    EXPECT_EQ(db_.NoteCount(), 2);
    EXPECT_EQ(db_.LinkMapCount(), 5);

    test::WritePalmUserFolder(dir_.Path(), TwoMeetings());
    db_.ReloadAll();
    db_.Release();
    EXPECT_EQ((std::vector{db_.MeetingCount(), db_.LinkCount(), db_.AgendaCount(), db_.NoteCount(), db_.ToDoCount(), db_.SketchCount(),
                           db_.AttendeeCount(), db_.LinkMapCount()}),
              std::vector<std::int32_t>(8, 0));
    EXPECT_EQ(db_.ReloadAll(), 0);
    EXPECT_EQ(db_.MeetingCount() + db_.AgendaCount(), 0);
}

}  // namespace
}  // namespace tavolex
