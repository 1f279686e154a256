// The exporters over a whole store: the archive, the SQLite database, the JSON dump, the
// calendar and the Markdown vault. The Palm user folder is TAVOLEX_BENCH_USER (scripts/bench-export makes a full-capacity
// one and runs each benchmark in its own process under /usr/bin/time for its peak resident size);
// the files go to TAVOLEX_BENCH_OUT. The store is loaded once, outside the measured time.

#include "address_book/address_book.h"
#include "export/archive_writer.h"
#include "export/icalendar_writer.h"
#include "export/json_dump.h"
#include "export/markdown_vault.h"
#include "export/sqlite_export.h"
#include "meeting_store/meeting_database.h"
#include "platform/platform.h"
#include "report/report_folder.h"
#include "report_files/report_writer.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <memory>

namespace {

using namespace tavolex;
namespace fs = std::filesystem;

class QuietInteraction final : public platform::UserInteraction {
public:
    void ShowMessage(std::string_view, std::string_view, platform::MessageIcon) override {}
    bool AskYesNo(std::string_view, std::string_view) override { return false; }
};

struct LoadedUser {
    MeetingDatabase store{{}};
    AddressBook book;
    QuietInteraction ui;
    fs::path folder;
    fs::path out;

    LoadedUser() {
        const char* user = std::getenv("TAVOLEX_BENCH_USER");
        const char* out = std::getenv("TAVOLEX_BENCH_OUT");
        if (user == nullptr || out == nullptr) {
            std::fprintf(stderr, "set TAVOLEX_BENCH_USER (a Palm user folder) and TAVOLEX_BENCH_OUT\n");
            std::exit(2);
        }
        this->out = out;
        folder = user;
        fs::create_directories(this->out);
        store.SetFolder(fs::path(user) / "Tavolex");
        store.ReloadAll();
        book.SetPath(AddressBook::PathInUserFolder(user));
        book.Reload();
    }
};

LoadedUser& User() {
    static LoadedUser user;
    return user;
}

void Report(benchmark::State& state, const ExportSummary& summary) {
    if (!summary.Ok()) state.SkipWithError(summary.error.c_str());
    state.counters["meetings"] = static_cast<double>(summary.meetings);
    state.counters["sketches"] = static_cast<double>(summary.sketches);
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void BM_Archive(benchmark::State& state) {
    LoadedUser& user = User();
    for (auto _ : state) {
        ReportFolder reports(user.store, user.book);
        ReportWriter writer(reports, user.ui);
        ArchiveOptions options;
        options.folder = user.out / "archive";
        ExportText text;
        ExportSummary summary;
        WriteArchive(user.store, writer, AllMeetings(user.store), options, text, summary);
        Report(state, summary);
    }
}

void BM_Sqlite(benchmark::State& state) {
    LoadedUser& user = User();
    for (auto _ : state) {
        ExportText text;
        ExportSummary summary;
        WriteSqliteDatabase(user.store, user.book, AllMeetings(user.store), user.out / "store.sqlite", text, summary);
        Report(state, summary);
    }
}

void BM_JsonDump(benchmark::State& state) {
    LoadedUser& user = User();
    for (auto _ : state) {
        ExportText text;
        ExportSummary summary;
        WriteBytes(user.out / "dump.json",
                   WriteJsonDump(user.store, user.book, AllMeetings(user.store), {}, text, summary));
        Report(state, summary);
    }
}

void BM_Calendar(benchmark::State& state) {
    LoadedUser& user = User();
    for (auto _ : state) {
        ExportText text;
        ExportSummary summary;
        WriteBytes(user.out / "calendar.ics",
                   WriteICalendar(user.store, user.book, user.folder, AllMeetings(user.store), 0, text, summary));
        Report(state, summary);
    }
}

void BM_Markdown(benchmark::State& state) {
    LoadedUser& user = User();
    for (auto _ : state) {
        ExportText text;
        ExportSummary summary;
        WriteMarkdownVault(user.store, user.book, AllMeetings(user.store), user.out / "vault", text, summary);
        Report(state, summary);
    }
}

BENCHMARK(BM_Archive)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_Sqlite)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_JsonDump)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_Calendar)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_Markdown)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
