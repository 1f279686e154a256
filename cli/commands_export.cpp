// archive, calendar, contacts, dump, sqlite, markdown: getting a whole store out into today's formats, over
// the exporters of export/. Each prints what it wrote (the --json summary adds the counts and the
// replacement characters written for bytes that were not Shift-JIS).

#include "cli/cli_messages.h"
#include "cli/command_registry.h"
#include "cli/commands_report.h"
#include "cli/every_user.h"
#include "cli/progress_bar.h"
#include "cli/selection_options.h"
#include "export/archive_index.h"
#include "export/archive_writer.h"
#include "export/exporters.h"
#include "export/sqlite_export.h"
#include "export/user_joins.h"
#include "export/vcard_writer.h"
#include "platform/file_system.h"
#include "report/report_folder.h"
#include "report_files/report_name.h"
#include "views/create_report.h"

#include <ctime>
#include <fstream>
#include <iterator>
#include <iostream>
#include <set>

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
    int jobs = 0;  // 0: the machine's cores
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

// The users of an export of several users: those written, and those left out.
struct ExportUsers {
    std::vector<std::string> written, leftOut;  // UTF-8
    std::optional<MergeCounts> merged;          // summed over the users written

    void Took(const std::string& user, const CliSession& session) {
        written.push_back(user);
        if (const auto& m = session.Merged()) {
            if (!merged) merged.emplace();
            merged->merged += m->merged;
            merged->replaced += m->replaced;
        }
    }
};

// One user's summary added to the summary of an export of several users: the counts and the
// files kept as edited (the files written each caller adds, as they are the user's own or a part).
void AddUp(ExportSummary& total, const ExportSummary& one) {
    total += one;
    total.kept.insert(total.kept.end(), one.kept.begin(), one.kept.end());
    total.meetings += one.meetings;
    total.addresses += one.addresses;
    total.replacements += one.replacements;
    total.undated += one.undated;
}

// The summary: what was written and how much of the store it holds (for several users, whose).
int Finish(CliSession& session, const ExportSummary& summary, const fs::path& shown,
           const ExportUsers* users = nullptr) {
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
            const ExportUsers* users = nullptr) {
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

// A command that writes to stdout can't also print its --json summary there.
std::optional<int> CheckStdout(CliSession& session, const ExportArguments& a) {
    if (a.target.empty() && session.Json()) {
        return UsageError(a.app->get_name(), "--json prints a summary of a file: name the file with -o FILE");
    }
    if (!MayWrite(session, a.target)) return 1;
    return std::nullopt;
}

// One user's archive into a.target; the status of the message shown instead when it is not made
// (a refusal, or the question answered no). indexData: as ArchiveOptions has it.
std::optional<int> ArchiveOf(CliSession& session, const ExportArguments& a, ExportSummary& summary,
                             std::string* indexData = nullptr) {
    // An RTF report declares its code page in its header (\ansicpg932), which UTF-8 bytes would belie.
    if (a.encoding == "utf-8" && !a.templateName.empty() &&
        HasRtfExtension(platform::PathFromCp932(platform::Utf8ToCp932(a.templateName)))) {
        return UsageError("archive", "--encoding utf-8 is for HTML reports; an RTF template keeps Shift-JIS");
    }
    MeetingIndexes indexes;
    if (const auto status = Selected(session, a, indexes)) return *status;
    ArchiveOptions options;
    options.folder = a.target;
    options.utf8Reports = a.encoding == "utf-8";
    options.kind = BuiltInReportKind(a.kind);
    options.reportOptions = session.ReadReportOptions();
    options.indexData = indexData;
    if (!a.templateName.empty()) {
        options.templatePath = session.TemplatePath(a.templateName);
        session.Report().SetMode(TemplateExpansionMode(options.templatePath));
    }
    if (!MayReplace(session, ArchiveFilesToReplace(session.Store(), indexes, options))) return 1;
    ProgressBar bar("archive");
    ExportRequest request = Request(
        session, indexes, options.folder,
        [&bar](std::int64_t done, std::int64_t total) { return bar.Update(done, total); }, a.jobs);
    request.archive = options;
    ExportText text;
    FindExporter("archive")->job(request, text, summary);
    return std::nullopt;
}

int Archive(CliSession& session, const ExportArguments& a) {
    ExportSummary summary;
    if (const auto status = ArchiveOf(session, a, summary)) return *status;
    return Finish(session, summary, a.target / "index.html");
}

// archive DIR for several users: each user's archive as it is alone, in DIR/<the user's folder
// name>, and DIR/index.html over them. An index.html there that no archive wrote is replaced only
// when the user says so.
int EveryUserArchive(const GlobalOptions& options, const std::vector<std::string>& names, const ExportArguments& a) {
    const std::optional<std::vector<std::string>> users = EveryUserName(options, names);
    if (!users) return 1;
    std::vector<archive::UserArchive> archives;
    ExportUsers written;
    ExportSummary total;
    std::unique_ptr<CliSession> last;
    const fs::path index = a.target / "index.html";
    for (const std::string& user : *users) {
        std::unique_ptr<CliSession> session = OpenUserSession(options, user);
        if (session == nullptr) {
            written.leftOut.push_back(user);
            continue;
        }
        std::error_code ec;
        if (last == nullptr && fs::exists(fs::symlink_status(index, ec)) && !IsEarlierArchive(a.target) &&
            !ConfirmOverwrite(index, session->Ui())) {
            return 1;
        }
        ExportArguments mine = a;
        const std::string folder = platform::Cp932ToUtf8(session->CurrentUser()->directory);
        mine.target = a.target / platform::PathFromCp932(session->CurrentUser()->directory);
        ExportSummary summary;
        std::string data;
        if (const auto status = ArchiveOf(*session, mine, summary, &data)) {
            if (*status == 2) return 2;
            written.leftOut.push_back(user);
            continue;
        }
        if (!summary.Ok()) return summary.cancelled ? 1 : Finish(*session, summary, mine.target / "index.html");
        AddUp(total, summary);
        total.files.insert(total.files.end(), summary.files.begin(), summary.files.end());
        archives.push_back({user, folder, std::move(data)});
        written.Took(user, *session);
        last = std::move(session);
    }
    if (last == nullptr) return 1;
    WriteExportFile(index, archive::UsersIndexPage(archives), total);
    const int status = Finish(*last, total, index, &written);
    return status == 0 && !written.leftOut.empty() ? 1 : status;
}

// One user's document of an export that writes one file, made in memory; the status of the message
// shown instead when it can't be.
using MakeDocument = std::optional<int> (*)(CliSession&, const ExportArguments&, ExportText&, ExportSummary&,
                                            std::string&);

std::optional<int> CalendarDocument(CliSession& session, const ExportArguments& a, ExportText& text,
                                    ExportSummary& summary, std::string& document) {
    MeetingIndexes indexes;
    if (const auto status = Selected(session, a, indexes)) return status;
    document = FindExporter("calendar")->job(Request(session, indexes, {}), text, summary);
    return std::nullopt;
}

std::optional<int> ContactsDocument(CliSession& session, const ExportArguments& a, ExportText& text,
                                    ExportSummary& summary, std::string& document) {
    if (!a.attendees && a.selection->Named()) {
        return UsageError("contacts", "meetings choose the people only with --attendees");
    }
    std::set<std::uint32_t> people;
    if (a.attendees) {
        MeetingIndexes indexes;
        if (const auto status = Selected(session, a, indexes)) return status;
        people = AttendeeAddressIds(session.Store(), indexes);
    }
    ExportRequest request = Request(session, {}, {});
    request.people = a.attendees ? &people : nullptr;
    document = FindExporter("contacts")->job(request, text, summary);
    return std::nullopt;
}

std::optional<int> DumpDocument(CliSession& session, const ExportArguments& a, ExportText& text, ExportSummary& summary,
                                std::string& document) {
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
    ProgressBar bar("dump");
    ExportRequest request = Request(
        session, indexes, {},
        [&bar, &a](std::int64_t done, std::int64_t total) { return a.pictures.empty() || bar.Update(done, total); },
        a.jobs);
    request.dump.pictureFolder = a.pictures;
    document = FindExporter("dump")->job(request, text, summary);
    return std::nullopt;
}

// An export that writes one file, of the session's user.
int OneDocument(CliSession& session, const ExportArguments& a, MakeDocument make) {
    if (const auto status = CheckStdout(session, a)) return *status;
    ExportText text;
    ExportSummary summary;
    std::string document;
    if (const auto status = make(session, a, text, summary, document)) return *status;
    return Deliver(session, a, document, summary);
}

int Calendar(CliSession& session, const ExportArguments& a) { return OneDocument(session, a, CalendarDocument); }
int Contacts(CliSession& session, const ExportArguments& a) { return OneDocument(session, a, ContactsDocument); }
int Dump(CliSession& session, const ExportArguments& a) { return OneDocument(session, a, DumpDocument); }

// An export that writes one file, of several users: each user's document made as it is alone
// (pictures of a dump in a folder per user), then joined into the one file. A user that can't be
// read is named and left out, and the others are written; the status then says so.
int EveryUserDocument(const GlobalOptions& options, const std::vector<std::string>& names, const ExportArguments& a,
                      MakeDocument make, std::string (*join)(const std::vector<UserDocument>&)) {
    const std::optional<std::vector<std::string>> users = EveryUserName(options, names);
    if (!users) return 1;
    std::vector<UserDocument> documents;
    ExportUsers written;
    ExportSummary total;
    std::unique_ptr<CliSession> last;
    for (const std::string& user : *users) {
        std::unique_ptr<CliSession> session = OpenUserSession(options, user);
        if (session == nullptr) {
            written.leftOut.push_back(user);
            continue;
        }
        if (last == nullptr) {
            if (const auto status = CheckStdout(*session, a)) return *status;
        }
        ExportArguments mine = a;
        if (!a.pictures.empty()) mine.pictures = a.pictures / platform::PathFromCp932(platform::Utf8ToCp932(user));
        ExportText text;
        ExportSummary summary;
        std::string document;
        if (const auto status = make(*session, mine, text, summary, document)) {
            if (*status == 2) return 2;  // the command line is wrong for every user
            written.leftOut.push_back(user);
            continue;
        }
        if (!summary.Ok()) return Deliver(*session, a, document, summary);
        AddUp(total, summary);
        total.files.insert(total.files.end(), summary.files.begin(), summary.files.end());
        documents.push_back({user, std::move(document)});
        written.Took(user, *session);
        last = std::move(session);
    }
    if (last == nullptr) return 1;
    const int status = Deliver(*last, a, join(documents), total, &written);
    return status == 0 && !written.leftOut.empty() ? 1 : status;
}

int Sqlite(CliSession& session, const ExportArguments& a) {
    if (!MayWrite(session, a.target)) return 1;
    MeetingIndexes indexes;
    if (const auto status = Selected(session, a, indexes)) return *status;
    ProgressBar bar("sqlite");
    ExportText text;
    ExportSummary summary;
    FindExporter("sqlite")->job(
        Request(
            session, indexes, a.target,
            [&bar](std::int64_t done, std::int64_t total) { return bar.Update(done, total); }, a.jobs),
        text, summary);
    return Finish(session, summary, a.target);
}

// The database of several users: each user's database as it is alone, written beside the target
// first, then joined into the target (a users table, a user column on meeting).
int EveryUserSqlite(const GlobalOptions& options, const std::vector<std::string>& names, const ExportArguments& a) {
#ifdef TAVOLEX_HAVE_SQLITE
    const std::optional<std::vector<std::string>> users = EveryUserName(options, names);
    if (!users) return 1;
    std::vector<SqliteUserPart> parts;
    ExportUsers written;
    ExportSummary total;
    std::unique_ptr<CliSession> last;
    const auto removeParts = [&parts] {
        std::error_code ec;
        for (const SqliteUserPart& part : parts) fs::remove(part.database, ec);
    };
    for (const std::string& user : *users) {
        std::unique_ptr<CliSession> session = OpenUserSession(options, user);
        if (session == nullptr) {
            written.leftOut.push_back(user);
            continue;
        }
        if (last == nullptr && !MayWrite(*session, a.target)) return 1;
        MeetingIndexes indexes;
        if (const auto status = Selected(*session, a, indexes)) {
            if (*status == 2) return removeParts(), 2;
            written.leftOut.push_back(user);
            continue;
        }
        fs::path part;
        std::error_code ec;
        if (!platform::CreateTemporaryFor(a.target, part, ec)) {
            removeParts();
            Fail(session->Ui(), "The export could not be written.", PathText(a.target) + ": " + ec.message());
            return 1;
        }
        parts.push_back({user, part});
        ProgressBar bar("sqlite");
        ExportText text;
        ExportSummary summary;
        WriteSqliteDatabase(
            session->Store(), session->Book(), indexes, part, text, summary,
            [&bar](std::int64_t done, std::int64_t count) { return bar.Update(done, count); }, a.jobs);
        if (!summary.Ok()) {
            removeParts();
            return summary.cancelled ? 1 : Finish(*session, summary, a.target);
        }
        AddUp(total, summary);  // its file is a part, not one written for the user
        written.Took(user, *session);
        last = std::move(session);
    }
    if (last == nullptr) return removeParts(), 1;
    JoinSqliteDatabases(parts, a.target, total);
    removeParts();
    const int status = Finish(*last, total, a.target, &written);
    return status == 0 && !written.leftOut.empty() ? 1 : status;
#else
    (void)options, (void)names, (void)a;
    Detail("Tavolex: This build of tavolex has no SQLite.");
    return 1;
#endif
}

// A whole file's bytes; empty when it can't be read.
std::string ReadFileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The session's user's vault in a.target; the status of the message shown instead when it was not
// written (asked and refused, or cancelled).
std::optional<int> Vault(CliSession& session, const ExportArguments& a, ExportSummary& summary) {
    MeetingIndexes indexes;
    if (const auto status = Selected(session, a, indexes)) return status;
    ExportRequest request = Request(session, indexes, a.target);
    const Exporter& exporter = *FindExporter("markdown");
    if (!MayReplace(session, exporter.replaces(request))) return 1;
    ProgressBar bar("markdown");
    request.progress = [&bar](std::int64_t done, std::int64_t total) { return bar.Update(done, total); };
    ExportText text;
    exporter.job(request, text, summary);
    if (summary.cancelled) return 1;
    return std::nullopt;
}

int Markdown(CliSession& session, const ExportArguments& a) {
    ExportSummary summary;
    if (const auto status = Vault(session, a, summary)) return *status;
    return Finish(session, summary, a.target / "index.md");
}

// The vaults of several users: each user's vault as it is alone, in a folder of the user's folder
// name, and index.md over them (a section per user). An index.md there that is not one of these is
// replaced only when the user says so.
int EveryUserMarkdown(const GlobalOptions& options, const std::vector<std::string>& names, const ExportArguments& a) {
    const std::optional<std::vector<std::string>> users = EveryUserName(options, names);
    if (!users) return 1;
    std::vector<UserDocument> indexes;
    ExportUsers written;
    ExportSummary total;
    std::unique_ptr<CliSession> last;
    const fs::path index = a.target / "index.md";
    for (const std::string& user : *users) {
        std::unique_ptr<CliSession> session = OpenUserSession(options, user);
        if (session == nullptr) {
            written.leftOut.push_back(user);
            continue;
        }
        std::error_code ec;
        if (last == nullptr && fs::exists(fs::symlink_status(index, ec)) &&
            !ReadFileText(index).starts_with("# 議事録\n\n## ") && !ConfirmOverwrite(index, session->Ui())) {
            return 1;
        }
        ExportArguments mine = a;
        const std::string folder = platform::Cp932ToUtf8(session->CurrentUser()->directory);
        mine.target = a.target / platform::PathFromCp932(session->CurrentUser()->directory);
        ExportSummary summary;
        if (const auto status = Vault(*session, mine, summary)) {
            if (*status == 2) return 2;
            written.leftOut.push_back(user);
            continue;
        }
        if (!summary.Ok()) return Finish(*session, summary, mine.target / "index.md");
        AddUp(total, summary);
        total.files.insert(total.files.end(), summary.files.begin(), summary.files.end());
        indexes.push_back({folder, ReadFileText(mine.target / "index.md")});
        written.Took(user, *session);
        last = std::move(session);
    }
    if (last == nullptr) return 1;
    WriteExportFile(index, JoinVaultIndexes(indexes), total);
    const int status = Finish(*last, total, index, &written);
    return status == 0 && !written.leftOut.empty() ? 1 : status;
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
    a.selection = AddSelectionOptions(calendar);
}

void ContactsOptions(CLI::App* contacts, ExportArguments& a) {
    OutputFileOption(contacts, a);
    contacts->add_flag("--attendees", a.attendees, "only the people who attend the selected meetings");
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

// What the command line adds to each exporter: its options, an example and how it runs.
struct ExportCommand {
    std::string_view name;
    const char* example;
    void (*options)(CLI::App*, ExportArguments&);
    int (*run)(CliSession&, const ExportArguments&);
    // For several users at once: how one user's file is made and how the users' files are joined.
    MakeDocument make = nullptr;
    std::string (*join)(const std::vector<UserDocument>&) = nullptr;
};

constexpr ExportCommand kCommands[] = {
    {"archive", "tavolex archive ~/minutes --since 2026-01-01", ArchiveOptions, Archive},
    {"calendar", "tavolex calendar -o minutes.ics --since 2026-01-01", CalendarOptions, Calendar, CalendarDocument,
     JoinCalendars},
    {"contacts", "tavolex contacts -o people.vcf --attendees 1-5", ContactsOptions, Contacts, ContactsDocument,
     JoinVCards},
    {"dump", "tavolex dump -o store.json --pictures sketches", DumpOptions, Dump, DumpDocument, JoinDumps},
    {"sqlite", "tavolex sqlite minutes.sqlite", SqliteOptions, Sqlite},
    {"markdown", "tavolex markdown ~/Notes/minutes --since 2026-01-01", MarkdownOptions, Markdown},
};

}  // namespace

// A command per exporter of the table, in the order of the command line's help; its help says what the
// exporter writes.
void AddExportCommands(CommandRegistry& registry) {
    for (const ExportCommand& command : kCommands) {
        const Exporter* exporter = FindExporter(command.name);
        if (exporter == nullptr) continue;
        auto a = std::make_shared<ExportArguments>();
        int (*run)(CliSession&, const ExportArguments&) = command.run;
        CLI::App* app =
            registry.Add(std::string(exporter->name), "write " + std::string(exporter->writes), command.example,
                         Needs::kUser, false, [a, run](CliSession& s) { return run(s, *a); });
        a->app = app;
        command.options(app, *a);
        if (command.name == "sqlite") {
            registry.ListsEveryUser(app, [a](const GlobalOptions& options, const std::vector<std::string>& users) {
                return EveryUserSqlite(options, users, *a);
            });
        }
        if (command.name == "archive") {
            registry.ListsEveryUser(app, [a](const GlobalOptions& options, const std::vector<std::string>& users) {
                return EveryUserArchive(options, users, *a);
            });
        }
        if (command.name == "markdown") {
            registry.ListsEveryUser(app, [a](const GlobalOptions& options, const std::vector<std::string>& users) {
                return EveryUserMarkdown(options, users, *a);
            });
        }
        if (command.make != nullptr) {
            registry.ListsEveryUser(app, [a, make = command.make, join = command.join](
                                             const GlobalOptions& options, const std::vector<std::string>& users) {
                return EveryUserDocument(options, users, *a, make, join);
            });
        }
    }
}

}  // namespace tavolex::cli
