#pragma once
// Every text of a store that holds a search text: a meeting's title, location and category and
// its items' texts (agenda items, notes, to-dos, sketch titles, attendee names), compared after
// NFKC normalisation and case folding.

#include "meeting_store/meeting_database.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tavolex {

struct SearchHit {
    std::int32_t meetingNumber = 0;  // 1-based position in the store
    std::uint32_t meetingId = 0;
    std::int32_t itemNumber = 0;  // 1-based position among the meeting's item entries; 0: the meeting itself
    std::uint32_t itemId = 0;     // 0 for the meeting itself
    std::string kind;             // "title", "location", "category", or the item's kind ("agenda", "note", …)
    std::string context;          // UTF-8: the text around the hit
};

// One entry of a meeting's item list as the front end numbers it: an attendee found in the
// address book more than once has an entry for each record.
struct SearchItem {
    const char* kind = "";  // the item's kind word ("agenda", "note", …)
    MeetingItem item;       // its place in the store
    std::string shownName;  // attendees: the name as the item list shows it
};

// The entries of the meeting at a 0-based store position, in handheld order.
using SearchItemsOf = std::function<std::vector<SearchItem>(std::int32_t meetingIndex)>;

// What VisitSearchTexts gives each text: its kind word, item number (0: the meeting itself), the
// record id (0: the meeting itself) and the CP932 text; true when the text counts as found.
using SearchTextVisitor =
    std::function<bool(const char* kind, std::int32_t itemNumber, std::uint32_t itemId, std::string_view cp932)>;

// Every searched text of the meeting at a 0-based store position, in the order the hits come:
// title, location, category, then each item's text; of an attendee, the name as the item list
// shows it and, when that one is not found, the name as the handheld stored it.
void VisitSearchTexts(const MeetingDatabase& store, std::int32_t index, const SearchItemsOf& itemsOf,
                      const SearchTextVisitor& visit);

// The hits in the meetings at `indexes` (0-based store positions), in that order, each meeting's
// own texts first, then its items in the order itemsOf gives; one hit per text.
[[nodiscard]] std::vector<SearchHit> SearchMeetings(const MeetingDatabase& store,
                                                    const std::vector<std::int32_t>& indexes, std::string_view utf8,
                                                    const SearchItemsOf& itemsOf);

}  // namespace tavolex
