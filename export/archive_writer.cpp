#include "export/archive_writer.h"

#include "address_book/address_book.h"
#include "export/archive_folder.h"
#include "export/archive_index.h"
#include "export/archive_lists.h"
#include "export/archive_reports.h"
#include "export/ordered_pool.h"
#include "export/progress_counter.h"
#include "meeting_query/across_meetings.h"
#include "meeting_store/meeting_database.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "report/report_folder.h"
#include "report_files/report_writer.h"

#include <algorithm>
#include <cstdio>
#include <future>
#include <map>
#include <set>
#include <string_view>
#include <system_error>
#include <vector>

namespace tavolex {
namespace {

using archive::IndexBuilder;
using archive::RenderedReport;
using archive::Row;

std::vector<Row> RowsByDate(const MeetingDatabase& store, const MeetingIndexes& selection) {
    std::vector<Row> rows;
    for (const std::int32_t index : MeetingsByDate(store, selection)) rows.push_back({index, store.MeetingAt(index)});
    return rows;
}

// Writes a page given as its parts, one after the other, through a new file moved over its name:
// a link or a hard-linked copy there is replaced, never written through.
bool WriteIndex(const std::filesystem::path& path, const std::vector<std::string_view>& page, ExportSummary& summary) {
    std::filesystem::path temp;
    std::error_code error;
    platform::UniqueFile file = platform::CreateTemporaryFor(path, temp, error);
    bool written = file != nullptr;
    if (file) {
        for (const std::string_view part : page)
            written = written && std::fwrite(part.data(), 1, part.size(), file.get()) == part.size();
        written = std::fclose(file.release()) == 0 && written;
        if (written) {
            written = !platform::MoveInPlace(temp, path);  // which removes the temporary when it fails
        } else {
            std::filesystem::remove(temp, error);
        }
    }
    if (!written) {
        summary.error = "cannot write " + platform::PathToUtf8(path);
        return false;
    }
    summary.files.push_back(path);
    return true;
}

}  // namespace

bool WriteArchive(const MeetingDatabase& store, ReportWriter& writer, const MeetingIndexes& selection,
                  const ArchiveOptions& options, ExportText& text, ExportSummary& summary,
                  const ExportProgress& progress) {
    const std::set<std::string> earlierYearPages = archive::EarlierYearPages(options.folder);
    std::error_code ec;
    std::filesystem::create_directories(options.folder, ec);
    std::error_code probe;
    if (!std::filesystem::is_directory(options.folder, probe)) {
        // The reason the system gave for the folder it could not make, or that a file holds its name.
        if (!ec) ec = std::make_error_code(std::errc::not_a_directory);
        summary.error = "cannot create the folder " + platform::PathToUtf8(options.folder) + ": " + ec.message();
        return false;
    }
    ReportOptions reportOptions = options.reportOptions;
    reportOptions.outputFolder = options.folder;
    if (!options.templatePath.empty() && !writer.LoadTemplateFile(options.templatePath)) {
        summary.error = "cannot read the template " + platform::PathToUtf8(options.templatePath);
        return false;
    }
    ReportFolder& reports = writer.Generator();
    archive::ReportRenderer renderer(store, options, reportOptions);
    const std::map<std::uint32_t, int> idUses = archive::IdUses(store, selection);
    const std::vector<Row> rows = RowsByDate(store, selection);
    // Report names are made where they are needed (on the workers, and beside them for the lists).
    const auto nameOf = [&](const Row& row) {
        return ArchiveReportName(*row.meeting, row.index, idUses.at(row.meeting->dwDBID) > 1, renderer.Extension());
    };
    const auto reportNamesOf = [&] {
        std::map<std::int32_t, std::string> names;
        for (const Row& row : rows) names.emplace(row.index, nameOf(row));
        return names;
    };

    // With one job the reports are made by `reports` on this thread, as a single report is; with
    // more, each worker has a generator of its own, and the colours a template keeps from one
    // report to the next are followed here in the rows' order.
    const int jobs = std::min<int>(options.jobs > 0 ? options.jobs : DefaultJobs(), static_cast<int>(rows.size()));
    struct Worker {
        std::unique_ptr<ReportFolder> reports;
        ExportText text;
    };
    // Meetings that share an id show the same sketches: each picture file is written once.
    reports.BeginPictureBatch();
    struct EndBatch {
        ReportFolder& reports;
        ~EndBatch() { reports.EndPictureBatch(); }
    } endBatch{reports};
    std::vector<Worker> workers(static_cast<std::size_t>(std::max(jobs, 1)));
    if (jobs > 1) {
        for (Worker& w : workers) w.reports = reports.NewWorker();
    }
    std::string color1(reports.Color1());
    std::string color2(reports.Color2());
    IndexBuilder index;
    // The to-do and people pages need only the store and the report names: with more than one job
    // they are made beside the reports, and written once the reports are.
    static const AddressBook kNoBook;
    const AddressBook& book = options.book ? *options.book : kNoBook;
    const auto listPagesOf = [&] {
        const std::map<std::int32_t, std::string> reportNames = reportNamesOf();
        return std::pair(archive::ToDoPage(store, selection, reportNames),
                         archive::PeoplePage(store, book, selection, reportNames));
    };
    std::future<std::pair<std::string, std::string>> listPages;
    if (jobs > 1) listPages = std::async(std::launch::async, listPagesOf);
    ProgressCounter steps(progress, selection.size(), summary);
    const bool done = RunInOrder<RenderedReport>(
        rows.size(), jobs,
        [&](int worker, std::size_t i) {
            Worker& w = workers[static_cast<std::size_t>(worker)];
            std::string name = nameOf(rows[i]);
            RenderedReport r = jobs > 1 ? renderer.Render(*w.reports, w.text, rows[i], name, true)
                                        : renderer.Render(reports, text, rows[i], name, false);
            r.name = std::move(name);
            return r;
        },
        [&](std::size_t i, RenderedReport& r) {
            if (r.needsEarlierColors) {
                std::string name = std::move(r.name);
                reports.SetColors(color1, color2);
                r = renderer.Render(reports, text, rows[i], name, false);
                r.name = std::move(name);
            }
            if (!r.error.empty()) {
                summary.error = r.error;
                return false;
            }
            const std::string before1 = color1;
            color1 = archive::ResolvedColor(r.color1, before1, color2);
            color2 = archive::ResolvedColor(r.color2, before1, color2);
            ++summary.meetings;
            summary += r.entry.counts;
            summary.files.push_back(options.folder / r.name);
            index.Add(r.entry);
            return steps.Step();
        },
        kReportBatch);
    if (jobs > 1) reports.SetColors(color1, color2);
    for (const Worker& w : workers) text.AddReplacements(w.text.Replacements());
    if (!done) return false;
    // With more than one job the year pages are made and written beside the index; the files are
    // listed, and a failure told, in the same order either way.
    ExportSummary yearPages;
    const auto writeYearPages = [&] {
        for (const auto& [year, rowsOfYear] : index.Years()) {
            if (!WriteIndex(options.folder / archive::YearPageName(year), {index.YearPage(year)}, yearPages))
                return false;
        }
        return true;
    };
    std::future<bool> yearsWritten;
    if (jobs > 1) yearsWritten = std::async(std::launch::async, writeYearPages);
    bool ok = WriteIndex(options.folder / "index.html", index.IndexParts(), summary);
    const bool yearsOk = yearsWritten.valid() ? yearsWritten.get() : ok && writeYearPages();
    summary.files.insert(summary.files.end(), yearPages.files.begin(), yearPages.files.end());
    if (ok && !yearsOk) summary.error = yearPages.error;
    ok = ok && yearsOk;
    const auto [toDoPage, peoplePage] = listPages.valid() ? listPages.get() : listPagesOf();
    ok = ok && WriteIndex(options.folder / "todo.html", {toDoPage}, summary) &&
         WriteIndex(options.folder / "people.html", {peoplePage}, summary);
    if (ok) archive::RemoveStaleYearPages(options.folder, earlierYearPages, index.Years());
    if (ok && options.indexData != nullptr) *options.indexData = index.Data();
    summary.replacements = text.Replacements();
    return ok;
}

}  // namespace tavolex
