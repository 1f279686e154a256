#include "export/exporters.h"

#include "export/icalendar_writer.h"
#include "export/markdown_vault.h"
#include "export/vcard_writer.h"
#ifdef TAVOLEX_HAVE_SQLITE
#include "export/sqlite_export.h"
#endif
#ifdef TAVOLEX_HAVE_XLSX
#include "export/xlsx_workbook.h"
#endif

#include <array>

namespace tavolex {
namespace {

std::string Archive(const ExportRequest& r, ExportText& text, ExportSummary& summary) {
    ArchiveOptions options = r.archive;
    options.folder = r.target;
    options.book = r.book;
    options.jobs = r.jobs;
    WriteArchive(*r.store, *r.reports, r.meetings, options, text, summary, r.progress);
    return {};
}

std::vector<std::filesystem::path> ArchiveReplaces(const ExportRequest& r) {
    ArchiveOptions options = r.archive;
    options.folder = r.target;
    return ArchiveFilesToReplace(*r.store, r.meetings, options);
}

std::string Markdown(const ExportRequest& r, ExportText& text, ExportSummary& summary) {
    WriteMarkdownVault(*r.store, *r.book, r.meetings, r.target, text, summary, r.progress);
    return {};
}

std::vector<std::filesystem::path> MarkdownReplaces(const ExportRequest& r) {
    return VaultFilesToReplace(*r.store, *r.book, r.meetings, r.target);
}

std::string Calendar(const ExportRequest& r, ExportText& text, ExportSummary& summary) {
    return WriteICalendar(*r.store, *r.book, r.userFolder, r.meetings, r.now, text, summary, r.progress);
}

std::string Contacts(const ExportRequest& r, ExportText& text, ExportSummary& summary) {
    return WriteVCards(*r.book, r.userFolder, r.people ? &*r.people : nullptr, text, summary, r.cardCategories);
}

std::string Dump(const ExportRequest& r, ExportText& text, ExportSummary& summary) {
    DumpOptions options = r.dump;
    options.jobs = r.jobs;
    return WriteJsonDump(*r.store, *r.book, r.meetings, options, text, summary, r.progress);
}

std::string Sqlite(const ExportRequest& r, ExportText& text, ExportSummary& summary) {
#ifdef TAVOLEX_HAVE_SQLITE
    WriteSqliteDatabase(*r.store, *r.book, r.meetings, r.target, text, summary, r.progress, r.jobs);
#else
    (void)r, (void)text;
    summary.error = "This build of tavolex has no SQLite.";
#endif
    return {};
}

std::string Xlsx(const ExportRequest& r, ExportText& text, ExportSummary& summary) {
#ifdef TAVOLEX_HAVE_XLSX
    if (r.workbook != nullptr) {
        r.workbook->Add(r.workbookUser, *r.store, *r.book, r.meetings, text, summary, r.progress);
    } else {
        WriteXlsxWorkbook(*r.store, *r.book, r.meetings, r.target, r.now, text, summary, r.progress);
    }
#else
    (void)r, (void)text;
    summary.error = "This build of tavolex has no Excel workbook.";
#endif
    return {};
}

constexpr unsigned kItems = kCountAgendas | kCountNotes | kCountToDos | kCountSketches | kCountAttendees;

constexpr Exporter kExporters[] = {
    {"archive", "a browsable archive of the meetings (index.html, their reports and sketches) into DIR",
     "アーカイブ(&A)…", "", "", ExportWrites::kFolder, kCountMeetings | kItems, Archive, ArchiveReplaces, "index.html",
     "index.html"},
    {"calendar", "the meetings and their to-dos as iCalendar", "カレンダー (iCalendar)(&C)…",
     "iCalendar (*.ics)|*.ics|", "ics", ExportWrites::kDocument, kCountMeetings | kItems, Calendar},
    {"contacts", "the address book as vCard 3.0", "連絡先 (vCard)(&V)…", "vCard (*.vcf)|*.vcf|", "vcf",
     ExportWrites::kDocument, kCountAddresses, Contacts},
    {"sqlite", "the store as a SQLite database with a full-text table", "データベース (SQLite)(&D)…",
     "SQLite (*.sqlite)|*.sqlite|", "sqlite", ExportWrites::kDatabase, kCountMeetings | kItems | kCountAddresses,
     Sqlite},
    {"dump", "the whole store as one JSON document, losslessly", "JSON ダンプ(&J)…", "JSON (*.json)|*.json|", "json",
     ExportWrites::kDocument, kCountMeetings | kItems | kCountAddresses, Dump},
    {"markdown", "the meetings as a folder of Markdown notes (a vault for notes apps) into DIR", "Markdown ノート(&M)…",
     "", "", ExportWrites::kFolder, kCountMeetings | kItems, Markdown, MarkdownReplaces, "", "index.md"},
    {"xlsx", "the meetings, their items and the people as an Excel workbook", "Excel ブック(&X)…",
     "Excel ブック (*.xlsx)|*.xlsx|", "xlsx", ExportWrites::kDatabase, kCountMeetings | (kItems & ~kCountSketches),
     Xlsx},
};

}  // namespace

std::span<const Exporter> Exporters() { return kExporters; }

const Exporter* FindExporter(std::string_view name) {
    for (const Exporter& e : kExporters) {
        if (e.name == name) return &e;
    }
    return nullptr;
}

std::vector<ExportCountValue> ReportedCounts(const Exporter& exporter, const ExportSummary& summary) {
    const std::array<ExportCountValue, kExportCountKinds> all = {{{kCountMeetings, summary.meetings},
                                                                  {kCountAgendas, summary.agendas},
                                                                  {kCountNotes, summary.notes},
                                                                  {kCountToDos, summary.toDos},
                                                                  {kCountSketches, summary.sketches},
                                                                  {kCountAttendees, summary.attendees},
                                                                  {kCountAddresses, summary.addresses}}};
    std::vector<ExportCountValue> reported;
    for (const ExportCountValue& c : all) {
        if ((exporter.counts & c.count) != 0) reported.push_back(c);
    }
    return reported;
}

}  // namespace tavolex
