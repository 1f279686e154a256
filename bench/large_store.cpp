// The Palm Desktop folder of the benchmarks: one user ("Large") whose store is at full capacity,
// 65,520 meetings with titles and locations in Japanese, each with one item of every kind.

#include "bench/large_store.h"

#include "platform/platform.h"
#include "tests/support/address_book_writer.h"
#include "tests/support/palm_database_writer.h"

#include <filesystem>
#include <fstream>

namespace {

using namespace tavolex;

class FileWriter {
public:
    FileWriter(const std::filesystem::path& path, std::int32_t count, const std::string& appInfo = {})
        : out_(path, std::ios::binary) {
        test::RawDatabase header;
        header.recordCount = count;
        header.appInfo = appInfo;
        Put(test::DatabaseBytes(header));
    }
    void Add(std::uint32_t id, std::string body) {
        test::RawRecord record;
        record.body = std::move(body);
        record.uniqueId = id;
        Put(test::RecordBytes(record));
    }

private:
    void Put(const std::string& bytes) { out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size())); }
    std::ofstream out_;
};

}  // namespace

namespace tavolex::bench {

void WriteLargeStore(const std::filesystem::path& palmFolder) {
    const std::filesystem::path folder = palmFolder / "Large" / "Tavolex";
    std::filesystem::create_directories(folder);
    const std::uint32_t n = 65520;
    const std::string title = platform::Utf8ToCp932("定例会議 第");
    const std::string room = platform::Utf8ToCp932("会議室 ");
    FileWriter meetings(folder / "meeting.dat", n, test::CategoryAppInfo({"Unfiled", "Business"}));
    FileWriter links(folder / "link.dat", n);
    FileWriter agendas(folder / "agenda.dat", n);
    FileWriter notes(folder / "note.dat", n);
    FileWriter toDos(folder / "todo.dat", n);
    FileWriter attendees(folder / "attendee.dat", n);
    FileWriter sketches(folder / "sketch.dat", n);
    const std::string sketchTitle = platform::Utf8ToCp932("レイアウト ");
    for (std::uint32_t i = 1; i <= n; ++i) {
        test::MeetingSpec m{.title = title + std::to_string(i), .location = room + std::to_string(i % 50),
                            .date = test::HandheldDay(2000 + static_cast<int>(i % 30), 1 + static_cast<int>(i % 12),
                                                      1 + static_cast<int>(i % 28)),
                            .start = {static_cast<std::uint8_t>(8 + i % 10), 0}, .end = {static_cast<std::uint8_t>(9 + i % 10), 30}};
        meetings.Add(i, test::MeetingBody(m, i));
        links.Add(i, test::LinkBody(i, {(7u << 24) | i, (3u << 24) | i, (5u << 24) | i, (4u << 24) | i, (6u << 24) | i}));
        agendas.Add(i, test::AgendaBody({.text = "Agenda " + std::to_string(i), .status = 1}));
        notes.Add(i, test::NoteBody({.text = "Note " + std::to_string(i) + "\nsecond line"}));
        toDos.Add(i, test::ToDoBody({.text = "To-do " + std::to_string(i), .priority = 2}));
        attendees.Add(i, test::AttendeeBody({.nameParts = {"Taro", "Yamada", "Acme"}, .addressId = i}));
        sketches.Add(i, test::SketchBody({.title = sketchTitle + std::to_string(i)}));
    }
    test::AddressBookPerson person;
    person.recordId = 1;
    person.firstName = "Taro";
    person.lastName = "Yamada";
    test::WriteAddressBook(palmFolder / "Large" / "address" / "address.dat", {person});
}

}  // namespace tavolex::bench
