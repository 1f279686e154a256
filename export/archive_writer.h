#pragma once
// The browsable archive: a folder with index.html (UTF-8, no external resources, works from the
// file system) listing the selected meetings by date, each linked to its report written as the
// report command writes it, with the sketch pictures the reports name. A search box filters the
// list with the page's own script over every text of each meeting (NFKC and case folding), and
// "index.html?q=TEXT" opens with that search applied.

#include "export/export_text.h"
#include "report/report_folder.h"

#include <filesystem>
#include <string>

namespace tavolex {

struct ArchiveOptions {
    std::filesystem::path folder;        // created when missing
    ReportKind kind = ReportKind::kExecutive;
    std::filesystem::path templatePath;  // when set, the reports come from this template instead
    bool utf8Reports = false;            // reports rewritten to UTF-8, their charset declaration too
    ReportOptions reportOptions;         // its output folder is replaced by `folder`
};

// The file name of a meeting's report in the archive: "meeting-<id>" and the extension; a second
// meeting with the same id (a damaged store) gets its store number added.
[[nodiscard]] std::string ArchiveReportName(const Meeting& meeting, std::int32_t index, bool duplicateId,
                                            std::string_view extension);

// `reports` is the generator the report command uses; its template is loaded from
// options.templatePath when that is set.
bool WriteArchive(const MeetingDatabase& store, ReportFolder& reports, const MeetingIndexes& selection,
                  const ArchiveOptions& options, ExportText& text, ExportSummary& summary,
                  const ExportProgress& progress = {});

}  // namespace tavolex
