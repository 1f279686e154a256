#pragma once
// The item list's entries for one meeting: its items in handheld order (the meeting's LinkMap
// entries), each with the kind, icon and texts the list and the quick view show. An attendee
// found in the address book gets one entry per matching address-book record.

#include "meeting_store/meeting_database.h"
#include "base/attendee_name.h"
#include "views/pane_layout.h"
#include "views/pane_row.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavolex {

class AddressBook;
struct Address;

// The kinds of entry, by the codes the item list uses.
enum class ItemKind : int {
    kNote = 2,
    kSketch = 3,
    kAttendee = 4,
    kToDo = 5,
    kAgenda = 6,
};

// The most entries one refill makes; later items of the meeting are left out.
inline constexpr std::int32_t kMaxItemEntries = 65520;

struct MeetingItemEntry {
    ItemKind kind = ItemKind::kNote;
    MeetingItem item{};  // the item's place in the store
    PaneIcon icon = PaneIcon::kNote;
    std::string displayText{};  // the list's text: the first line, at most kItemTextLimit bytes
    std::string fullText{};  // the quick view's text: CR LF line breaks, at most kItemTextLimit bytes; "" for a sketch

    // Agenda items: 1 when discussed (the record's nStatus is 1), else 0.
    std::int32_t discussed = 0;

    // To-dos: the record's fields.
    std::int32_t bCompleted = 0;
    std::int32_t nPriority = 0;
    std::string szDueDate{};
    std::string szDueTime{};

    // Attendees.
    std::int32_t bAbsent = 0;
    bool foundInAddressBook = false;
    std::int32_t addressIndex = -1;  // position in the address book, -1 when not found
};

// The entries of the meeting at meetingIndex in the store; none for an index outside the store.
[[nodiscard]] std::vector<MeetingItemEntry> BuildMeetingItemEntries(const MeetingDatabase& database,
                                                                    const AddressBook& book, std::int32_t meetingIndex);

// The item list's rows: one per entry in order, its icon, its display text in column 0, and its
// position among the entries as the parameter.
[[nodiscard]] std::vector<PaneRow> ItemRows(std::span<const MeetingItemEntry> entries);

}  // namespace tavolex
