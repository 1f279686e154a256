#pragma once
// The records of one Palm user and the per-meeting maps built from its Link records.
//
// For each meeting in array order, for each Link (in array order) whose dwMeetingDBID with the top
// byte cleared equals the meeting's dwDBID, for each child entry in order, every record of the
// child's type whose dwDBID equals the child's 24-bit id (all of them, in array order) gets an
// entry in its type's map and one in LinkMap. Records are compared by their full 32-bit dwDBID, so
// a record whose id has any of the top 8 bits set is never named; children of other types and ids
// that name nothing leave no entry.

#include "meeting_store/records.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace tavolex {

struct RecordArrays {
    std::vector<std::unique_ptr<Meeting>> meetings;
    std::vector<std::unique_ptr<Agenda>> agendas;
    std::vector<std::unique_ptr<Note>> notes;
    std::vector<std::unique_ptr<ToDo>> toDos;
    std::vector<std::unique_ptr<Sketch>> sketches;
    std::vector<std::unique_ptr<Attendee>> attendees;
    std::vector<std::unique_ptr<Link>> links;
};

struct MeetingMaps {
    std::vector<LinkMap> linkMap;
    std::vector<AgendaMap> agendaMap;
    std::vector<NoteMap> noteMap;
    std::vector<ToDoMap> toDoMap;
    std::vector<SketchMap> sketchMap;
    std::vector<AttendeeMap> attendeeMap;
    // Set when the build stopped because a map held its limit of entries: the entries made up to
    // that point are kept, whole (each per-type entry with its LinkMap entry).
    bool full = false;

    // The per-type map of a child type; null for any other type.
    [[nodiscard]] std::vector<ItemMap>* ForType(std::int32_t type);
    [[nodiscard]] const std::vector<ItemMap>* ForType(std::int32_t type) const;
    // Empties every map; their storage stays for the next build.
    void Clear();
};

// Builds the maps through indexes of the records by id (sorted, so duplicates keep array order),
// in time linear in the data plus the sorting. It keeps its indexes between builds, so repeated
// reloads reuse their memory.
class LinkMapBuilder {
public:
    // Empties `maps` and fills them; no map grows past `limit` entries.
    void Build(const RecordArrays& records, MeetingMaps& maps, std::int32_t limit = kMaxMapEntries);
    // Frees the indexes.
    void Release();

private:
    using IdIndex = std::vector<std::pair<std::uint32_t, std::int32_t>>;  // (id, position), sorted

    [[nodiscard]] const IdIndex* ForType(std::int32_t type) const;
    // The items one link names for one meeting; false when the maps are full.
    bool AddChildren(const Link& link, std::uint32_t meetingId, MeetingMaps& maps, std::int32_t limit) const;

    IdIndex agendas_;
    IdIndex notes_;
    IdIndex toDos_;
    IdIndex sketches_;
    IdIndex attendees_;
    IdIndex linksByMeeting_;  // by the low 24 bits of the link's meeting id
};

// A build with a builder of its own.
[[nodiscard]] MeetingMaps BuildLinkMaps(const RecordArrays& records, std::int32_t limit = kMaxMapEntries);

}  // namespace tavolex
