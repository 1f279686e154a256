#include "meeting_store/link_maps.h"

#include <algorithm>
#include <span>
#include <utility>

namespace tavolex {
namespace {

constexpr std::uint32_t kLowId = 0xFFFFFF;

using IdIndex = std::vector<std::pair<std::uint32_t, std::int32_t>>;

// Only records whose whole id fits in 24 bits can equal a child id.
template <class Record>
void IndexById(const std::vector<std::unique_ptr<Record>>& records, IdIndex& index) {
    index.clear();
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i]->dwDBID <= kLowId) index.emplace_back(records[i]->dwDBID, static_cast<std::int32_t>(i));
    }
    std::sort(index.begin(), index.end());
}

// Links by the low 24 bits of their meeting id, each group in link.dat order.
void IndexLinksByMeeting(const std::vector<std::unique_ptr<Link>>& links, IdIndex& index) {
    index.clear();
    for (std::size_t i = 0; i < links.size(); ++i) {
        index.emplace_back(links[i]->dwMeetingDBID & kLowId, static_cast<std::int32_t>(i));
    }
    std::sort(index.begin(), index.end());
}

// The positions filed under `id`, in ascending order.
// A binary search without data-dependent branches: the look-ups hit random places of the index.
std::span<const std::pair<std::uint32_t, std::int32_t>> Find(const IdIndex& index, std::uint32_t id) {
    if (index.empty()) return {};
    std::size_t first = 0;
    std::size_t length = index.size();
    while (length > 1) {
        const std::size_t half = length / 2;
        first = index[first + half - 1].first < id ? first + half : first;
        length -= half;
    }
    if (index[first].first < id) ++first;
    std::size_t last = first;
    while (last < index.size() && index[last].first == id) ++last;
    return std::span(index).subspan(first, last - first);
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

void MeetingMaps::Clear() {
    linkMap.clear();
    agendaMap.clear();
    noteMap.clear();
    toDoMap.clear();
    sketchMap.clear();
    attendeeMap.clear();
    full = false;
}

const LinkMapBuilder::IdIndex* LinkMapBuilder::ForType(std::int32_t type) const {
    switch (static_cast<ChildType>(type)) {
        case ChildType::kAgenda: return &agendas_;
        case ChildType::kNote: return &notes_;
        case ChildType::kToDo: return &toDos_;
        case ChildType::kSketch: return &sketches_;
        case ChildType::kAttendee: return &attendees_;
    }
    return nullptr;
}

void LinkMapBuilder::Build(const RecordArrays& records, MeetingMaps& maps, std::int32_t limit) {
    maps.Clear();
    IndexById(records.agendas, agendas_);
    IndexById(records.notes, notes_);
    IndexById(records.toDos, toDos_);
    IndexById(records.sketches, sketches_);
    IndexById(records.attendees, attendees_);
    IndexLinksByMeeting(records.links, linksByMeeting_);
    for (const auto& meeting : records.meetings) {
        const std::uint32_t meetingId = meeting->dwDBID;
        if (meetingId > kLowId) continue;  // no link's 24-bit meeting id can equal it
        for (const auto& [key, linkIndex] : Find(linksByMeeting_, meetingId)) {
            if (!AddChildren(*records.links[static_cast<std::size_t>(linkIndex)], meetingId, maps, limit)) return;
        }
    }
}

bool LinkMapBuilder::AddChildren(const Link& link, std::uint32_t meetingId, MeetingMaps& maps,
                                 std::int32_t limit) const {
    if (!link.pdwChildDBID) return true;
    for (std::int32_t c = 0; c < link.nChildCount; ++c) {
        const std::uint32_t child = link.pdwChildDBID[static_cast<std::size_t>(c)];
        const auto type = static_cast<std::int32_t>(child >> 24);
        const IdIndex* index = ForType(type);
        if (index == nullptr) continue;
        std::vector<ItemMap>& typeMap = *maps.ForType(type);
        for (const auto& [id, recordIndex] : Find(*index, child & kLowId)) {
            if (!Append(maps, typeMap, meetingId, recordIndex, type, limit)) return false;
        }
    }
    return true;
}

void LinkMapBuilder::Release() {
    for (IdIndex* index : {&agendas_, &notes_, &toDos_, &sketches_, &attendees_, &linksByMeeting_}) {
        index->clear();
        index->shrink_to_fit();
    }
}

MeetingMaps BuildLinkMaps(const RecordArrays& records, std::int32_t limit) {
    MeetingMaps maps;
    LinkMapBuilder().Build(records, maps, limit);
    return maps;
}

}  // namespace tavolex
