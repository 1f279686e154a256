#include "meeting_query/store_search.h"

#include "meeting_query/text_match.h"
#include "base/attendee_name.h"
#include "meeting_store/item_walk.h"

namespace tavolex {

void VisitSearchTexts(const MeetingDatabase& store, std::int32_t index, const SearchItemsOf& itemsOf,
                      const SearchTextVisitor& visit) {
    const Meeting* meeting = store.MeetingAt(index);
    if (meeting == nullptr) return;
    visit("title", 0, 0, meeting->szTitle);
    visit("location", 0, 0, meeting->szLocation);
    visit("category", 0, 0, meeting->szCategory);
    const std::vector<SearchItem> entries = itemsOf(index);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const SearchItem& e = entries[i];
        const auto number = static_cast<std::int32_t>(i + 1);
        const char* kind = e.kind;
        VisitItem(store, e.item,
                  ItemVisitor{[&](const Sketch& s, const MeetingItem&) { visit(kind, number, s.dwDBID, s.szTitle); },
                              [&](const Attendee& p, const MeetingItem&) {
                                  // The name as the item list shows it, else as the handheld stored it.
                                  if (!visit(kind, number, p.dwDBID, e.shownName))
                                      visit(kind, number, p.dwDBID, AttendeeStoredName(p.szText));
                              },
                              [&](const auto& r, const MeetingItem&) { visit(kind, number, r.dwDBID, r.szText); }});
    }
}

std::vector<SearchHit> SearchMeetings(const MeetingDatabase& store, const std::vector<std::int32_t>& indexes,
                                      std::string_view utf8, const SearchItemsOf& itemsOf) {
    std::vector<SearchHit> hits;
    const TextMatch match(utf8);
    if (match.Empty()) return hits;
    for (const std::int32_t index : indexes) {
        const Meeting* meeting = store.MeetingAt(index);
        if (meeting == nullptr) continue;
        VisitSearchTexts(store, index, itemsOf,
                         [&](const char* kind, std::int32_t item, std::uint32_t itemId, std::string_view text) {
                             if (!match.Matches(text)) return false;
                             hits.push_back({index + 1, meeting->dwDBID, item, itemId, kind, match.Context(text)});
                             return true;
                         });
    }
    return hits;
}

}  // namespace tavolex
