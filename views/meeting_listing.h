#pragma once
// The listing records of the command line's (and any other front end's) machine-readable views:
// a meeting or an item with its handheld record id, its texts whole and in UTF-8, its dates in ISO
// form and its times as "HH:MM" beside the texts of the user's locale. Built once here for the
// tab-separated, JSON and CSV writers alike.

#include "meeting_store/meeting_database.h"
#include "views/meeting_items.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavolex {

class AddressBook;

struct MeetingListing {
    std::int32_t number = 0;  // 1-based position in the store
    std::uint32_t id = 0;     // the handheld record id
    std::string title;
    std::string location;
    std::string category;
    std::optional<std::string> date;   // "2026-11-02"; none for a date the calendar does not have
    std::optional<std::string> start;  // "09:00"; none without a time
    std::optional<std::string> end;
    std::string dateText;  // the locale's texts, as the meeting list shows them
    std::string timeText;
};

struct ItemListing {
    std::int32_t number = 0;  // 1-based position among the meeting's item entries
    std::uint32_t id = 0;     // the item's handheld record id
    ItemKind kind = ItemKind::kNote;
    std::string text;         // whole: every line of a note; a sketch's title; an attendee's name
    std::string displayText;  // the item list's text (the first line)
    bool discussed = false;   // agenda items
    bool completed = false;   // to-dos
    std::int32_t priority = 0;
    std::optional<std::string> dueDate;  // ISO
    std::optional<std::string> dueTime;  // "HH:MM"
    std::string dueDateText;
    std::string dueTimeText;
    bool absent = false;  // attendees
    bool inAddressBook = false;
};

// "agenda", "note", "todo", "sketch", "attendee".
[[nodiscard]] const char* ItemKindWord(ItemKind kind);

[[nodiscard]] MeetingListing ListMeeting(const MeetingDatabase& store, std::int32_t meetingIndex);
[[nodiscard]] std::vector<ItemListing> ListItems(const MeetingDatabase& store, const AddressBook& book,
                                                 std::int32_t meetingIndex);
// The same from entries already built.
[[nodiscard]] std::vector<ItemListing> ListItems(const MeetingDatabase& store,
                                                 const std::vector<MeetingItemEntry>& entries);

}  // namespace tavolex
