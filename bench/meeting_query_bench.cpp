// search, check, the to-dos and the people over a store at full capacity (65,520 meetings, one
// item of every kind each): the core's work behind `tavolex search`, `check`, `todos` and `people`. scripts/bench-cli times the whole
// commands.

#include "address_book/address_book.h"
#include "bench/large_store.h"
#include "meeting_query/across_meetings.h"
#include "meeting_query/meeting_filter.h"
#include "meeting_query/store_check.h"
#include "meeting_query/store_search.h"
#include "meeting_store/meeting_database.h"
#include "tests/support/temp_dir.h"
#include "views/meeting_listing.h"

#include <benchmark/benchmark.h>

#include <numeric>

namespace {

using namespace tavolex;

struct LargeStore {
    test::TempDir dir;
    std::filesystem::path data = dir / "Large" / "Tavolex";
    MeetingDatabase store{data};
    AddressBook book{dir / "Large" / "address" / "address.dat"};
    std::vector<std::int32_t> all;

    LargeStore() {
        bench::WriteLargeStore(dir.Path());
        store.ReloadAll();
        book.Reload();
        all.resize(static_cast<std::size_t>(store.MeetingCount()));
        std::iota(all.begin(), all.end(), 0);
    }
};

LargeStore& Store() {
    static LargeStore store;
    return store;
}

// A Japanese text found in 1,310 locations, one found nowhere (every text read to its end), and
// a half-width one that folds to the full-width sketch titles.
void BM_Search(benchmark::State& state, const char* text) {
    LargeStore& s = Store();
    std::size_t hits = 0;
    for (auto _ : state) {
        hits = SearchMeetings(s.store, s.all, text, [&](std::int32_t index) {
                   std::vector<SearchItem> items;
                   for (const MeetingItemEntry& e : BuildMeetingItemEntries(s.store, s.book, index)) {
                       items.push_back({ItemKindWord(e.kind), e.item, e.displayText});
                   }
                   return items;
               }).size();
        benchmark::DoNotOptimize(hits);
    }
    state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK_CAPTURE(BM_Search, room, "会議室 7")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, nowhere, "ガイド")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, half_width, "ﾚｲｱｳﾄ 655")->Unit(benchmark::kMillisecond);

std::vector<SearchItem> ItemsOf(LargeStore& s, std::int32_t index) {
    std::vector<SearchItem> items;
    for (const MeetingItemEntry& e : BuildMeetingItemEntries(s.store, s.book, index)) {
        items.push_back({ItemKindWord(e.kind), e.item, e.displayText});
    }
    return items;
}

// The find box: folding every text once as the store is loaded, then one keystroke's filtering
// (the desktop program's budget for a keystroke, redraw included, is 100 ms).
void BM_FilterBuild(benchmark::State& state) {
    LargeStore& s = Store();
    for (auto _ : state) {
        MeetingFilter filter(s.store, [&](std::int32_t index) { return ItemsOf(s, index); });
        benchmark::DoNotOptimize(filter.ShownCount());
    }
}
BENCHMARK(BM_FilterBuild)->Unit(benchmark::kMillisecond);

void BM_FilterKeystroke(benchmark::State& state, const char* text) {
    LargeStore& s = Store();
    static MeetingFilter filter(s.store, [&](std::int32_t index) { return ItemsOf(s, index); });
    for (auto _ : state) {
        filter.SetText(text);
        benchmark::DoNotOptimize(filter.ShownCount());
    }
    state.counters["shown"] = static_cast<double>(filter.ShownCount());
}
BENCHMARK_CAPTURE(BM_FilterKeystroke, room, "会議室 7")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterKeystroke, nowhere, "ガイド")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterKeystroke, half_width, "ﾚｲｱｳﾄ 655")->Unit(benchmark::kMillisecond);

void BM_Check(benchmark::State& state) {
    LargeStore& s = Store();
    for (auto _ : state) {
        const StoreCheck check = CheckStore(s.data, s.dir / "Large" / "address" / "address.dat");
        benchmark::DoNotOptimize(check.files.size());
    }
}
BENCHMARK(BM_Check)->Unit(benchmark::kMillisecond);

// Every to-do in the default order (open first, then by due date).
void BM_ToDos(benchmark::State& state) {
    LargeStore& s = Store();
    std::size_t rows = 0;
    for (auto _ : state) {
        std::vector<ToDoRow> toDos = CollectToDos(s.store, s.all);
        SortToDos(toDos, ToDoOrder::kOpenFirst);
        rows = toDos.size();
        benchmark::DoNotOptimize(toDos.data());
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_ToDos)->Unit(benchmark::kMillisecond);

void BM_People(benchmark::State& state) {
    LargeStore& s = Store();
    std::size_t people = 0;
    for (auto _ : state) {
        people = CollectPeople(s.store, s.book, s.all).size();
        benchmark::DoNotOptimize(people);
    }
    state.counters["people"] = static_cast<double>(people);
}
BENCHMARK(BM_People)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
