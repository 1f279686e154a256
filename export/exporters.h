#pragma once
// The exporters as one table. Each format is a row: its name, what it writes, the desktop's menu
// text, the counts its summary reports, and its job behind one signature. The command line and the
// desktop program loop over the table, so a new format is one row and the places that offer it.

#include "export/archive_writer.h"
#include "export/export_text.h"
#include "export/json_dump.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavolex {

class AddressBook;
class MeetingDatabase;
class ReportWriter;
class XlsxWorkbook;

// What one export reads and where it goes; each job takes the fields its format needs.
struct ExportRequest {
    const MeetingDatabase* store = nullptr;
    const AddressBook* book = nullptr;
    std::filesystem::path userFolder{};  // the Palm user's folder: the calendar's and the cards' UIDs
    ReportWriter* reports = nullptr;     // the archive's reports
    MeetingIndexes meetings{};           // the selection
    std::filesystem::path target{};      // the archive's folder, the database's file
    ArchiveOptions archive{};            // its folder is `target`
    DumpOptions dump{};
    std::optional<std::set<std::uint32_t>> people{};  // contacts: only these address ids; none: all
    bool cardCategories = false;                      // contacts: each card names its category
    std::time_t now = 0;                              // the calendar's DTSTAMP, the workbook's creation
    XlsxWorkbook* workbook = nullptr;  // the workbook: one of several users to add the rows to; none: its own
    std::string workbookUser{};        // UTF-8: the user the rows of `workbook` name
    int jobs = 0;                      // threads of the archive, the database and the dump's pictures; 0: DefaultJobs()
    ExportProgress progress{};
};

// Writes the export itself (a folder, a database), returning nothing; or returns the document
// that the caller writes to a file or to standard output.
using ExportJob = std::string (*)(const ExportRequest& request, ExportText& text, ExportSummary& summary);

enum class ExportWrites {
    kFolder,    // a folder of files: the request's target
    kDatabase,  // one file the job writes itself: the request's target
    kDocument,  // one document, returned
};

// The counts of ExportSummary a format reports (a bit each).
enum ExportCount : unsigned {
    kCountMeetings = 1u << 0,
    kCountAgendas = 1u << 1,
    kCountNotes = 1u << 2,
    kCountToDos = 1u << 3,
    kCountSketches = 1u << 4,
    kCountAttendees = 1u << 5,
    kCountAddresses = 1u << 6,
};
inline constexpr int kExportCountKinds = 7;

// The files of a folder export's target it would replace, for the question asked before writing
// there; none when the folder holds an earlier export of the same format.
using FolderCheck = std::vector<std::filesystem::path> (*)(const ExportRequest& request);

struct Exporter {
    std::string_view name{};        // the command line's command
    std::string_view writes{};      // what it writes: the command's help after "write "
    std::string_view menuText{};    // the desktop's File → エクスポート item, UTF-8
    std::string_view fileFilter{};  // the desktop's save chooser: "label|pattern|"; empty for a folder
    std::string_view extension{};   // the file's default extension; empty for a folder
    ExportWrites kind = ExportWrites::kDocument;
    unsigned counts = 0;  // ExportCount bits
    ExportJob job = nullptr;
    FolderCheck replaces = nullptr;  // a folder export's question; null for the others
    std::string_view opens{};        // the file of the folder a viewer opens when done; empty: none
    std::string_view index{};        // a folder export's index at its top (several users' index too)
};

// The formats, in the desktop menu's order. In a build without SQLite or libxlsxwriter its row's
// job fails with summary.error saying so.
[[nodiscard]] std::span<const Exporter> Exporters();
// The row of that name; null when there is none.
[[nodiscard]] const Exporter* FindExporter(std::string_view name);

// The values of the counts a format reports, in ExportCount order, each with its bit.
struct ExportCountValue {
    ExportCount count;
    std::int64_t value;
};
[[nodiscard]] std::vector<ExportCountValue> ReportedCounts(const Exporter& exporter, const ExportSummary& summary);

}  // namespace tavolex
