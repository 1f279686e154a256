#include "meeting_store/meeting_database.h"

#include "meeting_store/date_format.h"
#include "shell/trace.h"
#include "tests/support/palm_database_writer.h"
#include "tests/support/recording_debug_channel.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <regex>

namespace tavolex {
namespace {

using test::AgendaSpec;
using test::AttendeeSpec;
using test::HandheldDay;
using test::NoteSpec;
using test::SketchSpec;
using test::ToDoSpec;

// Sends the trace to a recording channel for the test's lifetime.
class TraceRecorder {
public:
    TraceRecorder() { SetTraceTargets({nullptr, nullptr, &channel_}); }
    ~TraceRecorder() { SetTraceTargets({nullptr, nullptr, nullptr}); }

    // The trace lines, without the pieces around them.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (std::size_t i = 1; i < channel_.pieces.size(); i += 3) lines.push_back(channel_.pieces[i]);
        return lines;
    }

private:
    test::RecordingDebugChannel channel_;
};

// Replaces addresses with "ADDR" so lines compare as text.
std::vector<std::string> WithoutAddresses(const std::vector<std::string>& lines) {
    static const std::regex address("0x[0-9a-f]{8,16}");
    std::vector<std::string> out;
    for (const std::string& line : lines) out.push_back(std::regex_replace(line, address, "ADDR"));
    return out;
}

test::PalmUserSpec TwoMeetings() {
    test::PalmUserSpec user;
    user.categories = {"Unfiled", "Business", "Personal"};
    user.meetings.push_back({.title = "Kickoff",
                             .location = "Room 5",
                             .date = HandheldDay(2004, 5, 17),
                             .start = {9, 0},
                             .end = {10, 30},
                             .category = 2,
                             .items = {AgendaSpec{.text = "Budget", .status = 1, .id = 5},
                                       NoteSpec{.text = "ok", .id = 9}, AgendaSpec{.text = "Plan", .id = 6},
                                       ToDoSpec{.text = "mail", .priority = 2}, SketchSpec{.title = "board"},
                                       AttendeeSpec{.nameParts = {"Taro", "Yamada"}, .addressId = 0x42}},
                             .id = 1});
    user.meetings.push_back({.title = "Review", .items = {NoteSpec{.text = "second"}}, .id = 2});
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
    EXPECT_EQ((std::vector{db_.LinkCount(), db_.AgendaCount(), db_.NoteCount(), db_.ToDoCount(), db_.SketchCount(),
                           db_.AttendeeCount()}),
              (std::vector{2, 2, 2, 1, 1, 1}));

    const Meeting& kickoff = *db_.Meetings()[0];
    EXPECT_EQ(kickoff.dwDBID, 1u);
    EXPECT_EQ(kickoff.szTitle, "Kickoff");
    EXPECT_EQ(kickoff.szLocation, "Room 5");
    EXPECT_EQ(kickoff.szCategory, "Personal");
    EXPECT_EQ(kickoff.szDate, FormatMeetingDate(HandheldDay(2004, 5, 17)));
    EXPECT_EQ(kickoff.szTime, FormatTimeRange(9, 0, 10, 30));

    // Handheld order: agenda 5, note 9, agenda 6, to-do, sketch, attendee.
    const std::vector<MeetingItem> items = db_.ItemsOf(1);
    ASSERT_EQ(items.size(), 6u);
    const std::vector<std::pair<ChildType, std::string>> expected = {
        {ChildType::kAgenda, "Budget"}, {ChildType::kNote, "ok"},      {ChildType::kAgenda, "Plan"},
        {ChildType::kToDo, "mail"},     {ChildType::kSketch, "board"}, {ChildType::kAttendee, "Taro\x01Yamada"}};
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].type, expected[i].first) << i;
        const MeetingItem& item = items[i];
        const std::string text = db_.AgendaOf(item)     ? db_.AgendaOf(item)->szText
                                 : db_.NoteOf(item)     ? db_.NoteOf(item)->szText
                                 : db_.ToDoOf(item)     ? db_.ToDoOf(item)->szText
                                 : db_.SketchOf(item)   ? db_.SketchOf(item)->szTitle
                                 : db_.AttendeeOf(item) ? db_.AttendeeOf(item)->szText
                                                        : "";
        EXPECT_EQ(text, expected[i].second) << i;
    }
    EXPECT_EQ(db_.ToDoOf(items[3])->nPriority, 2);
    EXPECT_EQ(db_.AttendeeOf(items[5])->dwAddressID, 0x42u);

    EXPECT_EQ(db_.LinkMapCount(), 7);
    EXPECT_EQ(db_.AgendaMapCount() + db_.NoteMapCount() + db_.ToDoMapCount() + db_.SketchMapCount() +
                  db_.AttendeeMapCount(),
              db_.LinkMapCount());
    EXPECT_EQ(db_.AgendaMapEntries(), (std::vector<AgendaMap>{{1, 0}, {1, 1}}));
    const std::vector<MeetingItem> agendas = db_.ItemsOf(1, ChildType::kAgenda);
    ASSERT_EQ(agendas.size(), 2u);
    EXPECT_EQ(agendas[1].mapIndex, 1);
    ASSERT_EQ(db_.ItemsOf(2).size(), 1u);
    EXPECT_EQ(db_.NoteOf(db_.ItemsOf(2)[0])->szText, "second");
    EXPECT_TRUE(db_.ItemsOf(3).empty());
}

TEST_F(MeetingDatabaseTest, MissingFilesLeaveTypesEmptyAndOpenedTellsAboutAttendees) {
    EXPECT_EQ(db_.Load(DatabaseType::kMeeting), kStatusCannotOpen);
    EXPECT_FALSE(db_.Opened());
    EXPECT_EQ(db_.Load(static_cast<DatabaseType>(8)), kStatusCannotOpen);
    EXPECT_EQ(db_.ReloadAll(), 0);
    db_.TearDown();
    EXPECT_EQ(db_.MeetingCount() + db_.LinkCount() + db_.NoteCount() + db_.ToDoCount() + db_.AgendaCount() +
                  db_.SketchCount() + db_.AttendeeCount() + db_.LinkMapCount(),
              0);

    test::WritePalmUserFolder(dir_.Path(), TwoMeetings());
    std::filesystem::remove(dir_ / "attendee.dat");
    db_.ReloadAll();
    EXPECT_FALSE(db_.Opened());
    EXPECT_EQ(db_.AttendeeCount(), 0);
    EXPECT_EQ(db_.MeetingCount(), 2);
    EXPECT_EQ(db_.LinkMapCount(), 6);

    std::filesystem::remove(dir_ / "link.dat");
    test::WriteFileBytes(dir_ / "attendee.dat", "");
    db_.ReloadAll();
    EXPECT_TRUE(db_.Opened());
    EXPECT_EQ(db_.LinkMapCount(), 0);
    EXPECT_EQ(db_.AgendaCount(), 2);
}

TEST_F(MeetingDatabaseTest, StatusCodesOfDamagedFiles) {
    test::PalmUserDatabases dbs = test::BuildPalmUserDatabases(TwoMeetings());
    const std::string notes = test::DatabaseBytes(dbs.note);
    struct Case {
        const char* name;
        std::string bytes;
        LoadStatus status;
        std::int32_t count;
    };
    test::RawDatabase withSortInfo = dbs.note;
    withSortInfo.sortInfo = "sort";
    test::RawDatabase moreThanPresent = dbs.note;
    moreThanPresent.recordCount = 5;
    test::RawDatabase bigAppInfo = dbs.note;
    bigAppInfo.appInfoSize = 0x7FFFFFFF;
    test::RawDatabase bigSortInfo = dbs.note;
    bigSortInfo.sortInfoSize = 100000;
    test::RawDatabase negativeCount = dbs.note;
    negativeCount.recordCount = -1;
    const std::vector<Case> cases = {
        {"whole", notes, kStatusOk, 2},
        {"empty", "", kStatusOk, 0},
        {"short header", notes.substr(0, 79), kStatusBadHeader, 0},
        {"sort-info", test::DatabaseBytes(withSortInfo), kStatusOk, 2},
        {"count larger than records", test::DatabaseBytes(moreThanPresent), kStatusBadRecordHeader, 2},
        {"negative count", test::DatabaseBytes(negativeCount), kStatusOk, 0},
        {"app-info past the end", test::DatabaseBytes(bigAppInfo), kStatusBadAppInfo, 0},
        {"sort-info past the end", test::DatabaseBytes(bigSortInfo), kStatusBadSortInfo, 0},
        {"cut in a record header", notes.substr(0, 80 + 38 + 7 + 10), kStatusBadRecordHeader, 1},
        {"cut in a body", notes.substr(0, notes.size() - 2), kStatusShortRead, 1},
        {"body missing", notes.substr(0, 80 + 38 + 7 + 38), kStatusEndOfFile, 1},
    };
    for (const Case& c : cases) {
        test::WriteFileBytes(dir_ / "note.dat", c.bytes);
        EXPECT_EQ(db_.Load(DatabaseType::kNote), c.status) << c.name;
        EXPECT_EQ(db_.NoteCount(), c.count) << c.name;
        EXPECT_TRUE(db_.Opened());
    }
}

TEST_F(MeetingDatabaseTest, ShortBodyNeverSeesThePreviousRecord) {
    // A long record, then one whose body stops inside its fixed fields: the missing bytes read as
    // zero, not as what the record before left in the buffer.
    test::RawDatabase agendas;
    agendas.records.push_back({.body = test::AgendaBody({.text = std::string(500, 'x'), .status = 1}), .uniqueId = 1});
    agendas.records.push_back({.body = std::string(4, '\0'), .uniqueId = 2});
    test::WriteFileBytes(dir_ / "agenda.dat", test::DatabaseBytes(agendas));
    ASSERT_EQ(db_.Load(DatabaseType::kAgenda), kStatusOk);
    ASSERT_EQ(db_.AgendaCount(), 2);
    EXPECT_EQ(db_.Agendas()[1]->nStatus, 0);
    EXPECT_EQ(db_.Agendas()[1]->szText, "");
}

TEST_F(MeetingDatabaseTest, BodyOffsetIsHonouredWithinTheRecordBuffer) {
    test::RawDatabase notes;
    std::string body = "...." + test::NoteBody({.text = "shifted"});
    notes.records.push_back({.body = body, .uniqueId = 1, .bodyOffset = 38 + 4});
    notes.records.push_back({.body = test::NoteBody({.text = "header"}), .uniqueId = 2, .bodyOffset = 12});
    notes.records.push_back({.body = test::NoteBody({.text = "far"}), .uniqueId = 3, .bodyOffset = 60000});
    notes.records.push_back({.body = test::NoteBody({.text = "outside"}), .uniqueId = 4, .bodyOffset = 0xFFFFFFF0});
    test::WriteFileBytes(dir_ / "note.dat", test::DatabaseBytes(notes));
    ASSERT_EQ(db_.Load(DatabaseType::kNote), kStatusOk);
    ASSERT_EQ(db_.NoteCount(), 4);
    EXPECT_EQ(db_.Notes()[0]->szText, "shifted");
    // From offset 12 the body is the record header: after the 4 skipped bytes the text is the
    // unique id's low byte and its zero high bytes.
    EXPECT_EQ(db_.Notes()[1]->szText, "\x02");
    EXPECT_EQ(db_.Notes()[2]->szText, "");  // zeros past the record
    EXPECT_EQ(db_.Notes()[3]->szText, "");  // outside the buffer: an empty body
}

// The category names come from meeting.dat's app-info block (slots outside it are CategoryName's).
TEST_F(MeetingDatabaseTest, CategoriesComeFromTheMeetingFilesBlock) {
    test::PalmUserSpec user;
    user.categories = {"Unfiled", "Business"};
    user.meetings.push_back({.title = "a", .category = 1});
    test::PalmUserDatabases dbs = test::BuildPalmUserDatabases(user);
    test::WriteFileBytes(dir_ / "meeting.dat", test::DatabaseBytes(dbs.meeting));
    ASSERT_EQ(db_.Load(DatabaseType::kMeeting), kStatusOk);
    EXPECT_EQ(db_.Meetings().at(0)->szCategory, "Business");
    dbs.meeting.appInfo.clear();
    test::WriteFileBytes(dir_ / "meeting.dat", test::DatabaseBytes(dbs.meeting));
    ASSERT_EQ(db_.Load(DatabaseType::kMeeting), kStatusOk);
    EXPECT_EQ(db_.Meetings().at(0)->szCategory, "");
    EXPECT_EQ(db_.Meetings().at(0)->szTitle, "a");
}

TEST_F(MeetingDatabaseTest, RecordLengthsOutsideTheBufferEndTheFile) {
    for (const std::uint32_t length : {0u, 37u, 65521u, 0xFFFFFFFFu}) {
        test::RawDatabase notes;
        notes.records.push_back({.body = test::NoteBody({.text = "kept"}), .uniqueId = 1});
        notes.records.push_back({.body = test::NoteBody({.text = "bad"}), .uniqueId = 2, .totalLength = length});
        notes.records.push_back({.body = test::NoteBody({.text = "after"}), .uniqueId = 3});
        test::WriteFileBytes(dir_ / "note.dat", test::DatabaseBytes(notes));
        EXPECT_EQ(db_.Load(DatabaseType::kNote), kStatusBadRecordHeader) << length;
        ASSERT_EQ(db_.NoteCount(), 1) << length;
        EXPECT_EQ(db_.Notes()[0]->szText, "kept");
    }
    // The largest record the buffer holds is read whole.
    test::RawDatabase notes;
    notes.records.push_back({.body = test::NoteBody({.text = std::string(kRecordBufferSize - 38 - 5, 'n')})});
    test::WriteFileBytes(dir_ / "note.dat", test::DatabaseBytes(notes));
    EXPECT_EQ(db_.Load(DatabaseType::kNote), kStatusOk);
    ASSERT_EQ(db_.NoteCount(), 1);
    EXPECT_EQ(db_.Notes()[0]->szText.size(), Note::kTextCapacity - 1);
}

TEST_F(MeetingDatabaseTest, MoreRecordsThanTheStoreHoldsKeepsTheFirst65520) {
    test::RawDatabase links;
    links.records.resize(kMaxRecords + 3, {.body = test::LinkBody(1, {})});
    for (std::size_t i = 0; i < links.records.size(); ++i) links.records[i].uniqueId = static_cast<std::uint32_t>(i);
    test::WriteFileBytes(dir_ / "link.dat", test::DatabaseBytes(links));
    EXPECT_EQ(db_.Load(DatabaseType::kLink), kStatusBadHeader);
    ASSERT_EQ(db_.LinkCount(), kMaxRecords);
    EXPECT_EQ(db_.Links().back()->dwDBID, static_cast<std::uint32_t>(kMaxRecords - 1));
}

TEST_F(MeetingDatabaseTest, SingleLoadReplacesTheTypeAndDropsStaleMaps) {
    test::WritePalmUserFolder(dir_.Path(), TwoMeetings());
    db_.ReloadAll();
    ASSERT_EQ(db_.LinkMapCount(), 7);
    test::WriteFileBytes(dir_ / "agenda.dat", "");
    EXPECT_EQ(db_.Load(DatabaseType::kAgenda), kStatusOk);
    EXPECT_EQ(db_.AgendaCount(), 0);
    EXPECT_EQ(db_.LinkMapCount(), 0);
    db_.BuildMaps();
    EXPECT_EQ(db_.LinkMapCount(), 5);
    EXPECT_EQ(db_.AgendaMapCount(), 0);
    // A file that can't be opened changes nothing.
    std::filesystem::remove(dir_ / "note.dat");
    EXPECT_EQ(db_.Load(DatabaseType::kNote), kStatusCannotOpen);
    EXPECT_EQ(db_.NoteCount(), 2);
    EXPECT_EQ(db_.LinkMapCount(), 5);
}

TEST_F(MeetingDatabaseTest, TraceReportsBuffersRecordsAndMaps) {
    test::PalmUserSpec user;
    user.meetings.push_back({.title = "m", .items = {NoteSpec{.text = "n"}}});
    test::WritePalmUserFolder(dir_.Path(), user);
    std::filesystem::remove(dir_ / "attendee.dat");
    std::vector<std::string> lines;
    {
        TraceRecorder recorder;
        MeetingDatabase db(dir_.Path());
        db.ReloadAll();
        db.ReloadAll();
        db.Release();
        lines = WithoutAddresses(recorder.Lines());
    }
    auto fileLines = [](const char* record, bool appInfo) {
        std::vector<std::string> l;
        if (appInfo) l.push_back("MALLOC m_pAppInfo = ADDR");
        l.insert(l.end(), {"MALLOC pRecord = ADDR", "MALLOC pPalmRecord = ADDR"});
        if (std::string(record) == "Link") l.push_back("NEW d->pdwChildDBID = ADDR");
        if (*record != '\0') l.push_back(std::string("NEW ") + record + "[0] = ADDR");
        l.insert(l.end(), {"FREED pRecord = ADDR", "FREED pPalmRecord = ADDR"});
        if (appInfo) l.push_back("FREED m_pAppInfo = ADDR");
        return l;
    };
    std::vector<std::string> load;
    for (const auto& [record, appInfo] : std::vector<std::pair<const char*, bool>>{
             {"Meeting", true}, {"Link", false}, {"Note", false}, {"", false}, {"", false}, {"", false}}) {
        const std::vector<std::string> l = fileLines(record, appInfo);
        load.insert(load.end(), l.begin(), l.end());
    }
    load.insert(load.end(), {"NEW NoteMap[0] = ADDR", "NEW LinkMap[0] = ADDR"});
    const std::vector<std::string> teardown = {
        "DELETED LinkMap[0] = ADDR", "DELETED NoteMap[0] = ADDR",  "DELETED Meeting[0] = ADDR",
        "DELETED Note[0] = ADDR",    "DELETED Link[0]->pdwChildDBID[1] = ADDR", "DELETED Link[0] = ADDR"};
    std::vector<std::string> expected = {"MALLOC m_pDBInfo = ADDR"};
    expected.insert(expected.end(), load.begin(), load.end());
    expected.insert(expected.end(), teardown.begin(), teardown.end());
    expected.insert(expected.end(), load.begin(), load.end());
    expected.insert(expected.end(), teardown.begin(), teardown.end());
    expected.push_back("FREE m_pDBInfo = ADDR");
    EXPECT_EQ(lines, expected);
}

TEST_F(MeetingDatabaseTest, ReleasedStoreOpensFilesAndReadsNothing) {
    test::WritePalmUserFolder(dir_.Path(), TwoMeetings());
    db_.ReloadAll();
    db_.Release();
    EXPECT_EQ(db_.MeetingCount(), 0);
    EXPECT_EQ(db_.LinkMapCount(), 0);
    EXPECT_EQ(db_.ConstructionStatus(), kStatusOk);
    EXPECT_EQ(db_.Load(DatabaseType::kMeeting), kStatusOk);
    EXPECT_TRUE(db_.Opened());
    EXPECT_EQ(db_.MeetingCount(), 0);
    EXPECT_EQ(db_.ReloadAll(), 0);
    EXPECT_EQ(db_.NoteCount(), 0);
}

}  // namespace
}  // namespace tavolex
