#include "tests/support/palm_database_writer.h"

#include "tests/support/temp_dir.h"

#include <algorithm>

namespace tavolex::test {
namespace {

constexpr std::uint32_t kFirstAutoId = 0x1000;
constexpr std::uint32_t kChildNote = 3;
constexpr std::uint32_t kChildSketch = 4;
constexpr std::uint32_t kChildToDo = 5;
constexpr std::uint32_t kChildAttendee = 6;
constexpr std::uint32_t kChildAgenda = 7;

void PutLe32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}
void PutBe16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v >> 8));
    out.push_back(static_cast<char>(v));
}
void PutBe32(std::string& out, std::uint32_t v) {
    for (int i = 3; i >= 0; --i) out.push_back(static_cast<char>(v >> (8 * i)));
}
void PutText(std::string& out, const std::string& text) {
    out += text;
    out.push_back('\0');
}

// Hands out the ids of one record type.
class IdSource {
public:
    std::uint32_t Take(std::uint32_t given) { return given != 0 ? given : next_++; }

private:
    std::uint32_t next_ = kFirstAutoId;
};

struct Ids {
    IdSource meeting, link, agenda, note, toDo, sketch, attendee;
};

// Adds one item's record to its file; returns the Link child entry that names it.
struct ItemWriter {
    PalmUserDatabases& dbs;
    Ids& ids;

    std::uint32_t operator()(const AgendaSpec& s) const {
        return Add(dbs.agenda, ids.agenda.Take(s.id), AgendaBody(s), kChildAgenda);
    }
    std::uint32_t operator()(const NoteSpec& s) const {
        return Add(dbs.note, ids.note.Take(s.id), NoteBody(s), kChildNote);
    }
    std::uint32_t operator()(const ToDoSpec& s) const {
        return Add(dbs.toDo, ids.toDo.Take(s.id), ToDoBody(s), kChildToDo);
    }
    std::uint32_t operator()(const SketchSpec& s) const {
        return Add(dbs.sketch, ids.sketch.Take(s.id), SketchBody(s), kChildSketch);
    }
    std::uint32_t operator()(const AttendeeSpec& s) const {
        return Add(dbs.attendee, ids.attendee.Take(s.id), AttendeeBody(s), kChildAttendee);
    }

    static std::uint32_t Add(RawDatabase& db, std::uint32_t id, std::string body, std::uint32_t type) {
        RawRecord record;
        record.body = std::move(body);
        record.uniqueId = id;
        db.records.push_back(std::move(record));
        return (type << 24) | (id & 0xFFFFFF);
    }
};

}  // namespace

std::string RecordBytes(const RawRecord& record) {
    std::string out;
    PutLe32(out, record.totalLength.value_or(static_cast<std::uint32_t>(38 + record.body.size())));
    PutLe32(out, 0);
    PutLe32(out, record.bodyOffset);
    PutLe32(out, 0);
    PutLe32(out, record.uniqueId);
    PutLe32(out, 0);
    out.append(2, '\0');
    PutLe32(out, record.categoryIndex);
    PutLe32(out, 0);
    PutLe32(out, static_cast<std::uint32_t>(record.body.size()));
    return out + record.body;
}

std::string DatabaseBytes(const RawDatabase& database) {
    std::string out;
    PutLe32(out, database.headerSize);
    out.append(64, '\0');
    PutLe32(out, static_cast<std::uint32_t>(database.recordCount.value_or(static_cast<std::int32_t>(database.records.size()))));
    PutLe32(out, static_cast<std::uint32_t>(database.appInfoSize.value_or(static_cast<std::int32_t>(database.appInfo.size()))));
    PutLe32(out, static_cast<std::uint32_t>(database.sortInfoSize.value_or(static_cast<std::int32_t>(database.sortInfo.size()))));
    out += database.appInfo;
    out += database.sortInfo;
    for (const RawRecord& record : database.records) out += RecordBytes(record);
    return out;
}

std::string CategoryAppInfo(const std::vector<std::string>& names, std::size_t slots) {
    std::string out(56, '\0');
    for (std::size_t i = 0; i < std::max(slots, names.size()); ++i) {
        std::string slot = i < names.size() ? names[i].substr(0, 15) : std::string();
        slot.resize(16, '\0');
        out += slot;
    }
    return out;
}

std::uint16_t HandheldDay(int year, int month, int day) {
    return static_cast<std::uint16_t>(((year - 1904) << 9) | (month << 5) | day);
}

std::string MeetingBody(const MeetingSpec& meeting, std::uint32_t linkId) {
    std::string out;
    PutBe32(out, linkId & 0xFFFFFF);
    out.push_back(static_cast<char>(meeting.start.hour));
    out.push_back(static_cast<char>(meeting.start.minute));
    out.push_back(static_cast<char>(meeting.end.hour));
    out.push_back(static_cast<char>(meeting.end.minute));
    PutBe16(out, meeting.date);
    PutBe16(out, 0);
    PutText(out, meeting.title);
    PutText(out, meeting.location);
    return out;
}

std::string AgendaBody(const AgendaSpec& agenda) {
    std::string out(6, '\0');
    out.push_back(static_cast<char>(agenda.status));
    PutText(out, agenda.text);
    return out;
}

std::string NoteBody(const NoteSpec& note) {
    std::string out(4, '\0');
    PutText(out, note.text);
    return out;
}

std::string ToDoBody(const ToDoSpec& toDo) {
    std::string out(4, '\0');
    out.push_back(static_cast<char>(toDo.completed));
    out.push_back(static_cast<char>(toDo.priority));
    PutBe16(out, toDo.dueDate);
    out.push_back(static_cast<char>(toDo.due.hour));
    out.push_back(static_cast<char>(toDo.due.minute));
    PutBe16(out, 0);
    PutText(out, toDo.text);
    return out;
}

std::string SketchBody(const SketchSpec& sketch) {
    std::string out(6, '\0');
    PutText(out, sketch.title);
    if (out.size() % 2 != 0) out.push_back('\0');
    out.append(sketch.bitmap.begin(), sketch.bitmap.end());
    return out;
}

std::string AttendeeBody(const AttendeeSpec& attendee) {
    std::string out(4, '\0');
    PutBe32(out, (attendee.absent ? 0x80000000u : 0u) | (attendee.addressId & 0xFFFFFF));
    std::string text;
    for (std::size_t i = 0; i < attendee.nameParts.size(); ++i) {
        if (i > 0) text.push_back('\x01');
        text += attendee.nameParts[i];
    }
    PutText(out, text);
    return out;
}

std::string LinkBody(std::uint32_t meetingId, const std::vector<std::uint32_t>& children) {
    std::string out;
    PutBe32(out, meetingId);
    for (const std::uint32_t child : children) PutBe32(out, child);
    return out;
}

PalmUserDatabases BuildPalmUserDatabases(const PalmUserSpec& user) {
    PalmUserDatabases dbs;
    Ids ids;
    dbs.meeting.appInfo = CategoryAppInfo(user.categories);
    for (const MeetingSpec& meeting : user.meetings) {
        const std::uint32_t meetingId = ids.meeting.Take(meeting.id);
        const std::uint32_t linkId = ids.link.Take(meeting.linkId);
        std::vector<std::uint32_t> children;
        for (const ItemSpec& item : meeting.items) children.push_back(std::visit(ItemWriter{dbs, ids}, item));
        RawRecord meetingRecord;
        meetingRecord.body = MeetingBody(meeting, linkId);
        meetingRecord.uniqueId = meetingId;
        meetingRecord.categoryIndex = meeting.category;
        dbs.meeting.records.push_back(std::move(meetingRecord));
        RawRecord linkRecord;
        linkRecord.body = LinkBody(meetingId, children);
        linkRecord.uniqueId = linkId;
        dbs.link.records.push_back(std::move(linkRecord));
    }
    return dbs;
}

void WritePalmUserDatabases(const std::filesystem::path& folder, const PalmUserDatabases& dbs) {
    std::filesystem::create_directories(folder);
    WriteFileBytes(folder / "meeting.dat", DatabaseBytes(dbs.meeting));
    WriteFileBytes(folder / "link.dat", DatabaseBytes(dbs.link));
    WriteFileBytes(folder / "note.dat", DatabaseBytes(dbs.note));
    WriteFileBytes(folder / "todo.dat", DatabaseBytes(dbs.toDo));
    WriteFileBytes(folder / "agenda.dat", DatabaseBytes(dbs.agenda));
    WriteFileBytes(folder / "sketch.dat", DatabaseBytes(dbs.sketch));
    WriteFileBytes(folder / "attendee.dat", DatabaseBytes(dbs.attendee));
}

void WritePalmUserFolder(const std::filesystem::path& folder, const PalmUserSpec& user) {
    WritePalmUserDatabases(folder, BuildPalmUserDatabases(user));
}

}  // namespace tavolex::test
