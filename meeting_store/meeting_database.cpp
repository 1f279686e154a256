#include "meeting_store/meeting_database.h"

#include "base/byte_reader.h"
#include "meeting_store/database_file.h"
#include "meeting_store/record_unpack.h"
#include "platform/file_system.h"
#include "base/trace.h"

#include <algorithm>
#include <array>
#include <cinttypes>
#include <future>
#include <new>
#include <span>
#include <unordered_map>
#include <utility>

namespace tavolex {
namespace {

constexpr std::size_t kDbInfoSize = 80;
constexpr std::size_t kRecordCountOffset = 68;
constexpr std::uint32_t kRecordHeaderSize = 38;
constexpr std::size_t kBodyLengthOffset = 34;

const char* FileNameOf(DatabaseType type) {
    switch (type) {
        case DatabaseType::kMeeting: return "meeting.dat";
        case DatabaseType::kNote: return "note.dat";
        case DatabaseType::kSketch: return "sketch.dat";
        case DatabaseType::kAttendee: return "attendee.dat";
        case DatabaseType::kToDo: return "todo.dat";
        case DatabaseType::kAgenda: return "agenda.dat";
        case DatabaseType::kLink: return "link.dat";
    }
    return nullptr;
}

template <class Record>
constexpr const char* RecordName();
template <>
constexpr const char* RecordName<Meeting>() {
    return "Meeting";
}
template <>
constexpr const char* RecordName<Agenda>() {
    return "Agenda";
}
template <>
constexpr const char* RecordName<Note>() {
    return "Note";
}
template <>
constexpr const char* RecordName<ToDo>() {
    return "ToDo";
}
template <>
constexpr const char* RecordName<Sketch>() {
    return "Sketch";
}
template <>
constexpr const char* RecordName<Attendee>() {
    return "Attendee";
}
template <>
constexpr const char* RecordName<Link>() {
    return "Link";
}

const char* MapName(std::int32_t type) {
    switch (static_cast<ChildType>(type)) {
        case ChildType::kAgenda: return "AgendaMap";
        case ChildType::kNote: return "NoteMap";
        case ChildType::kToDo: return "ToDoMap";
        case ChildType::kSketch: return "SketchMap";
        case ChildType::kAttendee: return "AttendeeMap";
    }
    return "?";
}

// The unpacked record header.
struct PalmRecord {
    std::uint32_t uniqueId = 0;
    std::uint32_t categoryIndex = 0;
    RecordBody body;
};

// A block of the file taken for one load (app-info, sort-info), reported on the trace.
class Block {
public:
    explicit Block(const char* name) : name_(name) {}
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;
    ~Block() { Free(); }

    // Allocates and reads `size` bytes; false when either fails.
    bool Read(DatabaseFile& file, std::int32_t size) {
        const std::optional<std::uint64_t> remaining = file.Remaining();
        // A block longer than the rest of the file can't be read: don't take memory for it.
        if (remaining && *remaining < static_cast<std::uint64_t>(size)) return false;
        bytes_.reset(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(size)]);
        if (!bytes_) return false;
        size_ = static_cast<std::size_t>(size);
        Trace("MALLOC %s = " TAVOLEX_TRACE_PTR, name_, TraceAddress(bytes_.get()));
        return file.Read(Bytes()) == kStatusOk;
    }

    void Free() {
        if (!bytes_) return;
        Trace("FREED %s = " TAVOLEX_TRACE_PTR, name_, TraceAddress(bytes_.get()));
        bytes_.reset();
        size_ = 0;
    }

    [[nodiscard]] std::span<std::uint8_t> Bytes() const { return {bytes_.get(), size_}; }

private:
    const char* name_;
    std::unique_ptr<std::uint8_t[]> bytes_;
    std::size_t size_ = 0;
};

// The working buffers of one file's load: all released when the load ends, whatever its outcome,
// in the order record buffer, unpacked header, app-info, sort-info.
struct LoadBuffers {
    Block appInfo{"m_pAppInfo"};
    Block sortInfo{"m_pSortInfo"};
    std::unique_ptr<std::uint8_t[]> record;
    std::unique_ptr<PalmRecord> palmRecord;

    LoadBuffers() = default;
    LoadBuffers(const LoadBuffers&) = delete;
    LoadBuffers& operator=(const LoadBuffers&) = delete;

    ~LoadBuffers() {
        if (record) Trace("FREED pRecord = " TAVOLEX_TRACE_PTR, TraceAddress(record.get()));
        record.reset();
        if (palmRecord) Trace("FREED pPalmRecord = " TAVOLEX_TRACE_PTR, TraceAddress(palmRecord.get()));
        palmRecord.reset();
        appInfo.Free();
        sortInfo.Free();
    }

    // The record buffer starts zero-filled; the loop keeps every byte past the current record zero.
    bool TakeRecordBuffers() {
        record.reset(new (std::nothrow) std::uint8_t[kRecordBufferSize]());
        if (!record) return false;
        Trace("MALLOC pRecord = " TAVOLEX_TRACE_PTR, TraceAddress(record.get()));
        palmRecord.reset(new (std::nothrow) PalmRecord);
        if (!palmRecord) return false;
        Trace("MALLOC pPalmRecord = " TAVOLEX_TRACE_PTR, TraceAddress(palmRecord.get()));
        return true;
    }
};

// Where the body of a record held in `buffer` (its first `total` bytes) lies. A body offset
// anywhere in the record buffer is honoured, as the record buffer holds zeros past the record;
// one outside it gives an empty body, which reads as zeros.
RecordBody BodyOf(std::span<const std::uint8_t> buffer, std::uint32_t bodyOffset, std::uint32_t total) {
    RecordBody body;
    body.length = total - kRecordHeaderSize;
    if (body.length == 0 || bodyOffset >= buffer.size()) return body;
    body.bytes = buffer.subspan(bodyOffset);
    body.dataEnd = total > bodyOffset ? total - bodyOffset : 0;
    return body;
}

void PutU32Le(std::span<std::uint8_t> bytes, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Reads the records of one file into `records` (emptied beforehand by the caller). Records read
// before a failure are kept.
template <class Record, class Unpack>
LoadStatus ReadRecords(DatabaseFile& file, LoadBuffers& buffers, std::int32_t recordCount, const char* fileName,
                       std::vector<std::unique_ptr<Record>>& records, Unpack unpack) {
    const std::int32_t count = std::min(recordCount, kMaxRecords);
    if (count > 0) records.reserve(static_cast<std::size_t>(count));
    const std::span<std::uint8_t> buffer(buffers.record.get(), kRecordBufferSize);
    PalmRecord& palm = *buffers.palmRecord;
    std::size_t dirtyEnd = 0;  // bytes of the buffer that may be non-zero
    for (std::int32_t index = 0; index < count; ++index) {
        const std::uint64_t recordOffset = file.Offset();
        if (file.Read(buffer.first(kRecordHeaderSize)) != kStatusOk) {
            TraceError("%s: record %" PRId32 " at offset %" PRIu64 ": no record header", fileName, index, recordOffset);
            return kStatusBadRecordHeader;
        }
        ByteReader header(buffer.first(kRecordHeaderSize));
        const std::uint32_t total = header.U32Le();
        header.Skip(4);
        const std::uint32_t bodyOffset = header.U32Le();
        header.Skip(4);
        palm.uniqueId = header.U32Le();
        header.Skip(6);
        palm.categoryIndex = header.U32Le();
        if (total < kRecordHeaderSize || total > static_cast<std::uint32_t>(kRecordBufferSize)) {
            TraceError("%s: record %" PRId32 " at offset %" PRIu64 ": length %" PRIu32 " outside 38...65520", fileName,
                       index, recordOffset, total);
            return kStatusBadRecordHeader;
        }
        const LoadStatus bodyStatus = file.Read(buffer.subspan(kRecordHeaderSize, total - kRecordHeaderSize));
        if (bodyStatus != kStatusOk) {
            TraceError("%s: record %" PRId32 " at offset %" PRIu64 ": body cut short", fileName, index, recordOffset);
            return bodyStatus;
        }
        if (dirtyEnd > total)
            std::fill(buffer.begin() + total, buffer.begin() + static_cast<std::ptrdiff_t>(dirtyEnd), 0);
        dirtyEnd = total;
        PutU32Le(buffer.subspan(kBodyLengthOffset), total - kRecordHeaderSize);
        palm.body = BodyOf(buffer, bodyOffset, total);

        std::unique_ptr<Record> record(new (std::nothrow) Record);
        if (!record) {
            TraceError("%s: record %" PRId32 ": out of memory", fileName, index);
            return kStatusOutOfMemory;
        }
        record->dwDBID = palm.uniqueId;
        unpack(palm, *record);
        records.push_back(std::move(record));
        Trace("NEW %s[%" PRId32 "] = " TAVOLEX_TRACE_PTR, RecordName<Record>(), index,
              TraceAddress(records.back().get()));
    }
    if (recordCount > kMaxRecords) {
        TraceError("%s: %" PRId32 " records, more than the %" PRId32 " the store holds; the rest are left out",
                   fileName, recordCount, kMaxRecords);
        return kStatusBadHeader;
    }
    return kStatusOk;
}

template <class Record>
void TraceDeleted(const std::vector<std::unique_ptr<Record>>& records) {
    if (!TraceListening()) return;
    for (std::size_t i = 0; i < records.size(); ++i) {
        Trace("DELETED %s[%i] = " TAVOLEX_TRACE_PTR, RecordName<Record>(), static_cast<int>(i),
              TraceAddress(records[i].get()));
    }
}

template <class Record>
void DeleteRecords(std::vector<std::unique_ptr<Record>>& records) {
    TraceDeleted(records);
    records.clear();
    records.shrink_to_fit();
}

void DeleteLinks(std::vector<std::unique_ptr<Link>>& links) {
    for (std::size_t i = 0; i < links.size(); ++i) {
        Link& link = *links[i];
        if (link.nChildCount > 0 && link.pdwChildDBID) {
            Trace("DELETED Link[%i]->pdwChildDBID[%" PRId32 "] = " TAVOLEX_TRACE_PTR, static_cast<int>(i),
                  link.nChildCount, TraceAddress(link.pdwChildDBID.get()));
        }
        link.pdwChildDBID.reset();
        Trace("DELETED Link[%i] = " TAVOLEX_TRACE_PTR, static_cast<int>(i), TraceAddress(&link));
        links[i].reset();
    }
    links.clear();
    links.shrink_to_fit();
}

void DeleteSketches(std::vector<std::unique_ptr<Sketch>>& sketches) {
    for (std::size_t i = 0; i < sketches.size(); ++i) {
        sketches[i]->image.Free();
        Trace("DELETED Sketch[%i] = " TAVOLEX_TRACE_PTR, static_cast<int>(i), TraceAddress(sketches[i].get()));
        sketches[i].reset();
    }
    sketches.clear();
    sketches.shrink_to_fit();
}

// The map's storage stays for the next build; Release frees it.
template <class Entry>
void DeleteMap(std::vector<Entry>& map, const char* name) {
    if (TraceListening()) {
        for (std::size_t i = 0; i < map.size(); ++i) {
            Trace("DELETED %s[%i] = " TAVOLEX_TRACE_PTR, name, static_cast<int>(i), TraceAddress(&map[i]));
        }
    }
    map.clear();
}

}  // namespace

MeetingDatabase::MeetingDatabase(std::filesystem::path folder) : folder_(std::move(folder)) {
    dbInfo_.reset(new (std::nothrow) std::array<std::uint8_t, kDbInfoSize>{});
    if (!dbInfo_) {
        constructionStatus_ = kStatusOutOfMemory;
        return;
    }
    PutU32Le(*dbInfo_, kDbInfoSize);
    Trace("MALLOC m_pDBInfo = " TAVOLEX_TRACE_PTR, TraceAddress(dbInfo_.get()));
}

MeetingDatabase::~MeetingDatabase() = default;

LoadStatus MeetingDatabase::Load(DatabaseType type) {
    const char* fileName = FileNameOf(type);
    LoadStatus status = kStatusOk;
    try {
        DatabaseFile file;
        if (fileName == nullptr || !file.Open(platform::FindEntryAnyCase(folder_, fileName))) {
            opened_ = false;
            status = kStatusCannotOpen;
        } else {
            opened_ = true;
            DiscardRecords(type);
            if (dbInfo_) status = LoadOpened(type, fileName, file, *dbInfo_);
        }
    } catch (const std::bad_alloc&) {
        // Memory ran out: the records made before stay, the file ends here.
        TraceError("%s: out of memory", fileName != nullptr ? fileName : "?");
        status = kStatusOutOfMemory;
    }
    lastStatus_[static_cast<std::size_t>(type) % lastStatus_.size()] = status;
    return status;
}

// Load(kSketch) on another thread, with a header buffer of its own: it touches nothing but the
// sketches and their status, and leaves Opened() to the loads around it.
void MeetingDatabase::LoadSketchesAside() {
    const char* fileName = FileNameOf(DatabaseType::kSketch);
    LoadStatus& status = lastStatus_[static_cast<std::size_t>(DatabaseType::kSketch)];
    try {
        DatabaseFile file;
        if (!file.Open(platform::FindEntryAnyCase(folder_, fileName))) {
            status = kStatusCannotOpen;
            return;
        }
        std::array<std::uint8_t, kDbInfoSize> dbInfo{};
        PutU32Le(dbInfo, kDbInfoSize);
        status = LoadOpened(DatabaseType::kSketch, fileName, file, dbInfo);
    } catch (const std::bad_alloc&) {
        TraceError("%s: out of memory", fileName);
        status = kStatusOutOfMemory;
    }
}

LoadStatus MeetingDatabase::LoadOpened(DatabaseType type, const char* fileName, DatabaseFile& file,
                                       std::span<std::uint8_t> dbInfo) {
    const LoadStatus headerStatus = file.Read(dbInfo);
    if (headerStatus == kStatusEndOfFile) return kStatusOk;  // an empty file: no records
    if (headerStatus != kStatusOk) return kStatusBadHeader;
    ByteReader header(dbInfo);
    header.Skip(kRecordCountOffset);
    const std::int32_t recordCount = header.I32Le();
    const std::int32_t appInfoSize = header.I32Le();
    const std::int32_t sortInfoSize = header.I32Le();

    LoadBuffers buffers;
    if (appInfoSize > 0 && !buffers.appInfo.Read(file, appInfoSize)) return kStatusBadAppInfo;
    if (sortInfoSize > 0 && !buffers.sortInfo.Read(file, sortInfoSize)) {
        buffers.sortInfo.Free();
        return kStatusBadSortInfo;
    }
    if (!buffers.TakeRecordBuffers()) return kStatusOutOfMemory;

    switch (type) {
        case DatabaseType::kMeeting: {
            DateTextCache dates;
            const std::span<const std::uint8_t> appInfo = buffers.appInfo.Bytes();
            return ReadRecords(file, buffers, recordCount, fileName, records_.meetings,
                               [&](const PalmRecord& palm, Meeting& meeting) {
                                   UnpackMeeting(palm.body, CategoryName(appInfo, palm.categoryIndex), dates, meeting);
                               });
        }
        case DatabaseType::kNote:
            return ReadRecords(file, buffers, recordCount, fileName, records_.notes,
                               [](const PalmRecord& palm, Note& note) { UnpackNote(palm.body, note); });
        case DatabaseType::kSketch: {
            // Each sketch learns once which record of its id it is, so that its picture name
            // is found without a walk over every sketch before it.
            std::unordered_map<std::uint32_t, int> seen;
            SketchArena arena;
            return ReadRecords(file, buffers, recordCount, fileName, records_.sketches,
                               [&seen, &arena](const PalmRecord& palm, Sketch& sketch) {
                                   UnpackSketch(palm.body, sketch, &arena);
                                   sketch.idOccurrence = ++seen[sketch.dwDBID];
                               });
        }
        case DatabaseType::kAttendee:
            return ReadRecords(file, buffers, recordCount, fileName, records_.attendees,
                               [](const PalmRecord& palm, Attendee& attendee) { UnpackAttendee(palm.body, attendee); });
        case DatabaseType::kToDo: {
            DateTextCache dates;
            return ReadRecords(file, buffers, recordCount, fileName, records_.toDos,
                               [&](const PalmRecord& palm, ToDo& toDo) { UnpackToDo(palm.body, dates, toDo); });
        }
        case DatabaseType::kAgenda:
            return ReadRecords(file, buffers, recordCount, fileName, records_.agendas,
                               [](const PalmRecord& palm, Agenda& agenda) { UnpackAgenda(palm.body, agenda); });
        case DatabaseType::kLink:
            return ReadRecords(
                file, buffers, recordCount, fileName, records_.links, [](const PalmRecord& palm, Link& link) {
                    UnpackLink(palm.body, link);
                    if (link.pdwChildDBID) {
                        Trace("NEW d->pdwChildDBID = " TAVOLEX_TRACE_PTR, TraceAddress(link.pdwChildDBID.get()));
                    }
                });
    }
    return kStatusOk;
}

void MeetingDatabase::DiscardRecords(DatabaseType type) {
    bool any = false;
    switch (type) {
        case DatabaseType::kMeeting: any = !records_.meetings.empty(); break;
        case DatabaseType::kNote: any = !records_.notes.empty(); break;
        case DatabaseType::kSketch: any = !records_.sketches.empty(); break;
        case DatabaseType::kAttendee: any = !records_.attendees.empty(); break;
        case DatabaseType::kToDo: any = !records_.toDos.empty(); break;
        case DatabaseType::kAgenda: any = !records_.agendas.empty(); break;
        case DatabaseType::kLink: any = !records_.links.empty(); break;
    }
    if (!any) return;
    TearDownMaps();
    switch (type) {
        case DatabaseType::kMeeting: DeleteRecords(records_.meetings); break;
        case DatabaseType::kNote: DeleteRecords(records_.notes); break;
        case DatabaseType::kSketch: DeleteSketches(records_.sketches); break;
        case DatabaseType::kAttendee: DeleteRecords(records_.attendees); break;
        case DatabaseType::kToDo: DeleteRecords(records_.toDos); break;
        case DatabaseType::kAgenda: DeleteRecords(records_.agendas); break;
        case DatabaseType::kLink: DeleteLinks(records_.links); break;
    }
}

int MeetingDatabase::ReloadAll() {
    TearDown();
    // The sketches are most of a store's bytes (157 MB of 185 at full capacity): when no trace
    // line has to keep its order, their file is read on a thread of its own beside the others.
    std::future<void> sketches;
    if (dbInfo_ && TraceSilent()) sketches = std::async(std::launch::async, [this] { LoadSketchesAside(); });
    for (const DatabaseType type :
         {DatabaseType::kMeeting, DatabaseType::kLink, DatabaseType::kNote, DatabaseType::kToDo, DatabaseType::kAgenda,
          DatabaseType::kSketch, DatabaseType::kAttendee}) {
        if (type == DatabaseType::kSketch && sketches.valid()) continue;
        (void)Load(type);  // a failed file leaves its type empty; the others still load
    }
    if (sketches.valid()) sketches.get();
    BuildMaps();
    return 0;
}

void MeetingDatabase::Adopt(RecordArrays records) {
    TearDownMaps();
    records_ = std::move(records);
    BuildMaps();
}

void MeetingDatabase::BuildMaps() {
    TearDownMaps();
    try {
        builder_.Build(records_, maps_);
        IndexMeetingRuns();
    } catch (const std::bad_alloc&) {
        TraceError("link maps: out of memory; no items are linked");
        maps_.Clear();
        runs_.clear();
        return;
    }
    TraceNewMapEntries();
    if (maps_.full) {
        TraceError("link maps full: items after LinkMap[%" PRId32 "] are left out", kMaxMapEntries - 1);
    }
}

// Reports the entries in the order they were made: each per-type entry, then its LinkMap entry.
void MeetingDatabase::TraceNewMapEntries() const {
    if (!TraceListening()) return;
    for (std::size_t i = 0; i < maps_.linkMap.size(); ++i) {
        const LinkMap& entry = maps_.linkMap[i];
        const std::vector<ItemMap>& typeMap = *maps_.ForType(entry.nType);
        Trace("NEW %s[%" PRId32 "] = " TAVOLEX_TRACE_PTR, MapName(entry.nType), entry.nMapIndex,
              TraceAddress(&typeMap[static_cast<std::size_t>(entry.nMapIndex)]));
        Trace("NEW LinkMap[%i] = " TAVOLEX_TRACE_PTR, static_cast<int>(i), TraceAddress(&entry));
    }
}

void MeetingDatabase::IndexMeetingRuns() {
    runs_.clear();
    const std::vector<LinkMap>& linkMap = maps_.linkMap;
    for (std::size_t begin = 0; begin < linkMap.size();) {
        std::size_t end = begin + 1;
        while (end < linkMap.size() && linkMap[end].dwMeetingDBID == linkMap[begin].dwMeetingDBID) ++end;
        runs_.push_back(
            {linkMap[begin].dwMeetingDBID, static_cast<std::int32_t>(begin), static_cast<std::int32_t>(end)});
        begin = end;
    }
    std::sort(runs_.begin(), runs_.end(), [](const MeetingRun& a, const MeetingRun& b) {
        return a.meetingDBID != b.meetingDBID ? a.meetingDBID < b.meetingDBID : a.begin < b.begin;
    });
}

void MeetingDatabase::TearDownMaps() {
    DeleteMap(maps_.linkMap, "LinkMap");
    DeleteMap(maps_.agendaMap, "AgendaMap");
    DeleteMap(maps_.noteMap, "NoteMap");
    DeleteMap(maps_.toDoMap, "ToDoMap");
    DeleteMap(maps_.sketchMap, "SketchMap");
    DeleteMap(maps_.attendeeMap, "AttendeeMap");
    maps_.full = false;
    runs_.clear();
}

void MeetingDatabase::TearDown() {
    TearDownMaps();
    DeleteRecords(records_.meetings);
    DeleteRecords(records_.notes);
    DeleteRecords(records_.attendees);
    DeleteLinks(records_.links);
    DeleteRecords(records_.toDos);
    DeleteRecords(records_.agendas);
    DeleteSketches(records_.sketches);
}

void MeetingDatabase::Release() {
    TearDown();
    maps_ = MeetingMaps();
    runs_ = {};
    builder_.Release();
    if (!dbInfo_) return;
    Trace("FREE m_pDBInfo = " TAVOLEX_TRACE_PTR, TraceAddress(dbInfo_.get()));
    dbInfo_.reset();
}

std::vector<MeetingItem> MeetingDatabase::ItemsOf(std::uint32_t meetingDBID) const {
    std::vector<MeetingItem> items;
    auto run = std::lower_bound(runs_.begin(), runs_.end(), meetingDBID,
                                [](const MeetingRun& r, std::uint32_t id) { return r.meetingDBID < id; });
    for (; run != runs_.end() && run->meetingDBID == meetingDBID; ++run) {
        for (std::int32_t i = run->begin; i < run->end; ++i) {
            const LinkMap& entry = maps_.linkMap[static_cast<std::size_t>(i)];
            const std::vector<ItemMap>& typeMap = *maps_.ForType(entry.nType);
            items.push_back({static_cast<ChildType>(entry.nType), i, entry.nMapIndex,
                             typeMap[static_cast<std::size_t>(entry.nMapIndex)].nIndex});
        }
    }
    return items;
}

std::vector<MeetingItem> MeetingDatabase::ItemsOf(std::uint32_t meetingDBID, ChildType type) const {
    std::vector<MeetingItem> items = ItemsOf(meetingDBID);
    std::erase_if(items, [type](const MeetingItem& item) { return item.type != type; });
    return items;
}

const Agenda* MeetingDatabase::AgendaOf(const MeetingItem& item) const {
    return item.type == ChildType::kAgenda ? AgendaAt(item.recordIndex) : nullptr;
}
const Note* MeetingDatabase::NoteOf(const MeetingItem& item) const {
    return item.type == ChildType::kNote ? NoteAt(item.recordIndex) : nullptr;
}
const ToDo* MeetingDatabase::ToDoOf(const MeetingItem& item) const {
    return item.type == ChildType::kToDo ? ToDoAt(item.recordIndex) : nullptr;
}
const Sketch* MeetingDatabase::SketchOf(const MeetingItem& item) const {
    return item.type == ChildType::kSketch ? SketchAt(item.recordIndex) : nullptr;
}
const Attendee* MeetingDatabase::AttendeeOf(const MeetingItem& item) const {
    return item.type == ChildType::kAttendee ? AttendeeAt(item.recordIndex) : nullptr;
}

}  // namespace tavolex
