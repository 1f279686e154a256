#pragma once
// The browsable archive: a folder with index.html (UTF-8, no external resources, works from the
// file system) listing the selected meetings by date, each linked to its report written as the
// report command writes it, with the sketch pictures the reports name. Every HTML page carries a
// Content-Security-Policy, added after its <head> tag: nothing a meeting's text holds runs or
// loads from outside the folder. A search box filters the
// list with the page's own script over every text of each meeting (NFKC and case folding), and
// "index.html?q=TEXT" opens with that search applied. Beside the index, todo.html lists every
// to-do (open ones, then done ones, each by due date in groups of a month) and people.html
// everyone listed as an attendee with the meetings they attended or missed, each linked to its
// meeting's report; their own search boxes filter them as the index's does its list.

#include "export/export_text.h"
#include "report/report_options.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tavolex {

class AddressBook;
class ReportWriter;

struct ArchiveOptions {
    std::filesystem::path folder{};  // created when missing
    ReportKind kind = ReportKind::kExecutive;
    std::filesystem::path templatePath{};  // when set, the reports come from this template instead
    bool utf8Reports = false;              // reports rewritten to UTF-8, their charset declaration too
    ReportOptions reportOptions{};         // its output folder is replaced by `folder`
    const AddressBook* book = nullptr;     // whom the people page's attendees are linked to; null: no one
    int jobs = 0;                          // threads making the reports; 0: DefaultJobs()
    std::string* indexData = nullptr;      // when set, given the index's data once it is written
};

// The file name of a meeting's report in the archive: "meeting-<id>" and the extension; a second
// meeting with the same id (a damaged store) gets its store number added.
[[nodiscard]] std::string ArchiveReportName(const Meeting& meeting, std::int32_t index, bool duplicateId,
                                            std::string_view extension);

// True when the folder's index.html is one an archive wrote (it carries the generator mark).
[[nodiscard]] bool IsEarlierArchive(const std::filesystem::path& folder);

// The files of options.folder an archive of the selection would replace, for the question asked
// before it does: its index, the reports and the sketch pictures. None when the folder holds an
// earlier archive, which is refreshed as it stands.
[[nodiscard]] std::vector<std::filesystem::path> ArchiveFilesToReplace(const MeetingDatabase& store,
                                                                       const MeetingIndexes& selection,
                                                                       const ArchiveOptions& options);

// `writer` is the report command's, around its generator; the template is loaded from
// options.templatePath when that is set. The reports are made in memory and written here.
bool WriteArchive(const MeetingDatabase& store, ReportWriter& writer, const MeetingIndexes& selection,
                  const ArchiveOptions& options, ExportText& text, ExportSummary& summary,
                  const ExportProgress& progress = {});

}  // namespace tavolex
