#include "meeting_store/record_unpack.h"

#include "base/status.h"

#include "tests/support/palm_database_writer.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <vector>

namespace tavolex {
namespace {

using test::HandheldDay;

// A body as the loader hands it over: the record's bytes followed by zeros up to the end of the
// record buffer.
class Body {
public:
    explicit Body(const std::string& bytes) : buffer_(kRecordBufferSize, 0) {
        std::copy(bytes.begin(), bytes.end(), buffer_.begin());
        body_.bytes = buffer_;
        body_.length = bytes.size();
        body_.dataEnd = bytes.size();
    }
    operator const RecordBody&() const { return body_; }

private:
    std::vector<std::uint8_t> buffer_;
    RecordBody body_;
};

// A whole meeting's fields are read as the command line's listing shows them
// (CliTest.ListingsSelectionSearchAndFailures); here, a body cut short replaces what the last one left.
TEST(RecordUnpackTest, MeetingAndToDoFieldsAndTexts) {
    DateTextCache dates;
    Meeting meeting;
    meeting.szTime = meeting.szLocation = "stale";
    std::string bytes = test::MeetingBody({.title = "T"}, 0);
    bytes.pop_back();  // the body ends right after the title's NUL: no time, no location
    UnpackMeeting(Body(bytes), "", dates, meeting);
    EXPECT_EQ(meeting.szTime, "");
    EXPECT_EQ(meeting.szLocation, "");

    ToDo toDo;
    UnpackToDo(
        Body(test::ToDoBody({.text = "call", .priority = 0xFB, .dueDate = HandheldDay(2005, 2, 28), .due = {14, 5}, .completed = 1})),
        dates, toDo);
    EXPECT_EQ(std::tuple(toDo.nPriority, toDo.bCompleted, toDo.szText, toDo.szDueDate, toDo.szDueTime),
              std::tuple(3, 1, "call", FormatDueDate(HandheldDay(2005, 2, 28)), FormatDueTime(14, 5)));
}

// Damaged records carry minutes up to 255: no two times may share a cached text.
TEST(DateTextCacheTest, DifferentTimesNeverShareAText) {
    const std::array<std::uint8_t, 4> ranges[] = {{9, 0, 10, 30}, {8, 128, 10, 30}, {9, 0, 9, 128},
                                                  {9, 0, 10, 30}, {9, 1, 10, 0},    {9, 0, 138, 0}};
    DateTextCache dates;
    for (const auto& [h, m, eh, em] : ranges) {
        EXPECT_EQ(dates.TimeRange(h, m, eh, em), FormatTimeRange(h, m, eh, em)) << int{h} << ":" << int{m};
        EXPECT_EQ(dates.DueTime(h, m), FormatDueTime(h, m));
    }
}

// Agendas and notes are read as the item list shows them (MeetingItemEntriesTest.EveryKindInHandheldOrder);
// an attendee's flag and address id share one 32-bit field.
TEST(RecordUnpackTest, AttendeeAgendaAndNote) {
    Attendee attendee;
    UnpackAttendee(Body(std::string(4, '\0') + std::string("\x80\x00\x01\x23", 4) + "A\x01\x42"), attendee);
    EXPECT_EQ(std::tuple(attendee.bAbsent, attendee.dwAddressID, attendee.szText), std::tuple(1, 0x123u, "A\x01\x42"));
}

TEST(RecordUnpackTest, SketchBitmapStartsAtTheNextEvenOffset) {
    // Titles of 4 and 5 bytes both put the bitmap at body offset 12; it runs to the record's end.
    for (const std::string title : {"abcd", "abcde"}) {
        std::string bytes = std::string(6, '\0') + title + '\0';
        bytes.resize(12, '\0');
        bytes += "BITMAP";
        const Body body(bytes);
        const std::span<const std::uint8_t> bitmap = SketchBitmap(body);
        ASSERT_EQ(bitmap.size(), 6u) << title;
        EXPECT_EQ(bitmap.data(), static_cast<const RecordBody&>(body).bytes.data() + 12) << title;
        Sketch sketch;
        UnpackSketch(body, sketch);
        EXPECT_EQ(sketch.szTitle, title);
    }
    // A title that runs to the record's end leaves no bitmap.
    EXPECT_TRUE(SketchBitmap(Body(std::string(6, '\0') + "title")).empty());
}

TEST(RecordUnpackTest, LinkChildrenEndAtZeroOrBodyEnd) {
    Link link;
    UnpackLink(Body(test::LinkBody(5, {0x07000012, 0x03000009, 0, 0x07000013})), link);
    ASSERT_EQ(link.nChildCount, 2);
    EXPECT_EQ(link.pdwChildDBID[0], 0x07000012u);
    EXPECT_EQ(link.pdwChildDBID[1], 0x03000009u);
    // A body length that cuts the list: entries past it are not read even though bytes follow.
    Body cut(test::LinkBody(5, {0x07000012, 0x03000009, 0x05000001}));
    RecordBody shorter = cut;
    shorter.length = 4 + 4 + 3;
    UnpackLink(shorter, link);
    EXPECT_EQ(link.nChildCount, 1);
}

// A note is cut as MeetingDatabaseTest.BodiesAreReadWithinTheRecordBuffer shows.
TEST(RecordUnpackTest, TextsAreCutAtCapacityMinusOneAndEmptyBodiesGiveZeros) {
    test::MeetingSpec layout{.title = std::string(300, 't'), .location = std::string(300, 'l')};
    DateTextCache dates;
    Meeting meeting;
    UnpackMeeting(Body(test::MeetingBody(layout, 0)), std::string(400, 'c'), dates, meeting);
    // The location follows the whole title.
    EXPECT_EQ((std::array{meeting.szTitle, meeting.szLocation, meeting.szCategory}),
              (std::array{std::string(254, 't'), std::string(257, 'l'), std::string(254, 'c')}));

    const RecordBody empty;
    UnpackMeeting(empty, "", dates, meeting);
    EXPECT_EQ(meeting.szTitle, "");
    EXPECT_EQ(meeting.szTime, FormatTimeRange(0, 0, 0, 0));
}

TEST(CategoryNameTest, SlotsInsideAndOutsideTheBlock) {
    const std::string appInfo = test::CategoryAppInfo({"Unfiled", "Business", "Personal"}, 3);
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(appInfo.data()), appInfo.size());
    EXPECT_EQ(CategoryName(bytes, 2), "Personal");  // slot at offset 88
    EXPECT_EQ(CategoryName(bytes, 3), "");
    EXPECT_EQ(CategoryName(bytes.first(56 + 16 + 3), 1), "Bus");  // a name without NUL ends with the block
}

}  // namespace
}  // namespace tavolex
