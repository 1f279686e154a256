// report: the report of one meeting, or one report each of several, from a template or a
// built-in kind.

#include "cli/cli_messages.h"
#include "base/ascii.h"
#include "cli/commands_report.h"
#include "cli/command_registry.h"
#include "cli/progress_bar.h"
#include "cli/selection_options.h"
#include "platform/file_system.h"
#include "platform/launch.h"
#include "report/report_folder.h"
#include "report_files/report_name.h"
#include "report_files/report_writer.h"
#include "views/create_report.h"
#include "report_files/report_viewer.h"
#include "views/meeting_listing.h"

#include <algorithm>
#include <iostream>
#include <set>

namespace tavolex::cli {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

constexpr const char* kSectionNames[] = {"author", "agenda", "todo", "note", "sketch", "attendee"};

struct ReportArguments {
    std::shared_ptr<SelectionArguments> selection;
    std::string templateName;  // UTF-8; empty: a built-in kind
    std::string kind = "executive";
    std::string name;
    std::string nameFormat = "{title}";
    std::string sections;
    bool open = false;
    CLI::App* app = nullptr;
};

// Whether a UTF-8 text survives Shift-JIS, as a report file name must.
bool FitsShiftJis(const std::string& utf8) { return platform::Cp932ToUtf8(platform::Utf8ToCp932(utf8)) == utf8; }

// The name --name-format gives a meeting; false with the problem in error on an unknown field.
bool FormatName(const std::string& format, const MeetingListing& m, std::string& name, std::string& error) {
    name.clear();
    for (std::size_t i = 0; i < format.size();) {
        if (format[i] != '{') {
            name += format[i++];
            continue;
        }
        const std::size_t close = format.find('}', i);
        const std::string field = format.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1);
        if (close == std::string::npos || (field != "title" && field != "date" && field != "number" && field != "id")) {
            error = "--name-format knows {title}, {date}, {number} and {id}, not \"" +
                    format.substr(i, close == std::string::npos ? std::string::npos : close - i + 1) + "\"";
            return false;
        }
        name += field == "title"    ? m.title
                : field == "date"   ? m.date.value_or("")
                : field == "number" ? std::to_string(m.number)
                                    : std::to_string(m.id);
        i = close + 1;
    }
    return true;
}

int Report(CliSession& session, const ReportArguments& a) {
    CLI::App& app = *a.app;
    const SelectionArguments& selection = *a.selection;
    if (!selection.Named())
        return UsageError("report", "name a meeting (as in report 3), several (1-5,8), --all or a filter");
    std::vector<std::int32_t> indexes;
    if (const std::optional<int> status = SelectedMeetingIndexes(session, selection, indexes)) return *status;
    const bool batch = selection.Filtered() || selection.all || selection.numbers.size() > 1 ||
                       selection.numbers.front().find_first_of("-,") != std::string::npos;
    if (batch && app.count("--name") > 0)
        return UsageError("report", "--name names one report; --name-format names several");
    if (app.count("--name") > 0 && a.name.empty()) return UsageError("report", "a report name can't be empty");
    if (app.count("--name-format") > 0 && a.nameFormat.empty())
        return UsageError("report", "--name-format can't be empty");
    for (const std::string* text : {&a.name, &a.nameFormat}) {
        if (!FitsShiftJis(*text)) {
            Fail(session.Ui(),
                 "The report name can't hold every character of \"" + platform::Utf8ToCp932(*text) + "\".",
                 "A report's file name is kept in Shift-JIS, which has no place for some of its characters: \"" +
                     *text + "\"");
            return 1;
        }
    }
    std::optional<std::vector<std::string>> sections;
    if (app.count("--sections") > 0) {
        std::vector<std::string> list;
        for (std::size_t start = 0; start <= a.sections.size();) {
            const std::size_t comma = a.sections.find(',', start);
            const std::string part =
                a.sections.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            if (!part.empty()) {
                if (std::find(std::begin(kSectionNames), std::end(kSectionNames), part) == std::end(kSectionNames)) {
                    return UsageError("report", "unknown section \"" + part + "\"");
                }
                list.push_back(part);
            }
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        sections = list;
    }
    ReportJob job;
    job.meetings = indexes;
    job.batch = batch;
    job.templateName = a.templateName;
    job.kind = a.kind;
    if (app.count("--name") > 0) job.name = a.name;
    if (app.count("--name-format") > 0) job.nameFormat = a.nameFormat;
    job.sections = sections;
    job.open = a.open;
    return WriteReports(session, job, std::cout);
}

}  // namespace

namespace {

// Loads the template the job names (CliSession::TemplatePath) into the report and sets its
// expansion mode. templatePath stays empty for a built-in kind; false (after a message) when the
// template cannot be read.
bool LoadJobTemplate(CliSession& session, const ReportJob& job, fs::path& templatePath) {
    if (job.templateName.empty()) return true;
    templatePath = session.TemplatePath(job.templateName);
    std::error_code ec;
    if (!session.Writer().LoadTemplateFile(templatePath)) {
        if (!fs::is_regular_file(templatePath, ec))
            Detail(PathReason(templatePath, ec ? ec : std::make_error_code(std::errc::no_such_file_or_directory)));
        return false;
    }
    session.Report().SetMode(TemplateExpansionMode(templatePath));
    return true;
}

// The report's options become the user's with only the listed sections turned on.
void ApplySections(CliSession& session, const std::vector<std::string>& list) {
    const auto has = [list](const char* name) { return std::find(list.begin(), list.end(), name) != list.end(); };
    session.Writer().SetOptionsSource([&session, has] {
        ReportOptions o = session.ReadReportOptions();
        o.withAuthor = has("author");
        o.withAgendas = has("agenda");
        o.withToDos = has("todo");
        o.withNotes = has("note");
        o.withSketches = has("sketch");
        o.withAttendees = has("attendee");
        return o;
    });
}

// One run of report writing: what stays the same for each meeting, and what the run has written.
struct ReportRun {
    CliSession& session;
    const ReportJob& job;
    std::string nameFormat;
    ReportKind kind;
    fs::path templatePath;  // empty: the built-in kind
    std::string extension;
    std::set<std::string> given;  // the batch's names so far, as a file system without letter case sees them
    json written = json::array();
};

// The meeting's report path in the output folder: its title, --name or --name-format, made a clean
// file name; a name the batch gave already gets " (2)", " (3)"…
fs::path ReportPathFor(ReportRun& run, const Meeting& meeting, const MeetingListing& listing) {
    std::string name = meeting.szTitle;
    if (run.job.name) name = platform::Utf8ToCp932(*run.job.name);
    if (run.job.batch || run.job.nameFormat) {
        std::string utf8;
        std::string error;
        FormatName(run.nameFormat, listing, utf8, error);
        name = platform::Utf8ToCp932(utf8);
    }
    CleanReportName(name, run.session.Ui());
    std::string unique = name;
    for (int n = 2; run.given.contains(LowerAsciiText(unique + run.extension)); ++n)
        unique = name + " (" + std::to_string(n) + ")";
    run.given.insert(LowerAsciiText(unique + run.extension));
    return run.session.OutputFolder() / platform::PathFromCp932(unique + run.extension);
}

// One meeting's report; false when it was not written (after a message).
bool WriteOneReport(ReportRun& run, std::int32_t index, std::ostream& out) {
    CliSession& session = run.session;
    ReportWriter& writer = session.Writer();
    const Meeting& meeting = *session.Store().MeetingAt(index);
    const MeetingListing listing = ListMeeting(session.Store(), index);
    const fs::path reportPath = ReportPathFor(run, meeting, listing);
    if (!ConfirmOverwrite(reportPath, session.Ui())) return false;
    const bool ok = run.templatePath.empty() ? writer.WriteBuiltInReport(reportPath, meeting, run.kind)
                                             : writer.WriteTemplateReport(reportPath, meeting);
    if (!ok) {
        if (const std::string reason = WriteFailureReason(reportPath); !reason.empty()) Detail(reason);
        return false;
    }
    if (session.Json()) {
        run.written.push_back({{"meeting", listing.number}, {"id", listing.id}, {"path", PathText(reportPath)}});
    } else {
        out << PathText(reportPath) << '\n' << std::flush;
    }
    // The writer has named each sketch picture it could not write; the job is not done.
    const std::vector<fs::path>& unwritten = session.Report().UnwrittenPictures();
    for (const fs::path& picture : unwritten) {
        if (const std::string reason = WriteFailureReason(picture); !reason.empty()) Detail(reason);
    }
    return unwritten.empty();
}

}  // namespace

ReportKind BuiltInReportKind(const std::string& kind) {
    return kind == "agenda" ? ReportKind::kAgenda : kind == "custom" ? ReportKind::kCustom : ReportKind::kExecutive;
}

int WriteReports(CliSession& session, const ReportJob& job, std::ostream& out) {
    const std::vector<std::int32_t>& indexes = job.meetings;
    ReportRun run{session, job, job.nameFormat.value_or("{title}"), BuiltInReportKind(job.kind), {}, {}, {}};
    if (!LoadJobTemplate(session, job, run.templatePath)) return 1;
    if (job.sections) ApplySections(session, *job.sections);
    if (!session.ReadyOutputFolder(true)) return 1;
    if (job.open) {
        session.Writer().SetViewer(MakeReportViewer(
            [&session] {
                return ViewerSettings{session.AutoView(), session.BrowserPath()};
            },
            platform::SystemLauncher(), session.Ui()));
    }
    run.extension = run.templatePath.empty() ? ".htm" : platform::PathToCp932(run.templatePath.extension());
    if (indexes.empty()) {
        Fail(session.Ui(), "No meeting matches the selection: no report was written.",
             "The selection is listed by: tavolex meetings with the same options");
        return 1;
    }
    if (std::string utf8, error; !FormatName(run.nameFormat, ListMeeting(session.Store(), indexes[0]), utf8, error)) {
        return UsageError("report", error);
    }
    int status = 0;
    ProgressBar progress("report", indexes.size());
    for (const std::int32_t index : indexes) {
        progress.Clear();  // what a report prints or asks gets lines of its own
        if (!WriteOneReport(run, index, out)) status = 1;
        progress.Step();
    }
    if (session.Json()) {
        if (!job.batch && run.written.size() == 1) {
            WriteJson(out, run.written[0]);
        } else {
            WriteJson(out, json{{"reports", run.written}});
        }
    }
    return status;
}

void AddReportCommands(CommandRegistry& registry) {
    auto a = std::make_shared<ReportArguments>();
    CLI::App* report =
        registry.Add("report", "write the report of meeting N (or one each of several) and print its path",
                     "tavolex report --all --name-format '{date} {title}'", Needs::kUser, false,
                     [a](CliSession& s) { return Report(s, *a); });
    a->app = report;
    a->selection = AddSelectionOptions(report);
    report->add_option("--template", a->templateName, "template file of the template folder, or a path")
        ->type_name("FILE");
    report->add_option("--kind", a->kind, "built-in report: executive, agenda or custom")
        ->check(CLI::IsMember({"executive", "agenda", "custom"}));
    report->add_option("--name", a->name, "report name (default: the meeting title)")->type_name("NAME");
    report->add_option("--name-format", a->nameFormat, "names of several reports from {title}, {date}, {number}, {id}")
        ->type_name("FORMAT");
    report->add_flag("--open", a->open, "open the report in the viewer afterwards");
    report->add_option("--sections", a->sections, "custom report sections: author,agenda,todo,note,sketch,attendee")
        ->type_name("LIST");
}

}  // namespace tavolex::cli
