#include "cli/cli_commands.h"

#include "platform/file_system.h"
#include "platform/launch.h"
#include "report_files/report_listing.h"
#include "report_files/report_mailer.h"
#include "report_files/report_name.h"
#include "report_files/report_operations.h"
#include "report_files/report_viewer.h"
#include "shell/create_report.h"
#include "views/meeting_items.h"
#include "views/quick_view.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <system_error>

namespace tavolex::cli {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::string U8(std::string_view cp932) { return platform::Cp932ToUtf8(cp932); }

// Texts from the handheld may hold any bytes; JSON wants valid UTF-8, which the conversion gives.
std::string PathText(const fs::path& path) { return U8(platform::PathToCp932(path)); }

void Fail(CliSession& session, std::string_view message) {
    session.Ui().ShowMessage(message, "Tavolex", platform::MessageIcon::kInformation);
}

const Meeting* MeetingAt(CliSession& session, int number) {
    const Meeting* meeting = session.Store().MeetingAt(number - 1);
    if (meeting == nullptr) {
        Fail(session, "There is no meeting " + std::to_string(number) + ": the user has " +
                          std::to_string(session.Store().MeetingCount()) + " meetings.");
    }
    return meeting;
}

const char* KindWord(ItemKind kind) {
    switch (kind) {
        case ItemKind::kAgenda:
            return "agenda";
        case ItemKind::kNote:
            return "note";
        case ItemKind::kToDo:
            return "todo";
        case ItemKind::kSketch:
            return "sketch";
        case ItemKind::kAttendee:
            return "attendee";
    }
    return "item";
}

// CR LF as the platform writes line breaks.
std::string PlatformLines(std::string text) {
#ifndef _WIN32
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
#else
    return text;
#endif
}

ReportPaths Paths(CliSession& session) { return {session.OutputFolder(), session.TemplateFolder()}; }

// The report of the output folder named name, with or without its extension.
std::optional<ReportEntry> FindReport(CliSession& session, const std::string& utf8Name) {
    const std::string name = platform::Utf8ToCp932(utf8Name);
    const std::vector<ReportEntry> reports = ListReports(session.OutputFolder());
    for (const ReportEntry& e : reports) {
        if (e.fileName == name) return e;
    }
    for (const ReportEntry& e : reports) {
        if (e.name == name) return e;
    }
    Fail(session, "There is no report named \"" + name + "\" in " + platform::PathToCp932(session.OutputFolder()) + ".");
    return std::nullopt;
}

ViewerSettings Viewer(CliSession& session) { return {session.AutoView(), session.BrowserPath()}; }

}  // namespace

int CommandUsers(CliSession& session, std::ostream& out) {
    if (session.Options().json) {
        json users = json::array();
        for (const CliUser& u : session.Users()) {
            users.push_back({{"name", U8(u.name)}, {"folder", PathText(u.folder)}, {"current", u.current}});
        }
        out << json{{"users", users}}.dump(2) << "\n";
        return 0;
    }
    for (const CliUser& u : session.Users()) out << (u.current ? '*' : ' ') << '\t' << U8(u.name) << '\t' << PathText(u.folder) << '\n';
    return 0;
}

int CommandMeetings(CliSession& session, std::ostream& out) {
    const MeetingDatabase& store = session.Store();
    json meetings = json::array();
    for (std::int32_t i = 0; i < store.MeetingCount(); ++i) {
        const Meeting& m = *store.MeetingAt(i);
        if (session.Options().json) {
            meetings.push_back({{"number", i + 1},
                                {"title", U8(m.szTitle)},
                                {"location", U8(m.szLocation)},
                                {"date", U8(m.szDate)},
                                {"time", m.szTime.empty() ? json(nullptr) : json(U8(m.szTime))},
                                {"category", U8(m.szCategory)}});
            continue;
        }
        out << i + 1 << '\t' << U8(m.szTitle) << '\t' << U8(m.szLocation) << '\t' << U8(m.szDate) << ' '
            << U8(m.szTime) << '\t' << U8(m.szCategory) << '\n';
    }
    if (session.Options().json) out << json{{"meetings", meetings}}.dump(2) << "\n";
    return 0;
}

int CommandItems(CliSession& session, int meeting, std::ostream& out) {
    if (MeetingAt(session, meeting) == nullptr) return 1;
    const std::vector<MeetingItemEntry> entries = BuildMeetingItemEntries(session.Store(), session.Book(), meeting - 1);
    json items = json::array();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const MeetingItemEntry& e = entries[i];
        if (!session.Options().json) {
            out << KindWord(e.kind) << '\t' << U8(e.displayText) << '\n';
            continue;
        }
        json item{{"number", i + 1}, {"kind", KindWord(e.kind)}, {"text", U8(e.displayText)}};
        if (e.kind == ItemKind::kAgenda) item["discussed"] = e.discussed == 1;
        if (e.kind == ItemKind::kToDo) {
            item["completed"] = e.bCompleted == 1;
            item["priority"] = e.nPriority;
            item["dueDate"] = e.szDueDate.empty() ? json(nullptr) : json(U8(e.szDueDate));
            item["dueTime"] = e.szDueTime.empty() ? json(nullptr) : json(U8(e.szDueTime));
        }
        if (e.kind == ItemKind::kAttendee) {
            item["absent"] = e.bAbsent != 0;
            item["inAddressBook"] = e.foundInAddressBook;
        }
        items.push_back(std::move(item));
    }
    if (session.Options().json) out << json{{"meeting", meeting}, {"items", items}}.dump(2) << "\n";
    return 0;
}

int CommandShow(CliSession& session, int meeting, std::optional<int> item, std::ostream& out) {
    const Meeting* m = MeetingAt(session, meeting);
    if (m == nullptr) return 1;
    const std::vector<MeetingItemEntry> entries = BuildMeetingItemEntries(session.Store(), session.Book(), meeting - 1);
    if (item && (*item < 1 || static_cast<std::size_t>(*item) > entries.size())) {
        Fail(session, "Meeting " + std::to_string(meeting) + " has no item " + std::to_string(*item) + ": it has " +
                          std::to_string(entries.size()) + " items.");
        return 1;
    }
    const QuickViewFields fields = QuickViewFieldsFromSettings(
        [&](std::string_view name) { return session.UserFlag(name, 0) == 1; });
    const std::string text =
        PlatformLines(U8(QuickViewText(*m, entries, item ? *item - 1 : -1, session.Book(), fields)));
    if (session.Options().json) {
        out << json{{"meeting", meeting}, {"item", item ? json(*item) : json(nullptr)}, {"text", text}}.dump(2) << "\n";
    } else {
        out << text;
        if (!text.empty() && text.back() != '\n') out << '\n';
    }
    return 0;
}

int CommandReport(CliSession& session, const ReportRequest& request, std::ostream& out) {
    const Meeting* meeting = MeetingAt(session, request.meeting);
    if (meeting == nullptr) return 1;
    ReportFolder& report = session.Report();
    ReportKind kind = ReportKind::kExecutive;
    fs::path templatePath;
    if (!request.templateName.empty()) {
        const fs::path given = platform::PathFromCp932(platform::Utf8ToCp932(request.templateName));
        std::error_code ec;
        templatePath = given.has_parent_path() || fs::exists(given, ec) ? given : session.TemplateFolder() / given;
        if (!fs::exists(templatePath, ec) && !given.has_parent_path()) templatePath = session.TemplateFolder() / given;
        if (!report.LoadTemplateFile(templatePath)) return 1;
        report.SetMode(HasRtfExtension(templatePath) ? ExpansionMode::Rtf : ExpansionMode::Html);
    } else if (request.kind == "agenda") {
        kind = ReportKind::kAgenda;
    } else if (request.kind == "custom") {
        kind = ReportKind::kCustom;
    }
    if (request.sections) {
        const std::vector<std::string> s = *request.sections;
        const auto has = [&](const char* name) { return std::find(s.begin(), s.end(), name) != s.end(); };
        report.SetOptionsSource([&session, has] {
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
    std::string name = request.name ? platform::Utf8ToCp932(*request.name) : meeting->szTitle;
    CleanReportName(name, session.Ui());
    const std::string extension = templatePath.empty() ? ".htm" : platform::PathToCp932(templatePath.extension());
    const fs::path reportPath = session.OutputFolder() / platform::PathFromCp932(name + extension);
    std::error_code ec;
    if (!fs::is_directory(session.OutputFolder(), ec)) {
        Fail(session, "The output folder " + platform::PathToCp932(session.OutputFolder()) + " does not exist.");
        return 1;
    }
    session.Ui().AssumeYes(request.force);
    if (!ConfirmOverwrite(reportPath, session.Ui())) return 1;
    if (request.open) {
        report.SetViewer(MakeReportViewer([&session] { return Viewer(session); }, platform::SystemLauncher(), session.Ui()));
    }
    const bool written = templatePath.empty() ? report.WriteBuiltInReport(reportPath, *meeting, kind)
                                              : report.WriteTemplateReport(reportPath, *meeting);
    if (!written) return 1;
    if (session.Options().json) {
        out << json{{"path", PathText(reportPath)}}.dump(2) << "\n";
    } else {
        out << PathText(reportPath) << '\n';
    }
    return 0;
}

int CommandReports(CliSession& session, std::ostream& out) {
    json reports = json::array();
    for (const ReportEntry& e : ListReports(session.OutputFolder())) {
        if (!session.Options().json) {
            out << U8(e.name) << '\t' << U8(e.dateText) << '\t' << e.sizeText << '\n';
            continue;
        }
        reports.push_back({{"name", U8(e.name)},
                           {"file", U8(e.fileName)},
                           {"date", U8(e.dateText)},
                           {"size", std::stoll(e.sizeText.empty() ? "0" : e.sizeText)},
                           {"type", e.type == ReportType::kRtf ? "rtf" : "html"}});
    }
    if (session.Options().json) out << json{{"reports", reports}}.dump(2) << "\n";
    return 0;
}

int CommandOpen(CliSession& session, const std::string& name) {
    const std::optional<ReportEntry> entry = FindReport(session, name);
    if (!entry) return 1;
    const OpenOutcome outcome =
        OpenReportPath(session.OutputFolder() / platform::PathFromCp932(entry->fileName), Viewer(session),
                       platform::SystemLauncher(), session.Ui());
    return outcome == OpenOutcome::kViewerStarted || outcome == OpenOutcome::kHandlerStarted ? 0 : 1;
}

int CommandRename(CliSession& session, const std::string& oldName, const std::string& newName) {
    const std::optional<ReportEntry> entry = FindReport(session, oldName);
    if (!entry) return 1;
    if (!RenameReport(Paths(session), entry->fileName, platform::Utf8ToCp932(newName), session.Ui())) {
        Fail(session, "The report could not be renamed: a report of that name may exist already.");
        return 1;
    }
    return 0;
}

int CommandDelete(CliSession& session, const std::string& name) {
    const std::optional<ReportEntry> entry = FindReport(session, name);
    if (!entry) return 1;
    return DeleteReport(Paths(session), entry->fileName, session.Ui()) == DeleteOutcome::kDeleted ? 0 : 1;
}

int CommandExport(CliSession& session, const std::string& name, const std::string& destination) {
    const std::optional<ReportEntry> entry = FindReport(session, name);
    if (!entry) return 1;
    const fs::path dest = platform::PathFromCp932(platform::Utf8ToCp932(destination));
    return ExportReport(Paths(session), entry->fileName, dest, session.Ui()) == TransferOutcome::kDone ? 0 : 1;
}

int CommandImport(CliSession& session, const std::string& file) {
    const fs::path path = platform::PathFromCp932(platform::Utf8ToCp932(file));
    return ImportReport(Paths(session), path, session.Ui()) == TransferOutcome::kDone ? 0 : 1;
}

int CommandMail(CliSession& session, const std::string& name) {
    const std::optional<ReportEntry> entry = FindReport(session, name);
    if (!entry) return 1;
    ReportMailer mailer;
    mailer.SetUp();
    return mailer.SendReport(Paths(session), entry->fileName, session.Ui()) ? 0 : 1;
}

}  // namespace tavolex::cli
