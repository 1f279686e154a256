#pragma once
// MeetingDatabase: the in-memory copy of the seven handheld databases of the current Palm user
// ("meeting.dat", "link.dat", "note.dat", "todo.dat", "agenda.dat", "sketch.dat", "attendee.dat"
// in the user's database folder), and the per-meeting maps that tie each meeting to its items.
//
// Every file shares one container: an 80-byte header (record count, app-info and sort-info sizes,
// little-endian), the optional app-info and sort-info blocks, then the records, each a 38-byte
// header and its big-endian body. Records and maps are owned by the store from one reload to the
// next and are read-only in between.

#include "meeting_store/link_maps.h"
#include "meeting_store/records.h"
#include "base/status.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

namespace tavolex {

class DatabaseFile;

// One item of a meeting, reached from its LinkMap entry.
struct MeetingItem {
    ChildType type = ChildType::kNote;
    std::int32_t linkMapIndex = 0;  // position in LinkMap
    std::int32_t mapIndex = 0;      // position in the per-type map of `type`
    std::int32_t recordIndex = 0;   // position in the record array of `type`
};

class MeetingDatabase {
public:
    // Reads nothing yet: all counts 0, the opened flag false.
    explicit MeetingDatabase(std::filesystem::path folder);
    MeetingDatabase(const MeetingDatabase&) = delete;
    MeetingDatabase& operator=(const MeetingDatabase&) = delete;
    ~MeetingDatabase();

    // kStatusOutOfMemory when the header buffer could not be had at construction; every load then
    // opens and closes its file and reads nothing. kStatusOk otherwise.
    [[nodiscard]] LoadStatus ConstructionStatus() const { return constructionStatus_; }

    // The folder the seven files are read from; used by the next load.
    void SetFolder(std::filesystem::path folder) { folder_ = std::move(folder); }
    [[nodiscard]] const std::filesystem::path& Folder() const { return folder_; }

    // Reads one database file. A file that can't be opened clears the opened flag and changes
    // nothing else (kStatusCannotOpen). A file that opens sets the flag and replaces the type's
    // records with those it yields: the records read before any damage, with the status of the
    // damage. Replacing records outside ReloadAll discards the maps (they name record positions).
    LoadStatus Load(DatabaseType type);
    // The status of the type's last load (by Load or ReloadAll); kStatusOk before any.
    [[nodiscard]] LoadStatus LastLoadStatus(DatabaseType type) const {
        return lastStatus_[static_cast<std::size_t>(type) % lastStatus_.size()];
    }

    // Tears everything down, loads the seven files in the order meeting, link, note, to-do, agenda,
    // sketch, attendee (a failed file does not stop the others) and builds the maps. Returns 0.
    int ReloadAll();

    // Rebuilds the maps from the records held.
    void BuildMaps();
    // Holds these records in place of its own and builds their maps (a store made of several, as
    // the merge of backups makes it). The folder and the load statuses stay.
    void Adopt(RecordArrays records);
    // Frees all maps and records.
    void TearDown();
    // The teardown, then the header buffer: the store reads nothing afterwards. Called at shutdown.
    void Release();

    // Whether the last file a load tried could be opened; after ReloadAll, whether attendee.dat was.
    [[nodiscard]] bool Opened() const { return opened_; }

    // Records, in file order.
    [[nodiscard]] const std::vector<std::unique_ptr<Meeting>>& Meetings() const { return records_.meetings; }
    [[nodiscard]] const std::vector<std::unique_ptr<Agenda>>& Agendas() const { return records_.agendas; }
    [[nodiscard]] const std::vector<std::unique_ptr<Note>>& Notes() const { return records_.notes; }
    [[nodiscard]] const std::vector<std::unique_ptr<ToDo>>& ToDos() const { return records_.toDos; }
    [[nodiscard]] const std::vector<std::unique_ptr<Sketch>>& Sketches() const { return records_.sketches; }
    [[nodiscard]] const std::vector<std::unique_ptr<Attendee>>& Attendees() const { return records_.attendees; }
    [[nodiscard]] const std::vector<std::unique_ptr<Link>>& Links() const { return records_.links; }
    [[nodiscard]] const RecordArrays& Records() const { return records_; }

    [[nodiscard]] std::int32_t MeetingCount() const { return Count(records_.meetings); }
    [[nodiscard]] std::int32_t AgendaCount() const { return Count(records_.agendas); }
    [[nodiscard]] std::int32_t NoteCount() const { return Count(records_.notes); }
    [[nodiscard]] std::int32_t ToDoCount() const { return Count(records_.toDos); }
    [[nodiscard]] std::int32_t SketchCount() const { return Count(records_.sketches); }
    [[nodiscard]] std::int32_t AttendeeCount() const { return Count(records_.attendees); }
    [[nodiscard]] std::int32_t LinkCount() const { return Count(records_.links); }

    // Records by position; null when the position is outside the array.
    [[nodiscard]] const Meeting* MeetingAt(std::int32_t index) const { return At(records_.meetings, index); }
    [[nodiscard]] const Agenda* AgendaAt(std::int32_t index) const { return At(records_.agendas, index); }
    [[nodiscard]] const Note* NoteAt(std::int32_t index) const { return At(records_.notes, index); }
    [[nodiscard]] const ToDo* ToDoAt(std::int32_t index) const { return At(records_.toDos, index); }
    [[nodiscard]] const Sketch* SketchAt(std::int32_t index) const { return At(records_.sketches, index); }
    [[nodiscard]] const Attendee* AttendeeAt(std::int32_t index) const { return At(records_.attendees, index); }

    // The maps. A meeting's entries are those whose dwMeetingDBID equals its dwDBID, in array order.
    [[nodiscard]] const MeetingMaps& Maps() const { return maps_; }
    [[nodiscard]] const std::vector<LinkMap>& LinkMapEntries() const { return maps_.linkMap; }
    [[nodiscard]] const std::vector<AgendaMap>& AgendaMapEntries() const { return maps_.agendaMap; }
    [[nodiscard]] const std::vector<NoteMap>& NoteMapEntries() const { return maps_.noteMap; }
    [[nodiscard]] const std::vector<ToDoMap>& ToDoMapEntries() const { return maps_.toDoMap; }
    [[nodiscard]] const std::vector<SketchMap>& SketchMapEntries() const { return maps_.sketchMap; }
    [[nodiscard]] const std::vector<AttendeeMap>& AttendeeMapEntries() const { return maps_.attendeeMap; }
    [[nodiscard]] std::int32_t LinkMapCount() const { return Count(maps_.linkMap); }
    [[nodiscard]] std::int32_t AgendaMapCount() const { return Count(maps_.agendaMap); }
    [[nodiscard]] std::int32_t NoteMapCount() const { return Count(maps_.noteMap); }
    [[nodiscard]] std::int32_t ToDoMapCount() const { return Count(maps_.toDoMap); }
    [[nodiscard]] std::int32_t SketchMapCount() const { return Count(maps_.sketchMap); }
    [[nodiscard]] std::int32_t AttendeeMapCount() const { return Count(maps_.attendeeMap); }
    // True when the last build left items out because a map held kMaxMapEntries entries.
    [[nodiscard]] bool MapsFull() const { return maps_.full; }

    // The items of the meeting with this id in handheld order: its LinkMap entries.
    [[nodiscard]] std::vector<MeetingItem> ItemsOf(std::uint32_t meetingDBID) const;
    // Its items of one type, in the order of that type's map.
    [[nodiscard]] std::vector<MeetingItem> ItemsOf(std::uint32_t meetingDBID, ChildType type) const;

    // The record of an item; null when the item is of another type.
    [[nodiscard]] const Agenda* AgendaOf(const MeetingItem& item) const;
    [[nodiscard]] const Note* NoteOf(const MeetingItem& item) const;
    [[nodiscard]] const ToDo* ToDoOf(const MeetingItem& item) const;
    [[nodiscard]] const Sketch* SketchOf(const MeetingItem& item) const;
    [[nodiscard]] const Attendee* AttendeeOf(const MeetingItem& item) const;

private:
    // A run of consecutive LinkMap entries of one meeting id.
    struct MeetingRun {
        std::uint32_t meetingDBID;
        std::int32_t begin;
        std::int32_t end;
    };

    template <class Record>
    static std::int32_t Count(const std::vector<Record>& v) {
        return static_cast<std::int32_t>(v.size());
    }
    template <class Record>
    static const Record* At(const std::vector<std::unique_ptr<Record>>& records, std::int32_t index) {
        if (index < 0 || static_cast<std::size_t>(index) >= records.size()) return nullptr;
        return records[static_cast<std::size_t>(index)].get();
    }

    LoadStatus LoadOpened(DatabaseType type, const char* fileName, DatabaseFile& file, std::span<std::uint8_t> dbInfo);
    void LoadSketchesAside();
    void DiscardRecords(DatabaseType type);
    void TearDownMaps();
    void TraceNewMapEntries() const;
    void IndexMeetingRuns();

    std::filesystem::path folder_;
    std::unique_ptr<std::array<std::uint8_t, 80>> dbInfo_;  // the file header buffer
    LoadStatus constructionStatus_ = kStatusOk;
    bool opened_ = false;
    std::array<LoadStatus, 8> lastStatus_{};  // by DatabaseType (1 to 7)
    RecordArrays records_;
    MeetingMaps maps_;
    LinkMapBuilder builder_;
    std::vector<MeetingRun> runs_;  // sorted by meeting id, then position
};

}  // namespace tavolex
