#include "meeting_query/store_check.h"

#include "address_book/address_book.h"
#include "address_book/address_file_reader.h"
#include "meeting_store/meeting_database.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <system_error>
#include <unordered_set>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kHeaderSize = 80;
constexpr std::size_t kRecordCountOffset = 68;
constexpr std::uint32_t kLowId = 0xFFFFFF;

std::optional<std::int32_t> HeaderRecordCount(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::array<unsigned char, kHeaderSize> header{};
    if (!in.read(reinterpret_cast<char*>(header.data()), header.size())) return std::nullopt;
    std::uint32_t count = 0;
    for (int i = 3; i >= 0; --i) count = (count << 8) | header[kRecordCountOffset + static_cast<std::size_t>(i)];
    return static_cast<std::int32_t>(count);
}

std::string Plural(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

template <class Record>
std::unordered_set<std::uint32_t> LowIds(const std::vector<std::unique_ptr<Record>>& records) {
    std::unordered_set<std::uint32_t> ids;
    ids.reserve(records.size());
    for (const auto& r : records) {
        if (r->dwDBID <= kLowId) ids.insert(r->dwDBID);
    }
    return ids;
}

// Texts as long as their field allows: the reader keeps capacity - 1 bytes of a longer one.
template <class Record, class Text>
std::size_t FullTexts(const std::vector<std::unique_ptr<Record>>& records, Text text, std::size_t capacity) {
    return static_cast<std::size_t>(std::count_if(records.begin(), records.end(),
                                                  [&](const auto& r) { return (*r.*text).size() + 1 >= capacity; }));
}

void NoteFullTexts(FileCheck& file, std::size_t count) {
    if (count > 0) file.remarks.push_back({CheckRemarkKind::kTextsFull, count});
}

// Links that name no meeting, and children of unknown kinds or naming no record.
void CheckLinks(const MeetingDatabase& store, FileCheck& file) {
    const auto meetings = LowIds(store.Meetings());
    const std::array<std::unordered_set<std::uint32_t>, 5> children{LowIds(store.Notes()), LowIds(store.Sketches()),
                                                                    LowIds(store.ToDos()), LowIds(store.Attendees()),
                                                                    LowIds(store.Agendas())};
    std::size_t orphanLinks = 0;
    std::size_t unknownKinds = 0;
    std::size_t dangling = 0;
    for (const auto& link : store.Links()) {
        if (!meetings.contains(link->dwMeetingDBID & kLowId)) ++orphanLinks;
        for (std::int32_t i = 0; i < link->nChildCount; ++i) {
            const std::uint32_t child = link->pdwChildDBID[static_cast<std::size_t>(i)];
            const std::uint32_t type = child >> 24;
            if (type < static_cast<std::uint32_t>(ChildType::kNote) ||
                type > static_cast<std::uint32_t>(ChildType::kAgenda)) {
                ++unknownKinds;
            } else if (!children[type - static_cast<std::uint32_t>(ChildType::kNote)].contains(child & kLowId)) {
                ++dangling;
            }
        }
    }
    if (orphanLinks > 0) file.remarks.push_back({CheckRemarkKind::kOrphanLinks, orphanLinks});
    if (unknownKinds > 0) file.remarks.push_back({CheckRemarkKind::kUnknownKinds, unknownKinds});
    if (dangling > 0) file.remarks.push_back({CheckRemarkKind::kDanglingItems, dangling});
    if (orphanLinks + unknownKinds + dangling > 0) file.damaged = true;
}

}  // namespace

bool StoreCheck::Healthy() const {
    return std::none_of(files.begin(), files.end(), [](const FileCheck& f) { return f.damaged; });
}

std::string StatusMeaning(LoadStatus status) {
    switch (status) {
        case kStatusOk: return "ok";
        case kStatusOutOfMemory: return "out of memory";
        case kStatusEndOfFile: return "ends early";
        case kStatusReadFailure: return "read failure";
        case kStatusShortRead: return "cut short";
        case kStatusCannotOpen: return "can't be opened";
        case kStatusNoPath: return "no path";
        case kStatusBadHeader: return "damaged file header";
        case kStatusBadAppInfo: return "damaged application block";
        case kStatusBadSortInfo: return "damaged sort block";
        case kStatusBadRecordHeader: return "damaged record header";
        case kStatusTextTooLong: return "a text longer than its field";
        default: return "damaged";
    }
}

std::string RemarkText(const CheckRemark& remark) {
    switch (remark.kind) {
        case CheckRemarkKind::kRecordsNotRead:
            return Plural(remark.count, "record named by the header was not read",
                          "records named by the header were not read");
        case CheckRemarkKind::kTextsFull:
            return Plural(remark.count, "text fills its field and may have been cut",
                          "texts fill their field and may have been cut");
        case CheckRemarkKind::kOrphanLinks:
            return Plural(remark.count, "link names a meeting that isn't there",
                          "links name a meeting that isn't there");
        case CheckRemarkKind::kUnknownKinds:
            return Plural(remark.count, "item of an unknown kind", "items of an unknown kind");
        case CheckRemarkKind::kDanglingItems:
            return Plural(remark.count, "item names a record that isn't there", "items name a record that isn't there");
    }
    return {};
}

std::vector<std::string> SkippedTexts(const FileCheck& file) {
    std::vector<std::string> texts;
    for (const CheckRemark& remark : file.remarks) texts.push_back(RemarkText(remark));
    return texts;
}

StoreCheck CheckLoadedStore(const MeetingDatabase& store, const fs::path& addressBook) {
    StoreCheck check;
    const fs::path& dataFolder = store.Folder();
    struct Kind {
        DatabaseType type;
        const char* name;
    };
    static constexpr Kind kKinds[] = {{DatabaseType::kMeeting, "meeting.dat"},  {DatabaseType::kLink, "link.dat"},
                                      {DatabaseType::kNote, "note.dat"},        {DatabaseType::kToDo, "todo.dat"},
                                      {DatabaseType::kAgenda, "agenda.dat"},    {DatabaseType::kSketch, "sketch.dat"},
                                      {DatabaseType::kAttendee, "attendee.dat"}};
    std::error_code ec;
    for (const Kind& kind : kKinds) {
        FileCheck file;
        file.name = kind.name;
        file.path = dataFolder / kind.name;
        file.present = fs::is_regular_file(file.path, ec);
        file.status = store.LastLoadStatus(kind.type);
        if (file.present) file.headerRecords = fs::file_size(file.path, ec) == 0 ? 0 : HeaderRecordCount(file.path);
        check.files.push_back(std::move(file));
    }
    const std::int32_t counts[] = {store.MeetingCount(), store.LinkCount(),   store.NoteCount(),    store.ToDoCount(),
                                   store.AgendaCount(),  store.SketchCount(), store.AttendeeCount()};
    for (std::size_t i = 0; i < check.files.size(); ++i) {
        FileCheck& file = check.files[i];
        file.recordsRead = counts[i];
        const std::int32_t named = file.headerRecords.value_or(0);
        if (file.present && named > counts[i]) {
            file.remarks.push_back({CheckRemarkKind::kRecordsNotRead, static_cast<std::size_t>(named - counts[i])});
        }
        file.damaged = !file.present || file.status != kStatusOk || named > counts[i];
    }
    CheckLinks(store, check.files[1]);
    NoteFullTexts(check.files[0], FullTexts(store.Meetings(), &Meeting::szTitle, Meeting::kTitleCapacity) +
                                      FullTexts(store.Meetings(), &Meeting::szLocation, Meeting::kLocationCapacity));
    NoteFullTexts(check.files[2], FullTexts(store.Notes(), &Note::szText, Note::kTextCapacity));
    NoteFullTexts(check.files[3], FullTexts(store.ToDos(), &ToDo::szText, ToDo::kTextCapacity));
    NoteFullTexts(check.files[4], FullTexts(store.Agendas(), &Agenda::szText, Agenda::kTextCapacity));
    NoteFullTexts(check.files[5], FullTexts(store.Sketches(), &Sketch::szTitle, Sketch::kTitleCapacity));
    NoteFullTexts(check.files[6], FullTexts(store.Attendees(), &Attendee::szText, Attendee::kTextCapacity));

    FileCheck book;
    book.name = "address.dat";
    book.path = addressBook;
    book.present = fs::is_regular_file(addressBook, ec);
    AddressBook reader(addressBook);
    book.recordsRead = reader.Reload();
    book.status = reader.LastLoadStatus();
    book.damaged = !book.present || book.status != kStatusOk;
    check.files.push_back(std::move(book));
    return check;
}

StoreCheck CheckStore(const fs::path& dataFolder, const fs::path& addressBook) {
    MeetingDatabase store(dataFolder);
    for (const DatabaseType type :
         {DatabaseType::kMeeting, DatabaseType::kLink, DatabaseType::kNote, DatabaseType::kToDo, DatabaseType::kAgenda,
          DatabaseType::kSketch, DatabaseType::kAttendee}) {
        (void)store.Load(type);
    }
    return CheckLoadedStore(store, addressBook);
}

}  // namespace tavolex
