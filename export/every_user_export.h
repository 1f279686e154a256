#pragma once
// An export of several Palm users at once, as one export: each user's written as it is alone, then
// joined. A folder export (the archive, the Markdown vault) writes each user's into a folder of the
// user's folder name and an index over them at the top; a document export joins the users'
// documents into one (the calendars' components, the cards, the dumps' "users" array); the database
// joins each user's database, written beside the target first; the workbook takes each user's rows
// in turn, each led by the user's name. The command line and the desktop
// program both run it, each opening the users its own way and asking its own questions.

#include "export/exporters.h"
#include "meeting_query/store_merge.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavolex {

// One user, opened by the caller.
struct UserExportPart {
    std::string directory;  // the user's directory, CP932: its last part names the sub-folder of a folder export
    ExportRequest request;  // as for that user alone; the run sets its target and the archive's index data
    std::optional<MergeCounts> merged{};  // the user's copies merged, when several were given
    std::shared_ptr<void> keep{};         // what the request points into, held while the user is written
};

enum class PartOpened : std::uint8_t {
    kOpened,
    kLeftOut,  // the user can't be read (the caller said so): the others are written
    kStop,     // nothing more is written (a question answered no, a command line wrong for every user)
};

struct EveryUserExport {
    const Exporter* exporter = nullptr;
    std::vector<std::string> users;  // UTF-8, in the order written
    std::filesystem::path target;    // the folder or the file; empty for a document the caller writes
    std::function<PartOpened(const std::string& user, UserExportPart& part)> open{};
    // Whether the files an export would replace, named by the first, may be replaced.
    std::function<bool(const std::filesystem::path& first)> mayReplace{};
};

struct EveryUserSummary {
    ExportSummary summary;  // the users' counts summed, the files written; the failure that ended it
    std::vector<std::string> written, leftOut;  // UTF-8
    std::optional<MergeCounts> merged{};        // summed over the users written whose copies were merged
    bool stopped = false;                       // PartOpened::kStop, or a question answered no
    std::filesystem::path shown;                // the index of a folder export, else the target
};

// Runs it; returns the joined document of a document export (for the caller to write), else empty.
// On a failure or cancel nothing more is written (a database's parts are removed) and the summary
// says why; a user left out leaves the others written.
std::string ExportEveryUser(const EveryUserExport& run, EveryUserSummary& result);

}  // namespace tavolex
