#include "meeting_store/record_unpack.h"

#include "base/byte_reader.h"

#include <memory>

namespace tavolex {
namespace {

constexpr std::size_t kCategoriesOffset = 56;
constexpr std::size_t kCategorySlot = 16;
constexpr std::uint32_t kLowId = 0xFFFFFF;

template <class Format>
const std::string& Cached(std::unordered_map<std::uint32_t, std::string>& cache, std::uint32_t key, Format format) {
    auto found = cache.find(key);
    if (found == cache.end()) found = cache.emplace(key, format()).first;
    return found->second;
}

// Formatted texts are at most 254 bytes already; the cut keeps the field limit whatever the
// locale's formatter returns.
void AssignLimited(std::string& field, std::string_view text, std::size_t capacity) {
    field.assign(text.substr(0, capacity - 1));
}

}  // namespace

const std::string& DateTextCache::MeetingDate(HandheldDate date) {
    return Cached(meetingDates_, date, [date] { return FormatMeetingDate(date); });
}

const std::string& DateTextCache::DueDate(HandheldDate date) {
    return Cached(dueDates_, date, [date] { return FormatDueDate(date); });
}

const std::string& DateTextCache::TimeRange(std::uint8_t startHour, std::uint8_t startMinute, std::uint8_t endHour,
                                            std::uint8_t endMinute) {
    const std::uint32_t key = (std::uint32_t{startHour} << 24) | (std::uint32_t{startMinute} << 16) |
                              (std::uint32_t{endHour} << 8) | endMinute;
    return Cached(timeRanges_, key, [=] { return FormatTimeRange(startHour, startMinute, endHour, endMinute); });
}

const std::string& DateTextCache::DueTime(std::uint8_t hour, std::uint8_t minute) {
    const std::uint32_t key = (std::uint32_t{hour} << 8) | minute;
    return Cached(dueTimes_, key, [=] { return FormatDueTime(hour, minute); });
}

std::string_view CategoryName(std::span<const std::uint8_t> appInfo, std::uint32_t index) {
    const std::uint64_t slot = kCategoriesOffset + std::uint64_t{kCategorySlot} * index;
    if (slot >= appInfo.size()) return {};
    ByteReader reader(appInfo);
    reader.Skip(static_cast<std::size_t>(slot));
    const std::span<const std::uint8_t> rest = reader.Rest();
    std::size_t length = 0;
    while (length < rest.size() && rest[length] != 0) ++length;
    return {reinterpret_cast<const char*>(rest.data()), length};
}

void UnpackMeeting(const RecordBody& body, std::string_view category, DateTextCache& dates, Meeting& meeting) {
    ByteReader reader(body.bytes);
    reader.Skip(4);  // the meeting's Link id: the maps are built from the Link side
    const std::uint8_t startHour = reader.U8();
    const std::uint8_t startMinute = reader.U8();
    const std::uint8_t endHour = reader.U8();
    const std::uint8_t endMinute = reader.U8();
    const HandheldDate date = reader.U16Be();
    reader.Skip(2);
    reader.CString(meeting.szTitle, Meeting::kTitleCapacity);
    reader.CString(meeting.szLocation, Meeting::kLocationCapacity);
    AssignLimited(meeting.szDate, dates.MeetingDate(date), Meeting::kDateCapacity);
    AssignLimited(meeting.szTime, dates.TimeRange(startHour, startMinute, endHour, endMinute), Meeting::kTimeCapacity);
    AssignLimited(meeting.szCategory, category, Meeting::kCategoryCapacity);
    meeting.date = date;
    meeting.startHour = startHour;
    meeting.startMinute = startMinute;
    meeting.endHour = endHour;
    meeting.endMinute = endMinute;
}

void UnpackAgenda(const RecordBody& body, Agenda& agenda) {
    ByteReader reader(body.bytes);
    reader.Skip(6);
    agenda.nStatus = reader.U8();
    reader.CString(agenda.szText, Agenda::kTextCapacity);
}

void UnpackNote(const RecordBody& body, Note& note) {
    ByteReader reader(body.bytes);
    reader.Skip(4);
    reader.CString(note.szText, Note::kTextCapacity);
}

void UnpackToDo(const RecordBody& body, DateTextCache& dates, ToDo& toDo) {
    ByteReader reader(body.bytes);
    reader.Skip(4);
    toDo.bCompleted = reader.U8();
    toDo.nPriority = reader.U8() & 7;
    const HandheldDate dueDate = reader.U16Be();
    const std::uint8_t dueHour = reader.U8();
    const std::uint8_t dueMinute = reader.U8();
    reader.Skip(2);
    reader.CString(toDo.szText, ToDo::kTextCapacity);
    AssignLimited(toDo.szDueDate, dates.DueDate(dueDate), ToDo::kDueDateCapacity);
    AssignLimited(toDo.szDueTime, dates.DueTime(dueHour, dueMinute), ToDo::kDueTimeCapacity);
    toDo.dueDate = dueDate;
    toDo.dueHour = dueHour;
    toDo.dueMinute = dueMinute;
}

std::span<const std::uint8_t> SketchBitmap(const RecordBody& body) {
    ByteReader reader(body.bytes);
    reader.Skip(6);
    std::string title;
    reader.CString(title, 1);
    const std::size_t bitmapStart = (reader.Offset() + 1) & ~std::size_t{1};
    if (!reader.Ok() || bitmapStart >= body.dataEnd) return {};
    return body.bytes.subspan(bitmapStart, body.dataEnd - bitmapStart);
}

void UnpackSketch(const RecordBody& body, Sketch& sketch, SketchArena* arena) {
    ByteReader reader(body.bytes);
    reader.Skip(6);
    reader.CString(sketch.szTitle, Sketch::kTitleCapacity);
    sketch.image.Assign(SketchBitmap(body), arena);
}

void UnpackAttendee(const RecordBody& body, Attendee& attendee) {
    ByteReader reader(body.bytes);
    reader.Skip(4);
    const std::uint32_t word = reader.U32Be();
    attendee.dwAddressID = word & kLowId;
    attendee.bAbsent = static_cast<std::int32_t>(word >> 31);
    reader.CString(attendee.szText, Attendee::kTextCapacity);
}

void UnpackLink(const RecordBody& body, Link& link) {
    ByteReader reader(body.bytes);
    link.dwMeetingDBID = reader.U32Be();
    // The child entries end at the first zero entry or at the end of the body, whichever is first.
    const std::size_t end = body.length < body.bytes.size() ? body.length : body.bytes.size();
    ByteReader entries(body.bytes.first(end));
    entries.Skip(4);
    ByteReader counter = entries;
    std::int32_t count = 0;
    while (counter.Remaining() >= 4 && counter.U32Be() != 0) ++count;
    link.nChildCount = count;
    link.pdwChildDBID.reset();
    if (count == 0) return;
    link.pdwChildDBID = std::make_unique<std::uint32_t[]>(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) link.pdwChildDBID[static_cast<std::size_t>(i)] = entries.U32Be();
}

}  // namespace tavolex
