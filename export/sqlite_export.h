#pragma once
// The store as a SQLite database: a table per record kind with the handheld ids and ISO dates,
// the meetings' items in handheld order, the address book, the sketches as JPEG pictures, and a
// full-text table (trigram tokenizer) over every text so that Japanese can be searched with SQL.
// The schema is kSqliteSchema.

#include "export/export_text.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tavolex {

extern const char* const kSqliteSchema;

// Writes the database at `path` (replacing a file there only when the export is done). On
// failure or cancel nothing is left at `path` and summary says why. The sketches' JPEG pictures
// are encoded on `jobs` threads (0: DefaultJobs()); the rows are written in one order whatever
// their number.
bool WriteSqliteDatabase(const MeetingDatabase& store, const AddressBook& book, const MeetingIndexes& selection,
                         const std::filesystem::path& path, ExportText& text, ExportSummary& summary,
                         const ExportProgress& progress = {}, int jobs = 0);

// One user's database as WriteSqliteDatabase wrote it, for a database of several users.
struct SqliteUserPart {
    std::string user;  // UTF-8
    std::filesystem::path database;
};

// The databases of several users joined into one at `path`: the tables of kSqliteSchema holding
// every user's rows (each table's numbers running on from the user before, the items and the
// full-text table following them), a `users` table (number, name) and a `user` column on meeting.
// As WriteSqliteDatabase: nothing is left at `path` on failure, and summary says why.
bool JoinSqliteDatabases(const std::vector<SqliteUserPart>& parts, const std::filesystem::path& path,
                         ExportSummary& summary);

}  // namespace tavolex
