#pragma once
// Builds the seven handheld database files of a Palm user's database folder for tests, either
// from a short description of meetings and their items, or record by record with any header
// values (for damaged files).
//
//   PalmUserSpec user;
//   user.categories = {"Unfiled", "Business"};
//   user.meetings.push_back({.title = "Kickoff", .date = HandheldDay(2004, 5, 17), .category = 1,
//                            .items = {AgendaSpec{.text = "Budget", .status = 1}, NoteSpec{.text = "ok"}}});
//   WritePalmUserFolder(dir.Path(), user);

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace tavolex::test {

// --- The container --------------------------------------------------------------------------

struct RawRecord {
    std::string body{};                          // the body bytes written after the 38-byte header
    std::uint32_t uniqueId = 0;                  // header offset 16
    std::uint32_t categoryIndex = 0;             // header offset 26
    std::optional<std::uint32_t> totalLength{};  // header offset 0; default 38 + body size
    std::uint32_t bodyOffset = 38;               // header offset 8
};

struct RawDatabase {
    std::vector<RawRecord> records{};
    std::string appInfo{}, sortInfo{};  // each written when not empty
    // The header's counts; by default records.size(), appInfo.size() and sortInfo.size().
    std::optional<std::int32_t> recordCount{}, appInfoSize{}, sortInfoSize{};
};

// The 38-byte record header followed by the body.
std::string RecordBytes(const RawRecord& record);
// The 80-byte header, app-info, sort-info and records.
std::string DatabaseBytes(const RawDatabase& database);
// An app-info block with category names: 56 bytes, then a 16-byte slot per name (NUL-padded,
// cut to 15 bytes), at least `slots` slots.
std::string CategoryAppInfo(const std::vector<std::string>& names, std::size_t slots = 16);

// --- Record bodies, big-endian as the handheld stores them -----------------------------------

inline constexpr std::uint8_t kNoHour = 255;
inline constexpr std::uint16_t kNoDueDate = 0xFFFF;

// Year, month and day packed as a handheld date.
std::uint16_t HandheldDay(int year, int month, int day);

struct HandheldTime {
    std::uint8_t hour = kNoHour;
    std::uint8_t minute = 0;
};

struct AgendaSpec {
    std::string text{};
    std::uint8_t status = 0;  // 1 discussed
    std::uint32_t id = 0;     // 0: the next free id of its type
};

struct NoteSpec {
    std::string text{};
    std::uint32_t id = 0;
};

struct ToDoSpec {
    std::string text{};
    std::uint8_t priority = 0;  // the whole byte: the reader keeps the low 3 bits
    std::uint16_t dueDate = kNoDueDate;
    HandheldTime due{};
    std::uint8_t completed = 0;
    std::uint32_t id = 0;
};

struct SketchSpec {
    std::string title{};
    std::vector<std::uint8_t> bitmap{};  // the handheld bitmap, written as given
    std::uint32_t id = 0;
};

struct AttendeeSpec {
    std::vector<std::string> nameParts{};  // first name, last name, company: joined with 0x01
    std::uint32_t addressId = 0;           // 24 bits
    bool absent = false;
    std::uint32_t id = 0;
};

using ItemSpec = std::variant<AgendaSpec, NoteSpec, ToDoSpec, SketchSpec, AttendeeSpec>;

struct MeetingSpec {
    std::string title{}, location{};
    std::uint16_t date = 0;
    HandheldTime start{}, end{};
    std::uint32_t category = 0;
    std::vector<ItemSpec> items{};  // in handheld order; one Link record names them all
    std::uint32_t id = 0;           // 0: the next free meeting id
};

std::string MeetingBody(const MeetingSpec& meeting, std::uint32_t linkId);
std::string AgendaBody(const AgendaSpec& agenda);
std::string NoteBody(const NoteSpec& note);
std::string ToDoBody(const ToDoSpec& toDo);
std::string SketchBody(const SketchSpec& sketch);
std::string AttendeeBody(const AttendeeSpec& attendee);
// The meeting id, then the child entries (type << 24 | 24-bit id) and nothing after them.
std::string LinkBody(std::uint32_t meetingId, const std::vector<std::uint32_t>& children);

// --- A whole Palm user ------------------------------------------------------------------------

struct PalmUserSpec {
    std::vector<std::string> categories{};  // meeting.dat's category names
    std::vector<MeetingSpec> meetings{};
};

// The seven files as records, for tests that change something before writing.
struct PalmUserDatabases {
    RawDatabase meeting, link, note, toDo, agenda, sketch, attendee;
};

// The seven files in the order the store loads them: file name and database.
inline constexpr std::pair<const char*, RawDatabase PalmUserDatabases::*> kPalmUserFiles[] = {
    {"meeting.dat", &PalmUserDatabases::meeting},  {"link.dat", &PalmUserDatabases::link},     {"note.dat", &PalmUserDatabases::note},
    {"todo.dat", &PalmUserDatabases::toDo},        {"agenda.dat", &PalmUserDatabases::agenda}, {"sketch.dat", &PalmUserDatabases::sketch},
    {"attendee.dat", &PalmUserDatabases::attendee}};

// Ids given as 0 become 0x1000, 0x1001, ... per type, in the order the records are written.
PalmUserDatabases BuildPalmUserDatabases(const PalmUserSpec& user);
// Writes the seven files ("meeting.dat", "link.dat", ...) into folder, creating it.
void WritePalmUserDatabases(const std::filesystem::path& folder, const PalmUserDatabases& databases);
void WritePalmUserFolder(const std::filesystem::path& folder, const PalmUserSpec& user);

}  // namespace tavolex::test
