#pragma once
// Every text of a store that holds a search text: a meeting's title, location and category and
// its items' texts (agenda items, notes, to-dos, sketch titles, attendee names), compared after
// NFKC normalisation and case folding.

#include "meeting_store/meeting_database.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavolex {

class AddressBook;

struct SearchHit {
    std::int32_t meetingNumber = 0;  // 1-based position in the store
    std::uint32_t meetingId = 0;
    std::int32_t itemNumber = 0;     // 1-based position among the meeting's item entries; 0: the meeting itself
    std::uint32_t itemId = 0;        // 0 for the meeting itself
    std::string kind;     // "title", "location", "category", or the item's kind ("agenda", "note", …)
    std::string context;  // UTF-8: the text around the hit
};

// The hits in the meetings at `indexes` (0-based store positions), in that order, each meeting's
// own texts first, then its items in handheld order; one hit per text.
[[nodiscard]] std::vector<SearchHit> SearchMeetings(const MeetingDatabase& store, const AddressBook& book,
                                                    const std::vector<std::int32_t>& indexes, std::string_view utf8);

}  // namespace tavolex
