// The report engine: the executive report (with its sketch pictures) of one rich meeting taken from
// a store at full capacity, and the raw expansion speed of a template that fills the whole
// 819,200-byte report.

#include "address_book/address_book.h"
#include "meeting_store/meeting_database.h"
#include "report/report_folder.h"
#include "report_files/report_writer.h"
#include "tests/support/palm_database_writer.h"
#include "tests/support/recording_user_interaction.h"
#include "tests/support/temp_dir.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <random>

namespace tavolex {
namespace {

constexpr std::uint32_t kTypeNote = 3;
constexpr std::uint32_t kTypeSketch = 4;
constexpr std::uint32_t kTypeToDo = 5;
constexpr std::uint32_t kTypeAttendee = 6;
constexpr std::uint32_t kTypeAgenda = 7;

std::vector<std::uint8_t> Bitmap(int size, std::mt19937& random) {
    const int rowBytes = (size + 15) / 16 * 2;
    std::vector<std::uint8_t> bitmap = {0, static_cast<std::uint8_t>(size),
                                        0, static_cast<std::uint8_t>(size),
                                        0, static_cast<std::uint8_t>(rowBytes),
                                        0, 0,
                                        1, 1,
                                        0, 0,
                                        0, 0,
                                        0, 0};
    for (int i = 0; i < size * rowBytes; ++i) bitmap.push_back(static_cast<std::uint8_t>(random()));
    return bitmap;
}

std::string Text(std::mt19937& random, std::size_t length) {
    std::string text(length, 'a');
    for (char& c : text) c = static_cast<char>('a' + random() % 26);
    for (std::size_t i = 40; i < text.size(); i += 60) text[i] = '\n';
    return text;
}

// A store with 65,520 records of every type. Meeting 1 has 100 agenda items, 100 notes, 100
// to-dos, 20 sketches (160 x 160) and 50 attendees; every other record belongs to the other
// meetings, one item of each type a meeting.
void WriteFullStore(const std::filesystem::path& folder) {
    std::mt19937 random(7);
    const std::uint32_t n = kMaxRecords;
    const std::uint32_t rich[5] = {100, 100, 100, 20, 50};  // agenda, note, to-do, sketch, attendee
    auto open = [&](const char* name, const std::string& appInfo = {}) {
        auto out = std::make_unique<std::ofstream>(folder / name, std::ios::binary);
        test::RawDatabase header;
        header.recordCount = static_cast<std::int32_t>(n);
        header.appInfo = appInfo;
        const std::string bytes = test::DatabaseBytes(header);
        out->write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return out;
    };
    auto add = [](std::ofstream& out, std::uint32_t id, std::string body) {
        test::RawRecord record;
        record.body = std::move(body);
        record.uniqueId = id;
        const std::string bytes = test::RecordBytes(record);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    };
    std::filesystem::create_directories(folder);
    auto meetings = open("meeting.dat", test::CategoryAppInfo({"Unfiled", "Business"}));
    auto links = open("link.dat");
    // Item ids 1 ... n of every type; meeting 1 takes the first rich[k] of type k, meeting m > 1
    // takes item (rich[k] + m - 1) when there is one.
    for (std::uint32_t m = 1; m <= n; ++m) {
        test::MeetingSpec meeting{.title = "Meeting " + std::to_string(m),
                                  .location = "Room " + std::to_string(m % 40),
                                  .date = test::HandheldDay(2005, 1 + m % 12, 1 + m % 28),
                                  .start = {9, 0},
                                  .end = {10, 30}};
        add(*meetings, m, test::MeetingBody(meeting, m));
        std::vector<std::uint32_t> children;
        const std::uint32_t types[5] = {kTypeAgenda, kTypeNote, kTypeToDo, kTypeSketch, kTypeAttendee};
        if (m == 1) {
            for (std::uint32_t i = 0; i < 100; ++i) {
                for (int k = 0; k < 5; ++k) {
                    if (i < rich[k]) children.push_back((types[k] << 24) | (i + 1));
                }
            }
        } else {
            for (int k = 0; k < 5; ++k) {
                if (rich[k] + m - 1 <= n) children.push_back((types[k] << 24) | (rich[k] + m - 1));
            }
        }
        add(*links, m, test::LinkBody(m, children));
    }
    auto agendas = open("agenda.dat");
    auto notes = open("note.dat");
    auto toDos = open("todo.dat");
    auto sketches = open("sketch.dat");
    auto attendees = open("attendee.dat");
    for (std::uint32_t i = 1; i <= n; ++i) {
        add(*agendas, i, test::AgendaBody({.text = Text(random, 120), .status = static_cast<std::uint8_t>(i % 2)}));
        add(*notes, i, test::NoteBody({.text = Text(random, 300)}));
        add(*toDos, i,
            test::ToDoBody({.text = Text(random, 100),
                            .priority = 2,
                            .dueDate = test::HandheldDay(2005, 3, 4),
                            .due = {17, 30},
                            .completed = static_cast<std::uint8_t>(i % 2)}));
        add(*sketches, i,
            test::SketchBody({.title = "Sketch " + std::to_string(i), .bitmap = Bitmap(i <= 20 ? 160 : 16, random)}));
        add(*attendees, i,
            test::AttendeeBody(
                {.nameParts = {"Taro" + std::to_string(i), "Yamada", "Acme"}, .addressId = i, .absent = i % 5 == 0}));
    }
}

class ReportFixture {
public:
    ReportFixture() {
        WriteFullStore(dir_ / "db");
        store_.ReloadAll();
        options_.outputFolder = dir_ / "out";
        std::filesystem::create_directories(options_.outputFolder);
        options_.author = "Suzuki";
        writer_.SetOptionsSource([this] { return options_; });
    }
    ReportFolder& Report() { return report_; }
    ReportWriter& Writer() { return writer_; }
    const Meeting& Rich() const { return *store_.Meetings().front(); }
    const ReportOptions& Options() const { return options_; }
    std::filesystem::path Out(const char* name) const { return options_.outputFolder / name; }

private:
    test::TempDir dir_;
    MeetingDatabase store_{dir_ / "db"};
    AddressBook book_;
    test::RecordingUserInteraction ui_;
    ReportOptions options_;
    ReportFolder report_{store_, book_};
    ReportWriter writer_{report_, ui_};
};

ReportFixture& Fixture() {
    static ReportFixture fixture;
    return fixture;
}

void BM_ExecutiveReportFromFullStore(benchmark::State& state) {
    ReportFixture& f = Fixture();
    const auto path = f.Out("executive.htm");
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.Writer().WriteBuiltInReport(path, f.Rich(), ReportKind::kExecutive));
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    state.counters["jpegs"] =
        static_cast<double>(std::distance(std::filesystem::directory_iterator(f.Out("")), {}) - 1);
}
BENCHMARK(BM_ExecutiveReportFromFullStore)->Unit(benchmark::kMillisecond);

void BM_ExpandTemplateToFullOutput(benchmark::State& state) {
    ReportFixture& f = Fixture();
    // A page of markup and meeting values, repeated until the output is full.
    std::string templ;
    while (templ.size() < 2 * kReportCapacity) {
        templ +=
            "<tr><td class=\"title\">{ TITLE }</td><td>{ LOCATION }</td><td>{ DATE } { TIME }</td>"
            "<td style=\"color: { COLOR1 }\">{ START_TIME } - { END_TIME }</td></tr>\r\n"
            "<p>Minutes of the meeting as the handheld recorded them, with plain text between tokens.</p>\r\n";
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = f.Report().ExpandForMeeting(templ, f.Rich(), f.Options()).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
    state.counters["output"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ExpandTemplateToFullOutput)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavolex

BENCHMARK_MAIN();
