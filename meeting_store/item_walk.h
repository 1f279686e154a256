#pragma once
// The one walk over a meeting's items. Each item is handed, with its record, to the visitor's
// overload for its kind, so a reader of the store writes what it does per kind once and never asks
// the store "is it an agenda? a note? …" itself. The walk counts what it visits per kind: the
// figures an export summary reports.
//
//     ForEachItem(store, meeting.dwDBID, ItemVisitor{
//         [&](const Agenda& a, const MeetingItem&) { … },
//         [&](const Note& n, const MeetingItem&) { … },
//         [&](const auto&, const MeetingItem&) {},  // the other kinds
//     });

#include "meeting_store/meeting_database.h"
#include "meeting_store/records.h"

#include <cstdint>

namespace tavolex {

// Lambdas joined into one visitor: each keeps its own overload.
template <class... Visit>
struct ItemVisitor : Visit... {
    using Visit::operator()...;
};
template <class... Visit>
ItemVisitor(Visit...) -> ItemVisitor<Visit...>;

// Items per kind.
struct ItemCounts {
    std::int64_t agendas = 0;
    std::int64_t notes = 0;
    std::int64_t toDos = 0;
    std::int64_t sketches = 0;
    std::int64_t attendees = 0;

    void Add(ChildType type) {
        switch (type) {
            case ChildType::kAgenda: ++agendas; break;
            case ChildType::kNote: ++notes; break;
            case ChildType::kToDo: ++toDos; break;
            case ChildType::kSketch: ++sketches; break;
            case ChildType::kAttendee: ++attendees; break;
        }
    }
    ItemCounts& operator+=(const ItemCounts& other) {
        agendas += other.agendas;
        notes += other.notes;
        toDos += other.toDos;
        sketches += other.sketches;
        attendees += other.attendees;
        return *this;
    }
};

// Hands one item's record to `visit`; an item whose record is not in the store is passed over.
// True when it was visited.
template <class Visitor>
bool VisitItem(const MeetingDatabase& store, const MeetingItem& item, Visitor&& visit) {
    switch (item.type) {
        case ChildType::kAgenda:
            if (const Agenda* r = store.AgendaOf(item)) return visit(*r, item), true;
            break;
        case ChildType::kNote:
            if (const Note* r = store.NoteOf(item)) return visit(*r, item), true;
            break;
        case ChildType::kToDo:
            if (const ToDo* r = store.ToDoOf(item)) return visit(*r, item), true;
            break;
        case ChildType::kSketch:
            if (const Sketch* r = store.SketchOf(item)) return visit(*r, item), true;
            break;
        case ChildType::kAttendee:
            if (const Attendee* r = store.AttendeeOf(item)) return visit(*r, item), true;
            break;
    }
    return false;
}

// The items of the meeting with this id, in handheld order; the counts of those visited.
template <class Visitor>
ItemCounts ForEachItem(const MeetingDatabase& store, std::uint32_t meetingDBID, Visitor&& visit) {
    ItemCounts counts;
    for (const MeetingItem& item : store.ItemsOf(meetingDBID)) {
        if (VisitItem(store, item, visit)) counts.Add(item.type);
    }
    return counts;
}

}  // namespace tavolex
