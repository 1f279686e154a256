#include "export/every_user_export.h"

#include "export/archive_index.h"
#include "export/user_joins.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#ifdef TAVOLEX_HAVE_SQLITE
#include "export/sqlite_export.h"
#endif
#ifdef TAVOLEX_HAVE_XLSX
#include "export/xlsx_workbook.h"
#endif

#include <fstream>
#include <iterator>
#include <memory>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

// A whole file's bytes; empty when it can't be read.
std::string ReadFileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Whether the index over the users at the top of a folder export may be written without asking:
// there is none, or an earlier export of several users wrote it.
bool OwnIndex(const Exporter& exporter, const fs::path& folder, const fs::path& index) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(index, ec))) return true;
    return exporter.name == "archive" ? IsEarlierArchive(folder) : ReadFileText(index).starts_with("# 議事録\n\n## ");
}

std::string JoinDocuments(const Exporter& exporter, const std::vector<UserDocument>& documents) {
    if (exporter.name == "calendar") return JoinCalendars(documents);
    if (exporter.name == "contacts") return JoinVCards(documents);
    return JoinDumps(documents);
}

void AddUp(ExportSummary& total, const ExportSummary& one, bool files) {
    total += one;
    total.kept.insert(total.kept.end(), one.kept.begin(), one.kept.end());
    if (files) total.files.insert(total.files.end(), one.files.begin(), one.files.end());
    total.meetings += one.meetings;
    total.addresses += one.addresses;
    total.replacements += one.replacements;
    total.undated += one.undated;
}

#ifdef TAVOLEX_HAVE_SQLITE
using DatabasePart = SqliteUserPart;
#else
struct DatabasePart {
    std::string user;
    fs::path database;
};
#endif

// The users' databases of a database export, removed when it ends.
struct DatabaseParts {
    std::vector<DatabasePart> parts;
    ~DatabaseParts() {
        std::error_code ec;
        for (const DatabasePart& part : parts) fs::remove(part.database, ec);
    }
};

}  // namespace

std::string ExportEveryUser(const EveryUserExport& run, EveryUserSummary& result) {
    const Exporter& exporter = *run.exporter;
    const bool folder = exporter.kind == ExportWrites::kFolder;
    result.shown = folder ? run.target / fs::path(exporter.index) : run.target;
    std::vector<archive::UserArchive> archives;
    std::vector<UserDocument> documents;
    DatabaseParts database;
#ifdef TAVOLEX_HAVE_XLSX
    std::unique_ptr<XlsxWorkbook> workbook;  // the workbook's: one, each user's rows added
#endif
    ExportSummary total;
    for (const std::string& user : run.users) {
        UserExportPart part;
        const PartOpened opened = run.open(user, part);
        if (opened == PartOpened::kLeftOut) {
            result.leftOut.push_back(user);
            continue;
        }
        result.stopped = opened == PartOpened::kStop;
        if (!result.stopped && folder && result.written.empty() && !OwnIndex(exporter, run.target, result.shown)) {
            result.stopped = !run.mayReplace(result.shown);
        }
        if (result.stopped) return {};
        // A folder export's folder of the user: the last part of the user's directory, so that one
        // the user list gives as a path (absolute, or climbing out with "..") never leads out of
        // the target; a directory without a name of its own leaves the user out.
        const fs::path own = platform::PathFromCp932(part.directory).filename();
        if (folder && (own.empty() || own == "." || own == "..")) {
            result.leftOut.push_back(user);
            continue;
        }
        ExportRequest& request = part.request;
        std::string indexData;
        if (folder) {
            request.target = run.target / own;
            if (exporter.name == "archive") request.archive.indexData = &indexData;
            const std::vector<fs::path> taken = exporter.replaces(request);
            if (!taken.empty() && !run.mayReplace(taken.front())) {
                result.stopped = true;
                return {};
            }
        } else if (exporter.name == "xlsx") {
#ifdef TAVOLEX_HAVE_XLSX
            if (!workbook) workbook = std::make_unique<XlsxWorkbook>(run.target, true, request.now);
            request.workbook = workbook.get();
            request.workbookUser = user;
#endif
        } else if (exporter.kind == ExportWrites::kDatabase) {
            std::error_code ec;
            if (!platform::CreateTemporaryFor(run.target, request.target, ec)) {
                result.summary.error = platform::PathToUtf8(run.target) + ": " + ec.message();
                return {};
            }
            database.parts.push_back({user, request.target});
        }
        ExportText text;
        ExportSummary summary;
        std::string document = exporter.job(request, text, summary);
        if (!summary.Ok()) {
            result.summary = std::move(summary);
            return {};
        }
        AddUp(total, summary, exporter.kind != ExportWrites::kDatabase);  // a database's file is a part
        if (exporter.name == "archive") {
            archives.push_back({user, platform::PathToUtf8(own), std::move(indexData)});
        } else if (folder) {
            documents.push_back({platform::PathToUtf8(own), ReadFileText(request.target / exporter.index)});
        } else {
            documents.push_back({user, std::move(document)});
        }
        result.written.push_back(user);
        if (part.merged) {
            if (!result.merged) result.merged.emplace();
            result.merged->merged += part.merged->merged;
            result.merged->replaced += part.merged->replaced;
        }
    }
    result.summary = std::move(total);
    if (result.written.empty()) return {};
    if (exporter.name == "archive") {
        WriteExportFile(result.shown, archive::UsersIndexPage(archives), result.summary);
    } else if (folder) {
        WriteExportFile(result.shown, JoinVaultIndexes(documents), result.summary);
    } else if (exporter.name == "xlsx") {
#ifdef TAVOLEX_HAVE_XLSX
        workbook->Finish(result.summary);
#endif
    } else if (exporter.kind == ExportWrites::kDatabase) {
#ifdef TAVOLEX_HAVE_SQLITE
        JoinSqliteDatabases(database.parts, run.target, result.summary);
#endif
    } else {
        return JoinDocuments(exporter, documents);
    }
    return {};
}

}  // namespace tavolex
