#include "meeting_store/link_maps.h"

#include <algorithm>
#include <span>
#include <utility>

namespace tavolex {
namespace {

constexpr std::uint32_t kLowId = 0xFFFFFF;

// (id, position) pairs sorted by id, then position.
using IdIndex = std::vector<std::pair<std::uint32_t, std::int32_t>>;

// Only records whose whole id fits in 24 bits can equal a child id.
template <class Record>
IdIndex IndexById(const std::vector<std::unique_ptr<Record>>& records) {
    IdIndex index;
    index.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i]->dwDBID <= kLowId) index.emplace_back(records[i]->dwDBID, static_cast<std::int32_t>(i));
    }
    std::sort(index.begin(), index.end());
    return index;
}

// The positions filed under `id`, in ascending order.
std::span<const std::pair<std::uint32_t, std::int32_t>> Find(const IdIndex& index, std::uint32_t id) {
    const auto first = std::lower_bound(index.begin(), index.end(), id,
                                        [](const auto& entry, std::uint32_t key) { return entry.first < key; });
    auto last = first;
    while (last != index.end() && last->first == id) ++last;
    return {first, last};
}

struct TypeIndexes {
    IdIndex agendas;
    IdIndex notes;
    IdIndex toDos;
    IdIndex sketches;
    IdIndex attendees;

    const IdIndex* ForType(std::int32_t type) const {
        switch (static_cast<ChildType>(type)) {
            case ChildType::kAgenda: return &agendas;
            case ChildType::kNote: return &notes;
            case ChildType::kToDo: return &toDos;
            case ChildType::kSketch: return &sketches;
            case ChildType::kAttendee: return &attendees;
        }
        return nullptr;
    }
};

// Links by the low 24 bits of their meeting id, each group in link.dat order.
IdIndex IndexLinksByMeeting(const std::vector<std::unique_ptr<Link>>& links) {
    IdIndex index;
    index.reserve(links.size());
    for (std::size_t i = 0; i < links.size(); ++i) {
        index.emplace_back(links[i]->dwMeetingDBID & kLowId, static_cast<std::int32_t>(i));
    }
    std::sort(index.begin(), index.end());
    return index;
}

// Appends one item; false when a map is at its limit.
bool Append(MeetingMaps& maps, std::vector<ItemMap>& typeMap, std::uint32_t meetingId, std::int32_t recordIndex,
            std::int32_t type, std::int32_t limit) {
    if (static_cast<std::int64_t>(maps.linkMap.size()) >= limit || static_cast<std::int64_t>(typeMap.size()) >= limit) {
        maps.full = true;
        return false;
    }
    typeMap.push_back({meetingId, recordIndex});
    maps.linkMap.push_back({meetingId, static_cast<std::int32_t>(typeMap.size() - 1), type});
    return true;
}

// The children of one link for one meeting; false when the maps are full.
bool AddChildren(MeetingMaps& maps, const TypeIndexes& indexes, const Link& link, std::uint32_t meetingId,
                 std::int32_t limit) {
    if (!link.pdwChildDBID) return true;
    for (std::int32_t c = 0; c < link.nChildCount; ++c) {
        const std::uint32_t child = link.pdwChildDBID[static_cast<std::size_t>(c)];
        const auto type = static_cast<std::int32_t>(child >> 24);
        const IdIndex* index = indexes.ForType(type);
        if (index == nullptr) continue;
        std::vector<ItemMap>& typeMap = *maps.ForType(type);
        for (const auto& [id, recordIndex] : Find(*index, child & kLowId)) {
            if (!Append(maps, typeMap, meetingId, recordIndex, type, limit)) return false;
        }
    }
    return true;
}

}  // namespace

std::vector<ItemMap>* MeetingMaps::ForType(std::int32_t type) {
    return const_cast<std::vector<ItemMap>*>(std::as_const(*this).ForType(type));
}

const std::vector<ItemMap>* MeetingMaps::ForType(std::int32_t type) const {
    switch (static_cast<ChildType>(type)) {
        case ChildType::kAgenda: return &agendaMap;
        case ChildType::kNote: return &noteMap;
        case ChildType::kToDo: return &toDoMap;
        case ChildType::kSketch: return &sketchMap;
        case ChildType::kAttendee: return &attendeeMap;
    }
    return nullptr;
}

MeetingMaps BuildLinkMaps(const RecordArrays& records, std::int32_t limit) {
    MeetingMaps maps;
    const TypeIndexes indexes{IndexById(records.agendas), IndexById(records.notes), IndexById(records.toDos),
                              IndexById(records.sketches), IndexById(records.attendees)};
    const IdIndex linksByMeeting = IndexLinksByMeeting(records.links);
    for (const auto& meeting : records.meetings) {
        const std::uint32_t meetingId = meeting->dwDBID;
        if (meetingId > kLowId) continue;  // no link's 24-bit meeting id can equal it
        for (const auto& [key, linkIndex] : Find(linksByMeeting, meetingId)) {
            if (!AddChildren(maps, indexes, *records.links[static_cast<std::size_t>(linkIndex)], meetingId, limit)) {
                return maps;
            }
        }
    }
    return maps;
}

}  // namespace tavolex
