#include "meeting_query/store_search.h"

#include "meeting_query/text_match.h"
#include "base/attendee_name.h"
#include "meeting_store/item_walk.h"

namespace tavolex {

std::vector<SearchHit> SearchMeetings(const MeetingDatabase& store, const std::vector<std::int32_t>& indexes,
                                      std::string_view utf8, const SearchItemsOf& itemsOf) {
    std::vector<SearchHit> hits;
    const TextMatch match(utf8);
    if (match.Empty()) return hits;
    for (const std::int32_t index : indexes) {
        const Meeting* meeting = store.MeetingAt(index);
        if (meeting == nullptr) continue;
        const auto add = [&](const char* kind, std::int32_t item, std::uint32_t itemId, std::string_view text) {
            if (!match.Matches(text)) return false;
            hits.push_back({index + 1, meeting->dwDBID, item, itemId, kind, match.Context(text)});
            return true;
        };
        add("title", 0, 0, meeting->szTitle);
        add("location", 0, 0, meeting->szLocation);
        add("category", 0, 0, meeting->szCategory);
        const std::vector<SearchItem> entries = itemsOf(index);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const SearchItem& e = entries[i];
            const auto number = static_cast<std::int32_t>(i + 1);
            const char* kind = e.kind;
            VisitItem(store, e.item,
                      ItemVisitor{[&](const Sketch& s, const MeetingItem&) { add(kind, number, s.dwDBID, s.szTitle); },
                                  [&](const Attendee& p, const MeetingItem&) {
                                      // The name as the item list shows it, else as the handheld stored it.
                                      if (!add(kind, number, p.dwDBID, e.shownName))
                                          add(kind, number, p.dwDBID, AttendeeStoredName(p.szText));
                                  },
                                  [&](const auto& r, const MeetingItem&) { add(kind, number, r.dwDBID, r.szText); }});
        }
    }
    return hits;
}

}  // namespace tavolex
