// tavolex: the command-line program. It does the desktop program's main job without a window:
// lists users, meetings and items, prints the quick-view texts, writes reports and manages the
// report folder.

#include "cli/cli_commands.h"
#include "cli/cli_session.h"
#include "shell/trace.h"

#include <CLI/CLI.hpp>

#include <iostream>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tavolex::cli {
namespace {

constexpr const char* kVersion = "tavolex " TAVOLEX_VERSION;

int Run(int argc, char** argv) {
    CLI::App app{"Tavolex: meetings of a Palm handheld as reports.", "tavolex"};
    app.set_version_flag("--version", kVersion);
    app.require_subcommand(1);
    app.fallthrough();
    GlobalOptions options;
    std::string user;
    app.add_option("--palm-folder", options.palmFolder, "Palm Desktop folder (one folder per Palm user)");
    app.add_option("--user", user, "Palm user, by exact name (default: the last user, else the first)");
    app.add_option("--config", options.configFolder, "folder of the settings store");
    app.add_option("--output", options.outputFolder, "report folder for this run");
    app.add_option("--templates", options.templateFolder, "template folder for this run");
    app.add_flag("--json", options.json, "print results as one JSON document");

    CLI::App* users = app.add_subcommand("users", "list the Palm users (* marks the current one)");
    CLI::App* meetings = app.add_subcommand("meetings", "list the meetings of the user");
    int meeting = 0;
    int item = 0;
    CLI::App* items = app.add_subcommand("items", "list the items of meeting N in handheld order");
    items->add_option("N", meeting, "meeting number (1-based)")->required();
    CLI::App* show = app.add_subcommand("show", "print the quick view of meeting N, or of its I-th item");
    show->add_option("N", meeting, "meeting number (1-based)")->required();
    show->add_option("I", item, "item number (1-based)");

    ReportRequest request;
    std::string reportName;
    std::string sections;
    CLI::App* report = app.add_subcommand("report", "write a report of meeting N and print its path");
    report->add_option("N", request.meeting, "meeting number (1-based)")->required();
    report->add_option("--template", request.templateName, "template file of the template folder, or a path");
    report->add_option("--kind", request.kind, "built-in report: executive, agenda or custom")
        ->check(CLI::IsMember({"executive", "agenda", "custom"}));
    report->add_option("--name", reportName, "report name (default: the meeting title)");
    report->add_flag("--force", request.force, "replace an existing report");
    report->add_flag("--open", request.open, "open the report in the viewer afterwards");
    report->add_option("--sections", sections, "custom report sections: author,agenda,todo,note,sketch,attendee");

    CLI::App* reports = app.add_subcommand("reports", "list the reports of the output folder");
    std::string name;
    std::string other;
    bool yes = false;
    CLI::App* open = app.add_subcommand("open", "open a report in the viewer");
    open->add_option("NAME", name, "report name, with or without its extension")->required();
    CLI::App* rename = app.add_subcommand("rename", "rename a report");
    rename->add_option("OLD", name, "report name")->required();
    rename->add_option("NEW", other, "new name, without extension")->required();
    CLI::App* remove = app.add_subcommand("delete", "delete a report and the pictures no other report uses");
    remove->add_option("NAME", name, "report name")->required();
    remove->add_flag("--yes", yes, "answer the question with yes");
    CLI::App* exportCommand = app.add_subcommand("export", "copy a report with its pictures to DEST");
    exportCommand->add_option("NAME", name, "report name")->required();
    exportCommand->add_option("DEST", other, "destination file or folder")->required();
    exportCommand->add_flag("--force", yes, "replace an existing file");
    CLI::App* importCommand = app.add_subcommand("import", "move a report file with its pictures into the output folder");
    importCommand->add_option("FILE", other, "the report file")->required();
    importCommand->add_flag("--force", yes, "replace an existing report");
    CLI::App* mail = app.add_subcommand("mail", "hand a report with its pictures to the mail program");
    mail->add_option("NAME", name, "report name")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "tavolex: " << e.what() << "\n\n" << app.help() << std::flush;
        return 2;
    }
    if (app.count("--user") > 0) options.user = user;
    if (report->count("--name") > 0) request.name = reportName;
    if (report->count("--sections") > 0) {
        std::vector<std::string> list;
        for (std::size_t start = 0; start <= sections.size();) {
            const std::size_t comma = sections.find(',', start);
            const std::string part = sections.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            if (!part.empty()) {
                if (part != "author" && part != "agenda" && part != "todo" && part != "note" && part != "sketch" &&
                    part != "attendee") {
                    std::cerr << "tavolex: unknown section \"" << part << "\"\n\n" << report->help() << std::flush;
                    return 2;
                }
                list.push_back(part);
            }
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        request.sections = list;
    }

    CliSession session(options);
    session.Ui().AssumeYes(yes);
    if (!session.Open()) return 1;
    if (*users) return CommandUsers(session, std::cout);
    if (!session.LoadUser()) return 1;
    if (*meetings) return CommandMeetings(session, std::cout);
    if (*items) return CommandItems(session, meeting, std::cout);
    if (*show) return CommandShow(session, meeting, show->count("I") > 0 ? std::optional<int>(item) : std::nullopt, std::cout);
    if (*report) return CommandReport(session, request, std::cout);
    if (*reports) return CommandReports(session, std::cout);
    if (*open) return CommandOpen(session, name);
    if (*rename) return CommandRename(session, name, other);
    if (*remove) return CommandDelete(session, name);
    if (*exportCommand) return CommandExport(session, name, other);
    if (*importCommand) return CommandImport(session, other);
    if (*mail) return CommandMail(session, name);
    return 2;
}

}  // namespace
}  // namespace tavolex::cli

int main(int argc, char** argv) {
#ifdef _WIN32
    SetConsoleOutputCP(CP_UTF8);
#endif
    tavolex::SetTraceTargets(tavolex::CommandLineTraceTargets());
    return tavolex::cli::Run(argc, argv);
}
