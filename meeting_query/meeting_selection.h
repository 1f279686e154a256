#pragma once
// Which meetings of a store a person means: numbers and ranges of the meeting list ("3",
// "1-5,8"), or every meeting, narrowed by dates (ISO, inclusive), a category and an attendee.

#include "meeting_store/meeting_database.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavolex {

class AddressBook;

struct MeetingRange {
    std::int32_t first = 0;  // 1-based, inclusive
    std::int32_t last = 0;
};

struct MeetingSelection {
    std::vector<MeetingRange> ranges;  // none: every meeting
    std::optional<std::string> since;  // ISO dates
    std::optional<std::string> until;
    std::optional<std::string> category;  // UTF-8: the category's name, compared folded
    std::optional<std::string> attendee;  // UTF-8: part of an attendee's name, compared folded
};

// Adds the numbers and ranges of text ("3", "1-5,8") to ranges; false, with the problem in
// error, when text is anything else.
bool ParseMeetingNumbers(std::string_view text, std::vector<MeetingRange>& ranges, std::string& error);

// Whether text is a real date written "YYYY-MM-DD".
bool IsIsoDate(std::string_view text);

struct SelectedMeetings {
    std::vector<std::int32_t> indexes;  // 0-based store positions, in store order, each once
    std::int32_t missingNumber = 0;     // a number of the ranges the store doesn't have; 0: none
};

[[nodiscard]] SelectedMeetings SelectMeetings(const MeetingDatabase& store, const AddressBook& book,
                                              const MeetingSelection& selection);

enum class MeetingOrder { kNumber, kDate, kTitle };

// Orders the selection: by store position, by date and start time (a meeting without a time
// first), or by title folded; ties keep store order.
void SortMeetings(const MeetingDatabase& store, std::vector<std::int32_t>& indexes, MeetingOrder order);

}  // namespace tavolex
