#pragma once
// The in-memory records of the seven handheld databases and the per-meeting maps built from the
// Link records. Records are created by MeetingDatabase when a file is loaded and are read-only
// afterwards; texts are CP932 bytes exactly as the handheld stored them.
//
// Text fields keep the handheld's field capacities as limits (a capacity counts the terminating
// NUL, so a text holds at most capacity - 1 bytes; longer texts are cut) without reserving them.

#include "sketch/sketch_image.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tavolex {

// The database files, by the type code the loader is called with.
enum class DatabaseType : int {
    kMeeting = 1,
    kNote = 2,
    kSketch = 3,
    kAttendee = 4,
    kToDo = 5,
    kAgenda = 6,
    kLink = 7,
};

// The kind of item a Link child entry names (its top byte).
enum class ChildType : std::int32_t {
    kNote = 3,
    kSketch = 4,
    kToDo = 5,
    kAttendee = 6,
    kAgenda = 7,
};

// The largest number of entries in one per-meeting map.
inline constexpr std::int32_t kMaxMapEntries = 65520;

struct Meeting {
    static constexpr std::size_t kDateCapacity = 255;
    static constexpr std::size_t kTimeCapacity = 255;
    static constexpr std::size_t kTitleCapacity = 255;
    static constexpr std::size_t kCategoryCapacity = 255;
    static constexpr std::size_t kLocationCapacity = 258;

    std::uint32_t dwDBID = 0;
    std::string szDate{};  // the meeting date in the user's short date format
    std::string szTime{};  // "start - end" in the user's time format; empty without a time
    std::string szTitle{};
    std::string szCategory{};  // the name of the record's category in meeting.dat
    std::string szLocation{};
    // The record's own date and times, for texts that don't depend on the locale (ISO dates,
    // 24-hour times): the packed date, and hours of 255 where there is no time.
    std::uint16_t date = 0;
    std::uint8_t startHour = 255;
    std::uint8_t startMinute = 0;
    std::uint8_t endHour = 255;
    std::uint8_t endMinute = 0;
};

struct Agenda {
    static constexpr std::size_t kTextCapacity = 8192;

    std::uint32_t dwDBID = 0;
    std::int32_t nStatus = 0;  // 1 discussed, anything else not discussed
    std::string szText;
};

struct Note {
    static constexpr std::size_t kTextCapacity = 8192;

    std::uint32_t dwDBID = 0;
    std::string szText;  // may hold line feeds
};

struct ToDo {
    static constexpr std::size_t kDueDateCapacity = 255;
    static constexpr std::size_t kDueTimeCapacity = 255;
    static constexpr std::size_t kTextCapacity = 8192;

    std::uint32_t dwDBID = 0;
    std::int32_t bCompleted = 0;  // the completed byte: 1 completed, anything else open
    std::int32_t nPriority = 0;   // 0 ... 7
    std::string szDueDate;        // empty without a due date
    std::string szDueTime;        // empty without a due time
    std::string szText;
    // The record's own due date (year field 127: none) and time (hour 255: none).
    std::uint16_t dueDate = 0;
    std::uint8_t dueHour = 255;
    std::uint8_t dueMinute = 0;
};

struct Sketch {
    static constexpr std::size_t kTitleCapacity = 256;

    std::uint32_t dwDBID = 0;
    std::string szTitle;
    SketchImage image;
    int idOccurrence = 1;  // 1 for the store's first record of this id, 2 for the second, ...
};

struct Attendee {
    static constexpr std::size_t kTextCapacity = 8972;

    std::uint32_t dwDBID = 0;
    std::uint32_t dwAddressID = 0;  // 24-bit id of the person's Palm Desktop address record
    std::int32_t bAbsent = 0;       // 0 present, 1 absent
    std::string szText;             // first name, last name, company, separated by 0x01
};

struct Link {
    std::uint32_t dwDBID = 0;
    std::uint32_t dwMeetingDBID = 0;  // as stored; compared by its low 24 bits
    // Exactly nChildCount entries (null when there are none): child type in bits 31...24, the
    // child's unique id in bits 23...0, in the meeting's handheld order.
    std::unique_ptr<std::uint32_t[]> pdwChildDBID;
    std::int32_t nChildCount = 0;
};

// An entry of a per-type map: one item of one meeting.
struct ItemMap {
    std::uint32_t dwMeetingDBID = 0;
    std::int32_t nIndex = 0;  // position of the item's record in its type's record array
};
using AgendaMap = ItemMap;
using NoteMap = ItemMap;
using ToDoMap = ItemMap;
using SketchMap = ItemMap;
using AttendeeMap = ItemMap;

// An entry of the combined map: one item of one meeting, in the meeting's handheld order.
struct LinkMap {
    std::uint32_t dwMeetingDBID = 0;
    std::int32_t nMapIndex = 0;  // position of the entry in the per-type map of nType
    std::int32_t nType = 0;      // a ChildType value
};

inline bool operator==(const ItemMap& a, const ItemMap& b) {
    return a.dwMeetingDBID == b.dwMeetingDBID && a.nIndex == b.nIndex;
}
inline bool operator==(const LinkMap& a, const LinkMap& b) {
    return a.dwMeetingDBID == b.dwMeetingDBID && a.nMapIndex == b.nMapIndex && a.nType == b.nType;
}

}  // namespace tavolex
