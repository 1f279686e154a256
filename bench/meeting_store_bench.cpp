// The meeting store's reload with linking, at full capacity (65,520 records of every type) and at
// a typical user's size, and the indexed map build against the plain nested scan on one store.

#include "bench/large_store.h"
#include "meeting_store/link_maps.h"
#include "meeting_store/meeting_database.h"
#include "tests/support/nested_link_scan.h"
#include "tests/support/palm_database_writer.h"
#include "tests/support/temp_dir.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <functional>
#include <random>

namespace tavolex {
namespace {

constexpr std::uint32_t kTypeNote = 3;
constexpr std::uint32_t kTypeSketch = 4;
constexpr std::uint32_t kTypeToDo = 5;
constexpr std::uint32_t kTypeAttendee = 6;
constexpr std::uint32_t kTypeAgenda = 7;

// A 1-bit 160 x 160 handheld bitmap: the 16-byte header, then 20 bytes a row.
std::vector<std::uint8_t> SketchBitmap(std::mt19937& random) {
    std::vector<std::uint8_t> bitmap = {0, 160, 0, 160, 0, 20, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 160 * 20; ++i) bitmap.push_back(static_cast<std::uint8_t>(random()));
    return bitmap;
}

std::string Text(std::mt19937& random, std::size_t length) {
    std::string text(length, 'a');
    for (char& c : text) c = static_cast<char>('a' + random() % 26);
    return text;
}

using FileWriter = bench::DatabaseFileWriter;

// meetings meetings with itemsPerType items of each of the five item types, spread evenly over
// the meetings, each meeting with one link naming its items; unique ids from 1.
void WriteStore(const std::filesystem::path& folder, std::int32_t meetings, std::int32_t itemsPerType) {
    std::mt19937 random(17);
    std::uniform_int_distribution<int> day(0, 3650);
    FileWriter meetingFile(folder / "meeting.dat", meetings,
                           test::CategoryAppInfo({"Unfiled", "Business", "Personal"}));
    for (std::int32_t m = 0; m < meetings; ++m) {
        test::MeetingSpec meeting{
            .title = Text(random, 60),
            .location = Text(random, 40),
            .date = static_cast<std::uint16_t>(test::HandheldDay(2000, 1, 1) + day(random)),
            .start = {static_cast<std::uint8_t>(8 + m % 10), static_cast<std::uint8_t>(15 * (m % 4))},
            .end = {static_cast<std::uint8_t>(9 + m % 10), 0}};
        meetingFile.Add(static_cast<std::uint32_t>(m + 1),
                        test::MeetingBody(meeting, static_cast<std::uint32_t>(m + 1)),
                        static_cast<std::uint32_t>(m % 3));
    }
    FileWriter linkFile(folder / "link.dat", meetings);
    for (std::int32_t m = 0; m < meetings; ++m) {
        std::vector<std::uint32_t> children;
        for (std::int32_t i = m; i < itemsPerType; i += meetings) {
            const auto id = static_cast<std::uint32_t>(i + 1);
            for (const std::uint32_t type : {kTypeAgenda, kTypeNote, kTypeToDo, kTypeSketch, kTypeAttendee}) {
                children.push_back((type << 24) | id);
            }
        }
        linkFile.Add(static_cast<std::uint32_t>(m + 1), test::LinkBody(static_cast<std::uint32_t>(m + 1), children));
    }
    auto writeItems = [&](const char* name, const std::function<std::string()>& body) {
        FileWriter file(folder / name, itemsPerType);
        for (std::int32_t i = 0; i < itemsPerType; ++i) file.Add(static_cast<std::uint32_t>(i + 1), body());
    };
    writeItems("agenda.dat", [&] { return test::AgendaBody({.text = Text(random, 200), .status = 1}); });
    writeItems("note.dat", [&] { return test::NoteBody({.text = Text(random, 300)}); });
    writeItems("todo.dat", [&] {
        return test::ToDoBody({.text = Text(random, 200),
                               .priority = 2,
                               .dueDate = static_cast<std::uint16_t>(test::HandheldDay(2000, 1, 1) + day(random)),
                               .due = {17, 30}});
    });
    writeItems("sketch.dat",
               [&] { return test::SketchBody({.title = Text(random, 20), .bitmap = SketchBitmap(random)}); });
    writeItems("attendee.dat", [&] {
        return test::AttendeeBody(
            {.nameParts = {Text(random, 8), Text(random, 10), Text(random, 20)}, .addressId = 42});
    });
}

void ReloadWithLinking(benchmark::State& state, std::int32_t meetings, std::int32_t itemsPerType) {
    test::TempDir dir;
    WriteStore(dir.Path(), meetings, itemsPerType);
    MeetingDatabase db(dir.Path());
    for (auto _ : state) {
        benchmark::DoNotOptimize(db.ReloadAll());
    }
    state.counters["records"] = db.MeetingCount() + db.LinkCount() + db.AgendaCount() + db.NoteCount() +
                                db.ToDoCount() + db.SketchCount() + db.AttendeeCount();
    state.counters["LinkMap"] = db.LinkMapCount();
    db.Release();
}

void BM_ReloadFullCapacity(benchmark::State& state) { ReloadWithLinking(state, kMaxRecords, kMaxRecords); }
BENCHMARK(BM_ReloadFullCapacity)->Unit(benchmark::kMillisecond)->Iterations(3);

// 500 meetings and 5,000 items: 1,000 of each type, 10 items a meeting.
void BM_ReloadTypical(benchmark::State& state) { ReloadWithLinking(state, 500, 1000); }
BENCHMARK(BM_ReloadTypical)->Unit(benchmark::kMillisecond);

// One in-memory store for both map builds: every meeting has one link naming five items.
const RecordArrays& LinkingStore() {
    static const RecordArrays records = [] {
        constexpr int kMeetings = 13000;  // 65,000 LinkMap entries: just under the map limit
        RecordArrays r;
        auto add = [](auto& array, int count) {
            for (int i = 0; i < count; ++i) {
                array.push_back(std::make_unique<typename std::decay_t<decltype(array)>::value_type::element_type>());
                array.back()->dwDBID = static_cast<std::uint32_t>(i + 1);
            }
        };
        add(r.meetings, kMeetings);
        add(r.agendas, kMeetings);
        add(r.notes, kMeetings);
        add(r.toDos, kMeetings);
        add(r.sketches, kMeetings);
        add(r.attendees, kMeetings);
        for (int m = 0; m < kMeetings; ++m) {
            auto link = std::make_unique<Link>();
            link->dwMeetingDBID = static_cast<std::uint32_t>(m + 1);
            link->nChildCount = 5;
            link->pdwChildDBID = std::make_unique<std::uint32_t[]>(5);
            std::size_t c = 0;
            for (const std::uint32_t type : {kTypeAgenda, kTypeNote, kTypeToDo, kTypeSketch, kTypeAttendee}) {
                link->pdwChildDBID[c++] = (type << 24) | static_cast<std::uint32_t>(kMeetings - m);
            }
            r.links.push_back(std::move(link));
        }
        return r;
    }();
    return records;
}

// As a reload does it: the builder and the maps keep their memory from one build to the next.
void BM_BuildMapsIndexed(benchmark::State& state) {
    LinkMapBuilder builder;
    MeetingMaps maps;
    for (auto _ : state) {
        builder.Build(LinkingStore(), maps);
        benchmark::DoNotOptimize(maps.linkMap.data());
    }
    state.counters["LinkMap"] = static_cast<double>(maps.linkMap.size());
}
BENCHMARK(BM_BuildMapsIndexed)->Unit(benchmark::kMillisecond);

// The first build after start: all memory fresh.
void BM_BuildMapsIndexedFresh(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(BuildLinkMaps(LinkingStore()));
}
BENCHMARK(BM_BuildMapsIndexedFresh)->Unit(benchmark::kMillisecond);

void BM_BuildMapsNestedScan(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(test::NestedLinkScan(LinkingStore()));
}
BENCHMARK(BM_BuildMapsNestedScan)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace tavolex

BENCHMARK_MAIN();
