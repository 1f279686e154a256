#pragma once
// Questions asked across meetings rather than of one: every to-do of the chosen meetings, and
// everyone who attended them. Built once here for the command line, the archive and the window.
//
// A due date the calendar does not have (a damaged record) has no ISO text and sorts with the
// to-dos that have no due date. A person is one address-book entry where an attendee is linked to
// one; an attendee that is not is the person whose name, folded as the search folds it (NFKC and
// case folding), is the same as its stored name (last and first name, the company aside), so an
// unlinked or half-width spelling of a linked attendee's stored name is that same person.

#include "meeting_store/meeting_database.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavolex {

class AddressBook;

struct ToDoRow {
    std::int32_t meetingIndex = 0;  // 0-based store position
    std::uint32_t meetingId = 0;
    std::optional<std::string> meetingDate;  // ISO
    std::string meetingTitle;                // UTF-8
    MeetingItem item;                        // the to-do's place in the store
    std::uint32_t id = 0;                    // the to-do's handheld record id
    std::optional<std::string> dueDate;      // ISO; none without one or for a damaged one
    std::optional<std::string> dueTime;      // "HH:MM"
    std::int32_t priority = 0;
    bool done = false;
    std::string text;  // UTF-8, whole
};

enum class ToDoOrder {
    kOpenFirst,  // open before done, then by due date (none last)
    kDue,        // by due date (none last)
    kPriority,   // by priority, then by due date
    kMeeting,    // by meeting, then handheld order
};

// The to-dos of the meetings at `indexes` (0-based store positions), in that order, each
// meeting's in handheld order.
[[nodiscard]] std::vector<ToDoRow> CollectToDos(const MeetingDatabase& store, const std::vector<std::int32_t>& indexes);

// Sorts rows; ties keep the order they had.
void SortToDos(std::vector<ToDoRow>& rows, ToDoOrder order);

struct Attendance {
    std::int32_t meetingIndex = 0;
    bool absent = false;  // listed, but absent from this meeting
};

struct Person {
    std::string name;     // UTF-8: the address book's name where linked, else the stored name first met
    std::string company;  // UTF-8
    std::optional<std::uint32_t> addressId;  // the linked address-book record's id
    std::vector<Attendance> meetings;        // in the order of the meetings given, each once
    std::int32_t attended = 0;
    std::int32_t absent = 0;
    std::optional<std::string> first;  // ISO dates of the earliest and latest meeting listed (valid dates only)
    std::optional<std::string> last;
};

// Everyone listed as an attendee of the meetings at `indexes`, ordered by name folded (ties in
// the order they were first met). A person listed twice in one meeting is there once, present
// if either listing says so.
[[nodiscard]] std::vector<Person> CollectPeople(const MeetingDatabase& store, const AddressBook& book,
                                                const std::vector<std::int32_t>& indexes);

// The people whose name holds the UTF-8 text, compared as the search compares.
[[nodiscard]] std::vector<Person> PeopleMatching(std::vector<Person> people, std::string_view utf8);

}  // namespace tavolex
