#pragma once
// The store as a SQLite database: a table per record kind with the handheld ids and ISO dates,
// the meetings' items in handheld order, the address book, the sketches as JPEG pictures, and a
// full-text table (trigram tokenizer) over every text so that Japanese can be searched with SQL.
// The schema is kSqliteSchema.

#include "export/export_text.h"

#include <filesystem>

namespace tavolex {

extern const char* const kSqliteSchema;

// Writes the database at `path` (replacing a file there only when the export is done). On
// failure or cancel nothing is left at `path` and summary says why. The sketches' JPEG pictures
// are encoded on `jobs` threads (0: DefaultJobs()); the rows are written in one order whatever
// their number.
bool WriteSqliteDatabase(const MeetingDatabase& store, const AddressBook& book, const MeetingIndexes& selection,
                         const std::filesystem::path& path, ExportText& text, ExportSummary& summary,
                         const ExportProgress& progress = {}, int jobs = 0);

}  // namespace tavolex
