#include "tests/support/palm_database_writer.h"

#include "tests/support/temp_dir.h"

#include <algorithm>
#include <array>

namespace tavolex::test {
namespace {

constexpr std::uint32_t kFirstAutoId = 0x1000;

// Header fields are little-endian, record bodies big-endian.
std::string Le32(std::uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}
std::string Be16(std::uint32_t v) { return {static_cast<char>(v >> 8), static_cast<char>(v)}; }
std::string Be32(std::uint32_t v) { return Be16(v >> 16) + Be16(v); }
std::string Bytes(std::initializer_list<std::uint8_t> bytes) { return {bytes.begin(), bytes.end()}; }

// Per item kind, in ItemSpec's order: the file its record goes to and its Link child type.
constexpr RawDatabase PalmUserDatabases::*kItemFiles[] = {&PalmUserDatabases::agenda, &PalmUserDatabases::note, &PalmUserDatabases::toDo,
                                                          &PalmUserDatabases::sketch, &PalmUserDatabases::attendee};
constexpr std::uint32_t kChildTypes[] = {7, 3, 5, 4, 6};

std::string Body(const AgendaSpec& item) { return AgendaBody(item); }
std::string Body(const NoteSpec& item) { return NoteBody(item); }
std::string Body(const ToDoSpec& item) { return ToDoBody(item); }
std::string Body(const SketchSpec& item) { return SketchBody(item); }
std::string Body(const AttendeeSpec& item) { return AttendeeBody(item); }

}  // namespace

std::string RecordBytes(const RawRecord& record) {
    const auto size = static_cast<std::uint32_t>(record.body.size());
    std::string out;
    for (const std::uint32_t v : {record.totalLength.value_or(38 + size), 0u, record.bodyOffset, 0u, record.uniqueId, 0u}) {
        out += Le32(v);
    }
    out.append(2, '\0');
    for (const std::uint32_t v : {record.categoryIndex, 0u, size}) out += Le32(v);
    return out + record.body;
}

std::string DatabaseBytes(const RawDatabase& database) {
    const auto count = [](std::optional<std::int32_t> given, std::size_t size) {
        return Le32(static_cast<std::uint32_t>(given.value_or(static_cast<std::int32_t>(size))));
    };
    std::string out = Le32(80) + std::string(64, '\0') + count(database.recordCount, database.records.size()) +
                      count(database.appInfoSize, database.appInfo.size()) + count(database.sortInfoSize, database.sortInfo.size()) +
                      database.appInfo + database.sortInfo;
    for (const RawRecord& record : database.records) out += RecordBytes(record);
    return out;
}

std::string CategoryAppInfo(const std::vector<std::string>& names, std::size_t slots) {
    std::string out(56 + 16 * std::max(slots, names.size()), '\0');
    for (std::size_t i = 0; i < names.size(); ++i) {
        out.replace(56 + 16 * i, std::min<std::size_t>(names[i].size(), 15), names[i], 0, 15);
    }
    return out;
}

std::uint16_t HandheldDay(int year, int month, int day) { return static_cast<std::uint16_t>(((year - 1904) << 9) | (month << 5) | day); }

std::string MeetingBody(const MeetingSpec& meeting, std::uint32_t linkId) {
    return Be32(linkId & 0xFFFFFF) + Bytes({meeting.start.hour, meeting.start.minute, meeting.end.hour, meeting.end.minute}) +
           Be16(meeting.date) + Be16(0) + meeting.title + '\0' + meeting.location + '\0';
}

std::string AgendaBody(const AgendaSpec& agenda) { return std::string(6, '\0') + Bytes({agenda.status}) + agenda.text + '\0'; }

std::string NoteBody(const NoteSpec& note) { return std::string(4, '\0') + note.text + '\0'; }

std::string ToDoBody(const ToDoSpec& toDo) {
    return std::string(4, '\0') + Bytes({toDo.completed, toDo.priority}) + Be16(toDo.dueDate) + Bytes({toDo.due.hour, toDo.due.minute}) +
           Be16(0) + toDo.text + '\0';
}

std::string SketchBody(const SketchSpec& sketch) {
    std::string out = std::string(6, '\0') + sketch.title + '\0';
    if (out.size() % 2 != 0) out.push_back('\0');
    return out + std::string(sketch.bitmap.begin(), sketch.bitmap.end());
}

std::string AttendeeBody(const AttendeeSpec& attendee) {
    std::string names;
    for (std::size_t i = 0; i < attendee.nameParts.size(); ++i) names += (i > 0 ? "\x01" : "") + attendee.nameParts[i];
    return std::string(4, '\0') + Be32((attendee.absent ? 0x80000000u : 0u) | (attendee.addressId & 0xFFFFFF)) + names + '\0';
}

std::string LinkBody(std::uint32_t meetingId, const std::vector<std::uint32_t>& children) {
    std::string out = Be32(meetingId);
    for (const std::uint32_t child : children) out += Be32(child);
    return out;
}

PalmUserDatabases BuildPalmUserDatabases(const PalmUserSpec& user) {
    PalmUserDatabases dbs;
    dbs.meeting.appInfo = CategoryAppInfo(user.categories);
    // The next free id of each record type: meeting, link, then the item kinds in ItemSpec's order.
    std::array<std::uint32_t, 7> next;
    next.fill(kFirstAutoId);
    const auto take = [&next](std::size_t type, std::uint32_t given) { return given != 0 ? given : next[type]++; };
    for (const MeetingSpec& meeting : user.meetings) {
        const std::uint32_t meetingId = take(0, meeting.id);
        const std::uint32_t linkId = next[1]++;
        std::vector<std::uint32_t> children;
        for (const ItemSpec& item : meeting.items) {
            const std::size_t kind = item.index();
            const std::uint32_t id = take(2 + kind, std::visit([](const auto& entry) { return entry.id; }, item));
            const std::string body = std::visit([](const auto& entry) { return Body(entry); }, item);
            (dbs.*kItemFiles[kind]).records.push_back({.body = body, .uniqueId = id});
            children.push_back((kChildTypes[kind] << 24) | (id & 0xFFFFFF));
        }
        dbs.meeting.records.push_back({.body = MeetingBody(meeting, linkId), .uniqueId = meetingId, .categoryIndex = meeting.category});
        dbs.link.records.push_back({.body = LinkBody(meetingId, children), .uniqueId = linkId});
    }
    return dbs;
}

void WritePalmUserDatabases(const std::filesystem::path& folder, const PalmUserDatabases& dbs) {
    std::filesystem::create_directories(folder);
    for (const auto& [name, database] : kPalmUserFiles) WriteFileBytes(folder / name, DatabaseBytes(dbs.*database));
}

void WritePalmUserFolder(const std::filesystem::path& folder, const PalmUserSpec& user) {
    WritePalmUserDatabases(folder, BuildPalmUserDatabases(user));
}

}  // namespace tavolex::test
