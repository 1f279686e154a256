// The Palm Desktop folder of the benchmarks: one user ("Large") whose store is at full capacity,
// 65,520 meetings with titles and locations in Japanese, each with one item of every kind.

#include "bench/large_store.h"

#include "platform/platform.h"
#include "tests/support/address_book_writer.h"
#include "tests/support/palm_bitmap_writer.h"
#include "tests/support/palm_database_writer.h"

#include <filesystem>
#include <fstream>
#include <vector>

namespace {

using namespace tavolex;

// A 160 x 160 picture with a few strokes that move from meeting to meeting.
std::vector<std::uint8_t> Drawing(std::uint32_t seed) {
    constexpr int kSide = 160;
    std::vector<std::uint16_t> pixels(kSide * kSide, 0);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const bool stroke = (x + y + static_cast<int>(seed)) % 37 < 2 ||
                                (x * y + static_cast<int>(seed)) % 97 == 0 || (y == (static_cast<int>(seed) % kSide));
            pixels[static_cast<std::size_t>(y * kSide + x)] = stroke ? 3 : 0;
        }
    }
    return test::WritePalmBitmap({.width = kSide,
                                  .height = kSide,
                                  .depth = 2,
                                  .pixels = pixels,
                                  .compression = test::PalmCompression::kScanLine});
}

}  // namespace

namespace tavolex::bench {

void WriteLargeStore(const std::filesystem::path& palmFolder, bool sketchPictures, std::uint32_t count,
                     const std::string& user) {
    const std::filesystem::path folder = palmFolder / user / "Tavolex";
    std::filesystem::create_directories(folder);
    const std::uint32_t n = count;
    const std::string title = platform::Utf8ToCp932("定例会議 第");
    const std::string room = platform::Utf8ToCp932("会議室 ");
    DatabaseFileWriter meetings(folder / "meeting.dat", n, test::CategoryAppInfo({"Unfiled", "Business"}));
    DatabaseFileWriter links(folder / "link.dat", n);
    DatabaseFileWriter agendas(folder / "agenda.dat", n);
    DatabaseFileWriter notes(folder / "note.dat", n);
    DatabaseFileWriter toDos(folder / "todo.dat", n);
    DatabaseFileWriter attendees(folder / "attendee.dat", n);
    DatabaseFileWriter sketches(folder / "sketch.dat", n);
    const std::string sketchTitle = platform::Utf8ToCp932("レイアウト ");
    for (std::uint32_t i = 1; i <= n; ++i) {
        test::MeetingSpec m{.title = title + std::to_string(i),
                            .location = room + std::to_string(i % 50),
                            .date = test::HandheldDay(2000 + static_cast<int>(i % 30), 1 + static_cast<int>(i % 12),
                                                      1 + static_cast<int>(i % 28)),
                            .start = {static_cast<std::uint8_t>(8 + i % 10), 0},
                            .end = {static_cast<std::uint8_t>(9 + i % 10), 30}};
        meetings.Add(i, test::MeetingBody(m, i));
        links.Add(i,
                  test::LinkBody(i, {(7u << 24) | i, (3u << 24) | i, (5u << 24) | i, (4u << 24) | i, (6u << 24) | i}));
        agendas.Add(i, test::AgendaBody({.text = "Agenda " + std::to_string(i), .status = 1}));
        notes.Add(i, test::NoteBody({.text = "Note " + std::to_string(i) + "\nsecond line"}));
        // A third of the to-dos undated, a fifth done; 4,096 people, one of them in the address book.
        toDos.Add(i, test::ToDoBody({.text = "To-do " + std::to_string(i),
                                     .priority = static_cast<std::uint8_t>(i % 5),
                                     .dueDate = i % 3 == 0 ? test::kNoDueDate
                                                           : test::HandheldDay(2000 + static_cast<int>(i % 30),
                                                                               1 + static_cast<int>(i % 12), 1),
                                     .completed = static_cast<std::uint8_t>(i % 5 == 0 ? 1 : 0)}));
        attendees.Add(i, test::AttendeeBody({.nameParts = {"Taro" + std::to_string(i % 4096), "Yamada", "Acme"},
                                             .addressId = i,
                                             .absent = i % 7 == 0}));
        if (sketchPictures) {
            sketches.Add(i, test::SketchBody({.title = sketchTitle + std::to_string(i), .bitmap = Drawing(i)}));
        } else {
            sketches.Add(i, test::SketchBody({.title = sketchTitle + std::to_string(i)}));
        }
    }
    test::AddressBookPerson person;
    person.recordId = 1;
    person.firstName = "Taro";
    person.lastName = "Yamada";
    test::WriteAddressBook(palmFolder / user / "address" / "address.dat", {person});
}

}  // namespace tavolex::bench
