#pragma once
// The unpackers of the seven record types: each turns the body of one handheld record (big-endian
// numbers, NUL-terminated CP932 texts) into the fields of its record object. The record's dwDBID
// is set by the loader beforehand.

#include "meeting_store/date_format.h"
#include "meeting_store/records.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tavolex {

// One record body as the record buffer holds it. `bytes` runs from the body's position to the end
// of the record buffer; the record buffer holds zeros past the record, so a body shorter than its
// fields reads them as zero and its texts as empty.
struct RecordBody {
    std::span<const std::uint8_t> bytes;
    std::size_t length = 0;   // the body length of the record header (total length - 38)
    std::size_t dataEnd = 0;  // how many of `bytes` came from the file; the rest are zero
};

// Formatted dates and times of one load, so that a file of many records calls the locale's
// formatter once per distinct value. The texts are those of date_format.h, made in the locale of
// the moment of the load.
class DateTextCache {
public:
    const std::string& MeetingDate(HandheldDate date);
    const std::string& DueDate(HandheldDate date);
    const std::string& TimeRange(std::uint8_t startHour, std::uint8_t startMinute, std::uint8_t endHour,
                                 std::uint8_t endMinute);
    const std::string& DueTime(std::uint8_t hour, std::uint8_t minute);

private:
    std::unordered_map<std::uint32_t, std::string> meetingDates_;
    std::unordered_map<std::uint32_t, std::string> dueDates_;
    std::unordered_map<std::uint32_t, std::string> timeRanges_;
    std::unordered_map<std::uint32_t, std::string> dueTimes_;
};

// The name of category `index` in a database's app-info block: the NUL-terminated text of the
// 16-byte slot at 56 + 16 * index, ending at the block's end at the latest. Empty when the slot
// lies outside the block (or there is no block).
[[nodiscard]] std::string_view CategoryName(std::span<const std::uint8_t> appInfo, std::uint32_t index);

void UnpackMeeting(const RecordBody& body, std::string_view category, DateTextCache& dates, Meeting& meeting);
void UnpackAgenda(const RecordBody& body, Agenda& agenda);
void UnpackNote(const RecordBody& body, Note& note);
void UnpackToDo(const RecordBody& body, DateTextCache& dates, ToDo& toDo);
// The bitmap of a sketch body: from the first even body offset after the title's NUL to the end of
// the record's bytes; empty when the record ends before it.
[[nodiscard]] std::span<const std::uint8_t> SketchBitmap(const RecordBody& body);
// The sketch's bitmap is kept in the arena when one is given (a store's load), else on its own.
void UnpackSketch(const RecordBody& body, Sketch& sketch, SketchArena* arena = nullptr);
void UnpackAttendee(const RecordBody& body, Attendee& attendee);
// Allocates the child array; the caller traces it.
void UnpackLink(const RecordBody& body, Link& link);

}  // namespace tavolex
