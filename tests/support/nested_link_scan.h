#pragma once
// The map build written as the plain nested scan (meetings x links x children x records of the
// child's type, no indexes): the reference the indexed build must match entry for entry.

#include "meeting_store/link_maps.h"

namespace tavolex::test {

template <class Record>
void ScanChildRecords(MeetingMaps& maps, std::vector<ItemMap>& typeMap, const std::vector<std::unique_ptr<Record>>& records,
                      std::uint32_t meetingId, std::uint32_t childId, std::int32_t type, std::int32_t limit, bool& stop) {
    for (std::size_t r = 0; r < records.size() && !stop; ++r) {
        if (records[r]->dwDBID != childId) continue;
        if (static_cast<std::int64_t>(maps.linkMap.size()) >= limit || static_cast<std::int64_t>(typeMap.size()) >= limit) {
            maps.full = true;
            stop = true;
            return;
        }
        typeMap.push_back({meetingId, static_cast<std::int32_t>(r)});
        maps.linkMap.push_back({meetingId, static_cast<std::int32_t>(typeMap.size() - 1), type});
    }
}

inline MeetingMaps NestedLinkScan(const RecordArrays& records, std::int32_t limit = kMaxMapEntries) {
    MeetingMaps maps;
    bool stop = false;
    for (const auto& meeting : records.meetings) {
        for (const auto& link : records.links) {
            if ((link->dwMeetingDBID & 0xFFFFFF) != meeting->dwDBID) continue;
            for (std::int32_t c = 0; c < link->nChildCount; ++c) {
                const std::uint32_t child = link->pdwChildDBID[static_cast<std::size_t>(c)];
                const std::uint32_t id = child & 0xFFFFFF;
                const auto type = static_cast<std::int32_t>(child >> 24);
                switch (type) {
                    case 7: ScanChildRecords(maps, maps.agendaMap, records.agendas, meeting->dwDBID, id, type, limit, stop); break;
                    case 3: ScanChildRecords(maps, maps.noteMap, records.notes, meeting->dwDBID, id, type, limit, stop); break;
                    case 5: ScanChildRecords(maps, maps.toDoMap, records.toDos, meeting->dwDBID, id, type, limit, stop); break;
                    case 4: ScanChildRecords(maps, maps.sketchMap, records.sketches, meeting->dwDBID, id, type, limit, stop); break;
                    case 6: ScanChildRecords(maps, maps.attendeeMap, records.attendees, meeting->dwDBID, id, type, limit, stop); break;
                    default: break;
                }
                if (stop) return maps;
            }
        }
    }
    return maps;
}

}  // namespace tavolex::test
