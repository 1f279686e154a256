// archive, calendar, contacts, dump, sqlite, markdown: getting a whole store out into today's formats, over
// the exporters of export/. Each prints what it wrote (the --json summary adds the counts and the
// replacement characters written for bytes that were not Shift-JIS).

#include "cli/cli_messages.h"
#include "cli/command_registry.h"
#include "cli/commands_report.h"
#include "cli/every_user.h"
#include "cli/progress_bar.h"
#include "cli/selection_options.h"
#include "export/archive_writer.h"
#include "export/document_split.h"
#include "export/every_user_export.h"
#include "export/exporters.h"
#include "export/vcard_writer.h"
#include "platform/file_system.h"
#include "report/report_folder.h"
#include "report_files/report_name.h"
#include "views/create_report.h"

#include <ctime>
#include <iostream>

namespace tavolex::cli {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

struct ExportArguments {
    CLI::App* app = nullptr;
    std::shared_ptr<SelectionArguments> selection;
    fs::path target;  // DIR or FILE; empty: stdout where the command allows it
    std::string templateName;
    std::string kind = "executive";
    std::string encoding = "shift_jis";
    fs::path pictures;
    bool attendees = false;
    std::string split;  // calendar: "year"; contacts: "card" (--split); empty: one file
    int jobs = 0;       // 0: the machine's cores
};

// The request of one export of the session's store.
ExportRequest Request(CliSession& session, MeetingIndexes indexes, fs::path target, ExportProgress progress = {},
                      int jobs = 0) {
    return {.store = &session.Store(),
            .book = &session.Book(),
            .userFolder = session.CurrentUser() != nullptr ? session.CurrentUser()->folders.user : fs::path(),
            .reports = &session.Writer(),
            .meetings = std::move(indexes),
            .target = std::move(target),
            .now = std::time(nullptr),
            .jobs = jobs,
            .progress = std::move(progress)};
}

// The progress of an export on a bar of its own, which the request holds (and clears when it goes).
ExportProgress Bar(const char* label, bool shown = true) {
    auto bar = std::make_shared<ProgressBar>(label);
    return [bar, shown](std::int64_t done, std::int64_t total) { return !shown || bar->Update(done, total); };
}

// What the export changed or left out of the store's texts, on stderr beside the text output.
void Remarks(const ExportSummary& summary) {
    if (summary.replacements > 0) {
        Detail(std::to_string(summary.replacements) +
               " replacement characters (U+FFFD) were written for bytes that are not Shift-JIS.");
    }
    if (summary.undated > 0) {
        Detail("Meetings left out of the calendar for a date the calendar does not have: " +
               std::to_string(summary.undated));
    }
    for (const fs::path& kept : summary.kept) Detail("Kept as edited since the last export: " + PathText(kept));
}

// The summary: what was written and how much of the store it holds (for several users, whose).
int Finish(CliSession& session, const ExportSummary& summary, const fs::path& shown,
           const EveryUserSummary* users = nullptr) {
    if (!summary.error.empty()) {
        Fail(session.Ui(), "The export could not be written.", summary.error);
        return 1;
    }
    if (!session.Json()) Remarks(summary);
    if (const auto& merged = users != nullptr ? users->merged : session.Merged(); merged && !session.Json()) {
        Detail("Merged from the copies of the Palm folder: " + std::to_string(merged->merged) +
               " meetings alike in several, " + std::to_string(merged->replaced) + " taken from the later copy");
    }
    if (session.Json()) {
        json files = json::array();
        for (const fs::path& file : summary.files) files.push_back(PathText(file));
        json document{{"path", shown.empty() ? json(nullptr) : json(PathText(shown))},
                      {"files", files},
                      {"meetings", summary.meetings},
                      {"agendas", summary.agendas},
                      {"notes", summary.notes},
                      {"toDos", summary.toDos},
                      {"sketches", summary.sketches},
                      {"attendees", summary.attendees},
                      {"addresses", summary.addresses},
                      {"replacements", summary.replacements}};
        // Only a calendar leaves meetings out, and only a damaged store's: the key is there when it did.
        if (summary.undated > 0) document["undated"] = summary.undated;
        if (users != nullptr) {
            document["users"] = users->written;
            if (!users->leftOut.empty()) document["usersLeftOut"] = users->leftOut;
        }
        // Only copies of several Palm folders merge meetings: the keys are there when they were given.
        if (const auto& merged = users != nullptr ? users->merged : session.Merged()) {
            document["merged"] = merged->merged;
            document["replaced"] = merged->replaced;
        }
        // Only a refreshed vault keeps files; the key is there when it did.
        if (!summary.kept.empty()) {
            json kept = json::array();
            for (const fs::path& file : summary.kept) kept.push_back(PathText(file));
            document["kept"] = kept;
        }
        WriteJson(std::cout, document);
    } else if (!shown.empty()) {
        std::cout << PathText(shown) << '\n';
    }
    return 0;
}

// The selected meetings, or the status of the message shown instead.
std::optional<int> Selected(CliSession& session, const ExportArguments& a, MeetingIndexes& indexes) {
    return SelectedMeetingIndexes(session, *a.selection, indexes);
}

// A file target that exists is replaced only when the user says so.
bool MayWrite(CliSession& session, const fs::path& path) {
    std::error_code ec;
    if (path.empty() || !fs::exists(path, ec)) return true;
    return ConfirmOverwrite(path, session.Ui());
}

// Files an export would replace in a folder are replaced only when the user says so: one question,
// naming the first of them, answers for all.
bool MayReplace(CliSession& session, const std::vector<fs::path>& taken) {
    return taken.empty() || ConfirmOverwrite(taken.front(), session.Ui());
}

// Writes a document to the target file, or to stdout when there is none.
int Deliver(CliSession& session, const ExportArguments& a, const std::string& document, ExportSummary& summary,
            const EveryUserSummary* users = nullptr) {
    if (summary.cancelled) return 1;
    if (a.target.empty()) {
        std::cout.write(document.data(), static_cast<std::streamsize>(document.size()));
        std::cout.flush();
        Remarks(summary);
        return 0;
    }
    WriteExportFile(a.target, document, summary);
    return Finish(session, summary, a.target, users);
}

// A document split into files of a folder (calendar --split year, contacts --split): the folder
// made, the files it already holds asked about once, then each file written whole.
int DeliverSplit(CliSession& session, const ExportArguments& a, const std::string& document, ExportSummary& summary,
                 const EveryUserSummary* users = nullptr) {
    if (summary.cancelled) return 1;
    ExportText names;
    const std::vector<SplitFile> files =
        a.split == "year" ? SplitCalendarByYear(document) : SplitVCards(document, names);
    std::error_code ec;
    fs::create_directories(a.target, ec);
    if (!fs::is_directory(a.target, ec)) {
        Fail(session.Ui(), "The export could not be written.", FolderReason(a.target));
        return 1;
    }
    std::vector<fs::path> taken;
    for (const SplitFile& file : files) {
        const fs::path path = a.target / fs::path(std::u8string(file.name.begin(), file.name.end()));
        if (fs::exists(fs::symlink_status(path, ec))) taken.push_back(path);
    }
    if (!MayReplace(session, taken)) return 1;
    for (const SplitFile& file : files) {
        if (!WriteExportFile(a.target / fs::path(std::u8string(file.name.begin(), file.name.end())), file.document,
                             summary))
            break;
    }
    return Finish(session, summary, a.target, users);
}

// A command that writes to stdout can't also print its --json summary there.
std::optional<int> CheckStdout(CliSession& session, const ExportArguments& a) {
    if (!a.split.empty()) {
        if (a.target.empty())
            return UsageError(a.app->get_name(), "--split writes files into a folder: name it with -o DIR");
        return std::nullopt;  // the files it would replace are asked about once they are known
    }
    if (a.target.empty() && session.Json()) {
        return UsageError(a.app->get_name(), "--json prints a summary of a file: name the file with -o FILE");
    }
    if (!MayWrite(session, a.target)) return 1;
    return std::nullopt;
}

// The request of one user's export as the command's options make it; the status of the message
// shown instead when it is not made (a refusal, or a question answered no).
using Prepare = std::optional<int> (*)(CliSession&, const ExportArguments&, ExportRequest&);

std::optional<int> ArchiveRequest(CliSession& session, const ExportArguments& a, ExportRequest& request) {
    // An RTF report declares its code page in its header (\ansicpg932), which UTF-8 bytes would belie.
    if (a.encoding == "utf-8" && !a.templateName.empty() &&
        HasRtfExtension(platform::PathFromCp932(platform::Utf8ToCp932(a.templateName)))) {
        return UsageError("archive", "--encoding utf-8 is for HTML reports; an RTF template keeps Shift-JIS");
    }
    MeetingIndexes indexes;
    if (const auto status = Selected(session, a, indexes)) return status;
    request = Request(session, indexes, a.target, Bar("archive"), a.jobs);
    request.archive.utf8Reports = a.encoding == "utf-8";
    request.archive.kind = BuiltInReportKind(a.kind);
    request.archive.reportOptions = session.ReadReportOptions();
    if (!a.templateName.empty()) {
        request.archive.templatePath = session.TemplatePath(a.templateName);
        session.Report().SetMode(TemplateExpansionMode(request.archive.templatePath));
    }
    return std::nullopt;
}

std::optional<int> CalendarRequest(CliSession& session, const ExportArguments& a, ExportRequest& request) {
    MeetingIndexes indexes;
    if (const auto status = Selected(session, a, indexes)) return status;
    request = Request(session, indexes, {});
    return std::nullopt;
}

std::optional<int> ContactsRequest(CliSession& session, const ExportArguments& a, ExportRequest& request) {
    if (!a.attendees && a.selection->Named()) {
        return UsageError("contacts", "meetings choose the people only with --attendees");
    }
    request = Request(session, {}, {});
    request.cardCategories = !a.split.empty();
    if (a.attendees) {
        MeetingIndexes indexes;
        if (const auto status = Selected(session, a, indexes)) return status;
        request.people = AttendeeAddressIds(session.Store(), indexes);
    }
    return std::nullopt;
}

std::optional<int> DumpRequest(CliSession& session, const ExportArguments& a, ExportRequest& request) {
    MeetingIndexes indexes;
    if (const auto status = Selected(session, a, indexes)) return status;
    if (!a.pictures.empty()) {
        std::error_code ec;
        fs::create_directories(a.pictures, ec);
        if (!fs::is_directory(a.pictures, ec)) {
            Fail(session.Ui(), "The export could not be written.", FolderReason(a.pictures));
            return 1;
        }
        if (!MayReplace(session, ExistingFiles(a.pictures, SketchPictureNames(session.Store(), indexes)))) return 1;
    }
    request = Request(session, indexes, {}, Bar("dump", !a.pictures.empty()), a.jobs);
    request.dump.pictureFolder = a.pictures;
    return std::nullopt;
}

// The database, the Markdown vault and the workbook: the selection written to the target, on a
// progress bar named by the command (and its --jobs, where it has one).
std::optional<int> TargetRequest(CliSession& session, const ExportArguments& a, ExportRequest& request) {
    MeetingIndexes indexes;
    if (const auto status = Selected(session, a, indexes)) return status;
    request = Request(session, indexes, a.target, Bar(a.app->get_name().c_str()), a.jobs);
    return std::nullopt;
}

// The session's user's export: its request made, the files a folder export would replace asked
// about, and the job run; a document is returned for Deliver. The status of the message shown
// instead when it was not run, or was cancelled.
std::optional<int> RunOne(CliSession& session, const ExportArguments& a, const Exporter& exporter, Prepare prepare,
                          ExportSummary& summary, std::string& document) {
    ExportRequest request;
    if (const auto status = prepare(session, a, request)) return status;
    if (exporter.replaces != nullptr && !MayReplace(session, exporter.replaces(request))) return 1;
    ExportText text;
    document = exporter.job(request, text, summary);
    if (summary.cancelled) return 1;
    return std::nullopt;
}

// An export of the session's user: a folder's or a database's summary, or a document delivered to
// its file or stdout.
int ExportOne(CliSession& session, const ExportArguments& a, const Exporter& exporter, Prepare prepare) {
    if (exporter.kind == ExportWrites::kDocument) {
        if (const auto status = CheckStdout(session, a)) return *status;
    } else if (exporter.kind == ExportWrites::kDatabase && !MayWrite(session, a.target)) {
        return 1;
    }
    ExportSummary summary;
    std::string document;
    if (const auto status = RunOne(session, a, exporter, prepare, summary, document)) return *status;
    if (!a.split.empty()) return DeliverSplit(session, a, document, summary);
    if (exporter.kind == ExportWrites::kDocument) return Deliver(session, a, document, summary);
    return Finish(session, summary, exporter.index.empty() ? a.target : a.target / fs::path(exporter.index));
}

// An export of several users (ExportEveryUser): each user's session opened and its request made as
// for that user alone (the pictures of a dump in a folder per user). The summary names the users
// written and left out; the status then says a user was left out.
int ExportEvery(const GlobalOptions& options, const std::vector<std::string>& names, const ExportArguments& a,
                const Exporter& exporter, Prepare prepare) {
    const std::optional<std::vector<std::string>> users = EveryUserName(options, names);
    if (!users) return 1;
    std::shared_ptr<CliSession> last;
    int stopped = 1;
    EveryUserExport run{.exporter = &exporter, .users = *users, .target = a.target};
    run.open = [&](const std::string& user, UserExportPart& part) {
        std::shared_ptr<CliSession> session = OpenUserSession(options, user);
        if (session == nullptr) return PartOpened::kLeftOut;
        if (last == nullptr) {
            last = session;
            std::optional<int> refused;
            if (exporter.kind == ExportWrites::kDocument) refused = CheckStdout(*session, a);
            if (exporter.kind == ExportWrites::kDatabase && !MayWrite(*session, a.target)) refused = 1;
            if (refused) return stopped = *refused, PartOpened::kStop;
        }
        ExportArguments mine = a;
        if (!a.pictures.empty()) mine.pictures = a.pictures / platform::PathFromCp932(platform::Utf8ToCp932(user));
        if (const auto status = prepare(*session, mine, part.request)) {
            if (*status == 2) return stopped = 2, PartOpened::kStop;  // the command line is wrong for every user
            return PartOpened::kLeftOut;
        }
        last = session;
        part.directory = session->CurrentUser()->directory;
        part.merged = session->Merged();
        part.keep = session;
        return PartOpened::kOpened;
    };
    run.mayReplace = [&last](const fs::path& first) { return ConfirmOverwrite(first, last->Ui()); };
    EveryUserSummary result;
    std::string document = ExportEveryUser(run, result);
    if (result.stopped) return stopped;
    if (last == nullptr) return 1;
    if (!result.summary.Ok()) return result.summary.cancelled ? 1 : Finish(*last, result.summary, result.shown);
    if (result.written.empty()) return 1;
    const int status = !a.split.empty() ? DeliverSplit(*last, a, document, result.summary, &result)
                       : exporter.kind == ExportWrites::kDocument
                           ? Deliver(*last, a, document, result.summary, &result)
                           : Finish(*last, result.summary, result.shown, &result);
    return status == 0 && !result.leftOut.empty() ? 1 : status;
}

// --jobs N: the threads of the exports that make reports or pictures; a whole number from 1.
void JobsOption(CLI::App* app, ExportArguments& a) {
    app->add_option("--jobs", a.jobs, "threads to use (default: the number of cores)")
        ->type_name("N")
        ->check(CLI::Validator(
            [](const std::string& value) -> std::string {
                const bool digits =
                    !value.empty() && value.size() <= 6 && value.find_first_not_of("0123456789") == std::string::npos;
                if (digits && std::stoi(value) >= 1) return {};
                return "--jobs wants a number of threads of 1 or more, not \"" + value + "\"";
            },
            "N"));
}

void ArchiveOptions(CLI::App* archive, ExportArguments& a) {
    archive->add_option("DIR", a.target, "the archive's folder (created when missing)")->required();
    a.selection = AddSelectionOptions(archive);
    archive->add_option("--template", a.templateName, "template file of the template folder, or a path");
    archive->add_option("--kind", a.kind, "built-in report: executive, agenda or custom")
        ->check(CLI::IsMember({"executive", "agenda", "custom"}));
    archive->add_option("--encoding", a.encoding, "the reports' encoding: shift_jis (as report writes them) or utf-8")
        ->check(CLI::IsMember({"shift_jis", "utf-8"}));
    JobsOption(archive, a);
}

void MarkdownOptions(CLI::App* markdown, ExportArguments& a) {
    markdown->add_option("DIR", a.target, "the vault's folder (created when missing; an earlier vault is refreshed)")
        ->required();
    a.selection = AddSelectionOptions(markdown);
}

void OutputFileOption(CLI::App* app, ExportArguments& a) {
    app->add_option("-o,--output-file", a.target, "the file to write (default: standard output)");
}

void CalendarOptions(CLI::App* calendar, ExportArguments& a) {
    OutputFileOption(calendar, a);
    calendar
        ->add_option("--split", a.split,
                     "write a calendar per year into the folder -o names (<year>.ics, and "
                     "undated.ics for to-dos of no dated meeting)")
        ->check(CLI::IsMember({"year"}));
    a.selection = AddSelectionOptions(calendar);
}

void ContactsOptions(CLI::App* contacts, ExportArguments& a) {
    OutputFileOption(contacts, a);
    contacts->add_flag("--attendees", a.attendees, "only the people who attend the selected meetings");
    contacts->add_flag_callback(
        "--split", [&a] { a.split = "card"; },
        "write a card per person into the folder -o names, each with the person's category");
    a.selection = AddSelectionOptions(contacts);
}

void DumpOptions(CLI::App* dump, ExportArguments& a) {
    OutputFileOption(dump, a);
    dump->add_option("--pictures", a.pictures, "write each sketch there as <id>.jpg and name it in the dump");
    a.selection = AddSelectionOptions(dump);
    JobsOption(dump, a);
}

void SqliteOptions(CLI::App* sqlite, ExportArguments& a) {
    sqlite->add_option("FILE", a.target, "the database file to write")->required();
    a.selection = AddSelectionOptions(sqlite);
    JobsOption(sqlite, a);
}

void XlsxOptions(CLI::App* xlsx, ExportArguments& a) {
    xlsx->add_option("FILE", a.target, "the workbook file to write")->required();
    a.selection = AddSelectionOptions(xlsx);
}

// What the command line adds to each exporter: its options, an example and how its request is made.
struct ExportCommand {
    std::string_view name;
    const char* example;
    void (*options)(CLI::App*, ExportArguments&);
    Prepare prepare;
};

constexpr ExportCommand kCommands[] = {
    {"archive", "tavolex archive ~/minutes --since 2026-01-01", ArchiveOptions, ArchiveRequest},
    {"calendar", "tavolex calendar -o minutes.ics --since 2026-01-01", CalendarOptions, CalendarRequest},
    {"contacts", "tavolex contacts -o people.vcf --attendees 1-5", ContactsOptions, ContactsRequest},
    {"dump", "tavolex dump -o store.json --pictures sketches", DumpOptions, DumpRequest},
    {"sqlite", "tavolex sqlite minutes.sqlite", SqliteOptions, TargetRequest},
    {"markdown", "tavolex markdown ~/Notes/minutes --since 2026-01-01", MarkdownOptions, TargetRequest},
    {"xlsx", "tavolex xlsx minutes.xlsx --since 2026-01-01", XlsxOptions, TargetRequest},
};

}  // namespace

// A command per exporter of the table, in the order of the command line's help; its help says what the
// exporter writes.
void AddExportCommands(CommandRegistry& registry) {
    for (const ExportCommand& command : kCommands) {
        const Exporter* exporter = FindExporter(command.name);
        if (exporter == nullptr) continue;
        auto a = std::make_shared<ExportArguments>();
        const Prepare prepare = command.prepare;
        CLI::App* app = registry.Add(
            std::string(exporter->name), "write " + std::string(exporter->writes), command.example, Needs::kUser, false,
            [a, exporter, prepare](CliSession& s) { return ExportOne(s, *a, *exporter, prepare); });
        a->app = app;
        command.options(app, *a);
        registry.ListsEveryUser(
            app, [a, exporter, prepare](const GlobalOptions& options, const std::vector<std::string>& users) {
                return ExportEvery(options, users, *a, *exporter, prepare);
            });
    }
}

}  // namespace tavolex::cli
