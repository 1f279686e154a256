#include "meeting_query/store_compare.h"

#include "meeting_store/date_format.h"
#include "meeting_store/item_walk.h"

#include <map>
#include <utility>

namespace tavolex {
namespace {

// A meeting's items: (kind, id) → everything the handheld keeps of the item.
using ItemContents = std::map<std::pair<int, std::uint32_t>, std::string>;

ItemContents ItemsOf(const MeetingDatabase& store, std::uint32_t meetingId) {
    ItemContents items;
    const auto put = [&items](int kind, std::uint32_t id, std::string content) {
        items.emplace(std::make_pair(kind, id), std::move(content));
    };
    ForEachItem(
        store, meetingId,
        ItemVisitor{[&](const Agenda& a, const MeetingItem&) {
                        put(0, a.dwDBID, std::to_string(a.nStatus) + '\x01' + a.szText);
                    },
                    [&](const Note& n, const MeetingItem&) { put(1, n.dwDBID, n.szText); },
                    [&](const ToDo& t, const MeetingItem&) {
                        put(2, t.dwDBID,
                            std::to_string(t.bCompleted) + '\x01' + std::to_string(t.nPriority) + '\x01' +
                                std::to_string(t.dueDate) + '\x01' + std::to_string(t.dueHour) + ':' +
                                std::to_string(t.dueMinute) + '\x01' + t.szText);
                    },
                    // The picture by its bitmap's bytes: a copy of the same handheld record has the same.
                    [&](const Sketch& s, const MeetingItem&) {
                        put(3, s.dwDBID, s.szTitle + '\x01' + std::string(s.image.KeptBitmap()));
                    },
                    [&](const Attendee& a, const MeetingItem&) {
                        put(4, a.dwDBID,
                            std::to_string(a.dwAddressID) + '\x01' + std::to_string(a.bAbsent) + '\x01' + a.szText);
                    }});
    return items;
}

// The first meeting of each id, by id.
std::map<std::uint32_t, const Meeting*> ById(const MeetingDatabase& store) {
    std::map<std::uint32_t, const Meeting*> meetings;
    for (std::int32_t i = 0; i < store.MeetingCount(); ++i) {
        if (const Meeting* m = store.MeetingAt(i)) meetings.emplace(m->dwDBID, m);
    }
    return meetings;
}

MeetingDifference Difference(MeetingDifference::Kind kind, const Meeting& m) {
    MeetingDifference d;
    d.kind = kind;
    d.id = m.dwDBID;
    d.title = m.szTitle;
    d.date = ValidIsoDate(m.date);
    return d;
}

}  // namespace

MeetingDifference CompareMeetings(const MeetingDatabase& first, const Meeting& before, const MeetingDatabase& second,
                                  const Meeting& after) {
    MeetingDifference d = Difference(MeetingDifference::Kind::kChanged, after);
    const std::pair<const char*, bool> fields[] = {
        {"title", before.szTitle != after.szTitle},
        {"location", before.szLocation != after.szLocation},
        {"category", before.szCategory != after.szCategory},
        {"date", before.date != after.date},
        {"time", before.startHour != after.startHour || before.startMinute != after.startMinute ||
                     before.endHour != after.endHour || before.endMinute != after.endMinute}};
    for (const auto& [name, differs] : fields) {
        if (differs) d.fields.emplace_back(name);
    }
    const ItemContents was = ItemsOf(first, before.dwDBID), is = ItemsOf(second, after.dwDBID);
    for (const auto& [key, content] : is) {
        const auto earlier = was.find(key);
        if (earlier == was.end()) {
            ++d.itemsAdded;
        } else if (earlier->second != content) {
            ++d.itemsEdited;
        }
    }
    for (const auto& [key, content] : was) d.itemsRemoved += is.contains(key) ? 0 : 1;
    return d;
}

std::vector<MeetingDifference> CompareStores(const MeetingDatabase& first, const MeetingDatabase& second) {
    const std::map<std::uint32_t, const Meeting*> a = ById(first), b = ById(second);
    std::vector<MeetingDifference> only, onlySecond, changed;
    for (std::int32_t i = 0; i < first.MeetingCount(); ++i) {
        const Meeting* m = first.MeetingAt(i);
        if (m != nullptr && a.at(m->dwDBID) == m && !b.contains(m->dwDBID))
            only.push_back(Difference(MeetingDifference::Kind::kOnlyInFirst, *m));
    }
    for (std::int32_t i = 0; i < second.MeetingCount(); ++i) {
        const Meeting* m = second.MeetingAt(i);
        if (m == nullptr || b.at(m->dwDBID) != m) continue;
        const auto earlier = a.find(m->dwDBID);
        if (earlier == a.end()) {
            onlySecond.push_back(Difference(MeetingDifference::Kind::kOnlyInSecond, *m));
            continue;
        }
        MeetingDifference d = CompareMeetings(first, *earlier->second, second, *m);
        if (Differs(d)) changed.push_back(std::move(d));
    }
    only.insert(only.end(), onlySecond.begin(), onlySecond.end());
    only.insert(only.end(), changed.begin(), changed.end());
    return only;
}

}  // namespace tavolex
