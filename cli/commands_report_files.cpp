// reports, open, rename, delete, export, import, mail: the report folder.

#include "cli/cli_messages.h"
#include "cli/command_registry.h"
#include "platform/file_system.h"
#include "platform/launch.h"
#include "report_files/report_listing.h"
#include "report_files/report_mailer.h"
#include "report_files/report_operations.h"
#include "report_files/report_viewer.h"

#include <iostream>

namespace tavolex::cli {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

std::string U8(std::string_view cp932) { return platform::Cp932ToUtf8(cp932); }

fs::path PathFromUtf8(const std::string& utf8) { return platform::PathFromCp932(platform::Utf8ToCp932(utf8)); }

ReportPaths Paths(CliSession& session) { return {session.OutputFolder(), session.TemplateFolder()}; }

ViewerSettings Viewer(CliSession& session) { return {session.AutoView(), session.BrowserPath()}; }

// The report of the output folder named name, with or without its extension.
std::optional<ReportEntry> FindReport(CliSession& session, const std::string& utf8Name) {
    if (!session.ReadyOutputFolder(false)) return std::nullopt;
    const std::string name = platform::Utf8ToCp932(utf8Name);
    const std::vector<ReportEntry> reports = ListReports(session.OutputFolder());
    for (const ReportEntry& e : reports) {
        if (e.fileName == name) return e;
    }
    for (const ReportEntry& e : reports) {
        if (e.name == name) return e;
    }
    Fail(session.Ui(),
         "There is no report named \"" + name + "\" in " + platform::PathToCp932(session.OutputFolder()) + ".",
         "The reports are listed by: tavolex reports");
    return std::nullopt;
}

// What a file operation did, for --json.
int Done(CliSession& session, const json& what) {
    if (session.Json()) WriteJson(std::cout, what);
    return 0;
}

int Reports(CliSession& session) {
    if (!session.ReadyOutputFolder(false)) return 1;
    json reports = json::array();
    for (const ReportEntry& e : ListReports(session.OutputFolder())) {
        if (session.Format() == OutputFormat::kText) {
            WriteTsvLine(std::cout, {U8(e.name), U8(e.dateText), e.sizeText});
            continue;
        }
        reports.push_back({{"name", U8(e.name)},
                           {"file", U8(e.fileName)},
                           {"path", PathText(session.OutputFolder() / e.path.filename())},
                           {"date", U8(e.dateText)},
                           {"size", std::stoll(e.sizeText.empty() ? "0" : e.sizeText)},
                           {"type", e.type == ReportType::kRtf ? "rtf" : "html"}});
    }
    if (session.Json()) WriteJson(std::cout, json{{"reports", reports}});
    if (session.Csv())
        WriteCsv(std::cout,
                 {{"name"}, {"file"}, {"path"}, {"date", kCsvValue}, {"size", kCsvValue}, {"type", kCsvValue}},
                 reports);
    return 0;
}

int Open(CliSession& session, const std::string& name) {
    const std::optional<ReportEntry> entry = FindReport(session, name);
    if (!entry) return 1;
    const fs::path path = session.OutputFolder() / platform::PathFromCp932(entry->fileName);
    const OpenOutcome outcome = OpenReportPath(path, Viewer(session), platform::SystemLauncher(), session.Ui());
    if (outcome != OpenOutcome::kViewerStarted && outcome != OpenOutcome::kHandlerStarted) return 1;
    return Done(session, {{"opened", PathText(path)}});
}

int Rename(CliSession& session, const std::string& oldName, const std::string& newName) {
    if (newName.empty()) return UsageError("rename", "a report name can't be empty");
    if (platform::Cp932ToUtf8(platform::Utf8ToCp932(newName)) != newName) {
        Fail(session.Ui(), "The report name can't hold every character of \"" + platform::Utf8ToCp932(newName) + "\".",
             "A report's file name is kept in Shift-JIS, which has no place for some of its characters: \"" + newName +
                 "\"");
        return 1;
    }
    const std::optional<ReportEntry> entry = FindReport(session, oldName);
    if (!entry) return 1;
    if (!RenameReport(Paths(session), entry->fileName, platform::Utf8ToCp932(newName), session.Ui())) {
        const fs::path target = session.OutputFolder() / PathFromUtf8(newName + PathText(entry->path.extension()));
        std::error_code ec;
        Fail(session.Ui(), "The report could not be renamed: a report of that name may exist already.",
             fs::exists(target, ec) ? PathReason(target, EEXIST) : WriteFailureReason(target));
        return 1;
    }
    return Done(session,
                {{"renamed", PathText(session.OutputFolder() / entry->path.filename())},
                 {"to", PathText(session.OutputFolder() / PathFromUtf8(newName + PathText(entry->path.extension())))}});
}

int Delete(CliSession& session, const std::string& name) {
    const std::optional<ReportEntry> entry = FindReport(session, name);
    if (!entry) return 1;
    const fs::path path = session.OutputFolder() / entry->path.filename();
    const DeleteOutcome outcome = DeleteReport(Paths(session), entry->fileName, session.Ui());
    if (outcome == DeleteOutcome::kFailed) Detail(WriteFailureReason(path));
    return outcome == DeleteOutcome::kDeleted ? Done(session, {{"deleted", PathText(path)}}) : 1;
}

int Export(CliSession& session, const std::string& name, const std::string& destination) {
    const std::optional<ReportEntry> entry = FindReport(session, name);
    if (!entry) return 1;
    const fs::path dest = PathFromUtf8(destination);
    const TransferOutcome outcome = ExportReport(Paths(session), entry->fileName, dest, session.Ui());
    if (outcome == TransferOutcome::kFailed) {
        std::error_code ec;
        const fs::path folder = fs::is_directory(dest, ec)   ? dest
                                : dest.parent_path().empty() ? fs::path(".")
                                                             : dest.parent_path();
        Detail(fs::is_directory(folder, ec)
                   ? WriteFailureReason(fs::is_directory(dest, ec) ? dest / entry->path.filename() : dest)
                   : FolderReason(folder));
    }
    if (outcome != TransferOutcome::kDone) return 1;
    std::error_code ec;
    const fs::path written = fs::is_directory(dest, ec) ? dest / entry->path.filename() : dest;
    return Done(session,
                {{"exported", PathText(session.OutputFolder() / entry->path.filename())}, {"to", PathText(written)}});
}

int Import(CliSession& session, const std::string& file) {
    const fs::path path = PathFromUtf8(file);
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || fs::is_directory(status)) {
        Fail(session.Ui(), "The file " + platform::PathToCp932(path) + " can't be imported.",
             ec ? PathReason(path, ec) : PathReason(path, EISDIR));
        return 1;
    }
    if (!session.ReadyOutputFolder(true)) return 1;
    if (ImportReport(Paths(session), path, session.Ui()) != TransferOutcome::kDone) return 1;
    return Done(session, {{"imported", PathText(path)}, {"to", PathText(session.OutputFolder() / path.filename())}});
}

int Mail(CliSession& session, const std::string& name) {
    const std::optional<ReportEntry> entry = FindReport(session, name);
    if (!entry) return 1;
    ReportMailer mailer;
    mailer.SetUp();
    if (!mailer.SendReport(Paths(session), entry->fileName, session.Ui())) return 1;
    return Done(session, {{"mailed", PathText(session.OutputFolder() / entry->path.filename())}});
}

}  // namespace

void AddReportFileCommands(CommandRegistry& registry) {
    registry.Add("reports", "list the reports of the output folder", "tavolex --csv reports", Needs::kUser, true,
                 Reports);
    auto name = std::make_shared<std::string>();
    auto other = std::make_shared<std::string>();
    CLI::App* open = registry.Add("open", "open a report in the viewer", "tavolex open Kickoff", Needs::kUser, false,
                                  [name](CliSession& s) { return Open(s, *name); });
    open->add_option("NAME", *name, "report name, with or without its extension")->required();
    CLI::App* rename = registry.Add("rename", "rename a report", "tavolex rename Kickoff 'Kickoff 2026'", Needs::kUser,
                                    false, [name, other](CliSession& s) { return Rename(s, *name, *other); });
    rename->add_option("OLD", *name, "report name")->required();
    rename->add_option("NEW", *other, "new name, without extension")->required();
    CLI::App* remove =
        registry.Add("delete", "delete a report and the pictures no other report uses", "tavolex delete Kickoff --yes",
                     Needs::kUser, false, [name](CliSession& s) { return Delete(s, *name); });
    remove->add_option("NAME", *name, "report name")->required();
    CLI::App* exportCommand =
        registry.Add("export", "copy a report with its pictures to DEST", "tavolex export Kickoff ~/Desktop",
                     Needs::kUser, false, [name, other](CliSession& s) { return Export(s, *name, *other); });
    exportCommand->add_option("NAME", *name, "report name")->required();
    exportCommand->add_option("DEST", *other, "destination file or folder")->required();
    CLI::App* importCommand = registry.Add("import", "move a report file with its pictures into the output folder",
                                           "tavolex import ~/Downloads/Kickoff.htm", Needs::kUser, false,
                                           [other](CliSession& s) { return Import(s, *other); });
    importCommand->add_option("FILE", *other, "the report file")->required();
    CLI::App* mail = registry.Add("mail", "hand a report with its pictures to the mail program", "tavolex mail Kickoff",
                                  Needs::kUser, false, [name](CliSession& s) { return Mail(s, *name); });
    mail->add_option("NAME", *name, "report name")->required();
}

}  // namespace tavolex::cli
