// tavolex: the command-line program. It does the desktop program's main job without a window:
// lists users, meetings and items, prints the quick-view texts, searches and checks a store,
// writes reports and manages the report folder. The commands come from one file per family
// (see command_registry.h); this file reads the global options and runs the command named.

#include "cli/cli_messages.h"
#include "cli/cli_session.h"
#include "cli/command_registry.h"
#include "cli/every_user.h"
#include "base/trace.h"

#include "cli/cli11.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iostream>
#include <streambuf>
#include <system_error>

#ifdef _WIN32
#include "cli/windows_console.h"

#include <optional>
#include <vector>
#endif

namespace tavolex::cli {
namespace {

constexpr const char* kVersion = "tavolex " TAVOLEX_VERSION;

// The command a failed parse was in: the deepest sub-command that took part.
std::string CommandOf(const CommandRegistry& registry) {
    const Command* chosen = registry.Chosen();
    return chosen != nullptr ? chosen->app->get_name() : std::string();
}

int Run(int argc, char** argv) {
    CLI::App app{"Tavolex: the meetings of a Palm handheld, listed, searched, checked and written as reports.",
                 "tavolex"};
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.set_help_flag("-h,--help", "print this help (tavolex COMMAND --help: a command's own)");
    app.set_version_flag("-V,--version", kVersion, "print the version");
    app.require_subcommand(0, 1);
    app.fallthrough();
    app.get_formatter()->label("SUBCOMMAND", "COMMAND");
    app.footer(
        "Global options go before or after the command; a repeated option takes its last value, but for --user "
        "and\n--palm-folder (copies of a folder, merged by the commands that read meetings).\n"
        "The Palm Desktop folder comes from --palm-folder, else TAVOLEX_PALM_FOLDER, else the setting\n"
        "(tavolex config palm-folder DIR). Exit status: 0 done, 1 not done, 2 bad usage.\n\n"
        "Example:\n  tavolex --palm-folder samples/palm meetings");
    GlobalOptions options;
    std::vector<std::string> users;
    bool allUsers = false;
    bool json = false;
    bool csv = false;
    std::vector<std::filesystem::path> palmFolders;
    app.add_option("--palm-folder", palmFolders,
                   "Palm Desktop folder (one folder per Palm user), one user's folder or a data folder; given more "
                   "than once (copies of one folder, oldest first), each user's meetings are merged, the last copy "
                   "winning")
        ->type_name("DIR")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_option("--user", users,
                   "Palm user, by exact name (default: the saved user, else the first); given more than once, "
                   "meetings, search, todos, people and every export cover each of those users")
        ->type_name("NAME")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_flag("--all-users", allUsers,
                 "meetings, search, todos, people and every export cover every Palm user "
                 "of the folder");
    app.add_option("--config", options.configFolder, "folder of the settings store")->type_name("DIR");
    app.add_option("--output", options.outputFolder, "report folder for this run")->type_name("DIR");
    app.add_option("--templates", options.templateFolder, "template folder for this run")->type_name("DIR");
    app.add_flag("--json", json, "print results as one JSON document");
    app.add_flag("--csv", csv,
                 "print a listing as CSV (UTF-8 with a byte-order mark); a text cell that starts with =, +, -, @, "
                 "TAB or CR gets a ' in front");
    app.add_flag("-y,--yes,--force", options.yes, "answer every question with yes (replace, delete)");

    CommandRegistry registry(app);
    for (const auto family : kCommandFamilies) family(registry);
    auto topic = std::make_shared<std::string>();
    CLI::App* help = registry.Add("help", "print the help of the program or of a command", "tavolex help report",
                                  Needs::kNothing, false, nullptr);
    help->add_option("COMMAND", *topic, "a command");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ExtrasError& e) {
        // A word where the command should be: name it as an unknown command.
        if (registry.Chosen() == nullptr && argc > 1) {
            for (int i = 1; i < argc; ++i) {
                const std::string arg = argv[i];
                if (!arg.empty() && arg[0] != '-' && e.what() != nullptr &&
                    std::string(e.what()).find(arg) != std::string::npos) {
                    return UsageError("", "unknown command \"" + arg + "\"");
                }
            }
        }
        return UsageError(CommandOf(registry), e.what());
    } catch (const CLI::ParseError& e) {
        return UsageError(CommandOf(registry), e.what());
    }
    const Command* command = registry.Chosen();
    if (command == nullptr) return UsageError("", "a command is required");
    if (command->app == help) {
        // The formatter directly: App::help would print the help of the command just parsed.
        const Command* about = topic->empty() ? nullptr : registry.Find(*topic);
        if (!topic->empty() && about == nullptr) return UsageError("", "unknown command \"" + *topic + "\"");
        CLI::App* subject = about == nullptr ? &app : about->app;
        std::cout << app.get_formatter()->make_help(subject, subject == &app ? "tavolex" : "tavolex " + *topic,
                                                    CLI::AppFormatMode::Normal);
        return 0;
    }
    const std::string name = command->app->get_name();
    if (json && csv) return UsageError(name, "--json and --csv exclude each other");
    if (csv && !command->csv) return UsageError(name, "--csv is for the listing commands; " + name + " has --json");
    // A folder given twice counts where it was given last.
    for (const std::filesystem::path& folder : palmFolders) {
        std::erase(options.earlierPalmFolders, folder);
        options.earlierPalmFolders.push_back(folder);
    }
    if (!options.earlierPalmFolders.empty()) {
        options.palmFolder = options.earlierPalmFolders.back();
        options.earlierPalmFolders.pop_back();
    }
    // Only the commands that read meetings merge copies; the others take the last, as any option.
    if (command->needs < Needs::kUser) options.earlierPalmFolders.clear();
    options.format = json ? OutputFormat::kJson : csv ? OutputFormat::kCsv : OutputFormat::kText;
    if (allUsers && !users.empty()) return UsageError(name, "--all-users and --user exclude each other");
    std::vector<std::string> named;
    for (const std::string& u : users) {
        if (std::find(named.begin(), named.end(), u) == named.end()) named.push_back(u);
    }
    if (allUsers || named.size() > 1) {
        if (!command->everyUser) {
            return UsageError(name,
                              "several users (--all-users, or --user given more than once) are for meetings, "
                              "search, todos, people and the exports");
        }
        const std::vector<std::string> chosen = allUsers ? std::vector<std::string>{} : named;
        return command->runEveryUser ? command->runEveryUser(options, chosen)
                                     : RunForEveryUser(options, chosen, *command);
    }
    if (!named.empty()) options.user = named.front();

    CliSession session(options);
    if (command->needs >= Needs::kSettings && !session.OpenSettings()) return 1;
    if (command->needs >= Needs::kUsers && !session.FindUsers()) return 1;
    if (command->needs >= Needs::kUser && !session.LoadUser()) return 1;
    return command->run(session);
}

// std::cout's buffer: the bytes go to stdout as before, and the reason of the first write that
// failed is kept, for the check after the command (by then the reason errno gave is long gone).
class StdoutBuffer : public std::streambuf {
public:
    // Flushes stdout; the reason it failed for, 0 when everything was written.
    int Finish() {
        if (std::fflush(stdout) != 0) Note();
        if (error_ == 0 && std::ferror(stdout) != 0) error_ = EIO;
        return error_;
    }

protected:
    int overflow(int c) override {
        if (c == traits_type::eof()) return traits_type::not_eof(c);
        const char byte = traits_type::to_char_type(c);
        return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
    }
    std::streamsize xsputn(const char* bytes, std::streamsize count) override {
        errno = 0;
        const std::size_t written = std::fwrite(bytes, 1, static_cast<std::size_t>(count), stdout);
        if (written != static_cast<std::size_t>(count)) Note();
        return static_cast<std::streamsize>(written);
    }
    int sync() override {
        errno = 0;
        if (std::fflush(stdout) == 0) return 0;
        Note();
        return -1;
    }

private:
    void Note() {
        if (error_ == 0) error_ = errno != 0 ? errno : EIO;
    }

    int error_ = 0;
};

// Every command writes its stdout through std::cout, and a stream that fails (a full disk, a closed
// pipe) fails quietly: the check after the command, the buffer flushed, makes a lost output a job
// not done.
int CheckOutputWritten(StdoutBuffer& buffer, int status) {
    std::cout.flush();
    const int error = buffer.Finish();
    if (error == 0) return status;
    Detail("Tavolex: The output could not be written.");
    Detail("standard output: " + std::generic_category().message(error));
    return status == 0 ? 1 : status;
}

}  // namespace
}  // namespace tavolex::cli

int main(int argc, char** argv) {
    tavolex::SetTraceTargets(tavolex::CommandLineTraceTargets());
    tavolex::cli::StdoutBuffer buffer;
#ifdef _WIN32
    // The arguments in UTF-8, as on Linux; a console gets wide characters, a pipe or a file UTF-8.
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> arguments = tavolex::cli::Utf8Arguments();
    std::vector<char*> pointers;
    for (std::string& argument : arguments) pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    if (!arguments.empty()) {
        argc = static_cast<int>(arguments.size());
        argv = pointers.data();
    }
    std::optional<tavolex::cli::ConsoleBuffer> console, consoleErrors;
    if (tavolex::cli::IsConsole(GetStdHandle(STD_OUTPUT_HANDLE))) console.emplace(GetStdHandle(STD_OUTPUT_HANDLE));
    if (tavolex::cli::IsConsole(GetStdHandle(STD_ERROR_HANDLE))) consoleErrors.emplace(GetStdHandle(STD_ERROR_HANDLE));
    std::streambuf* const originalErrors = consoleErrors ? std::cerr.rdbuf(&*consoleErrors) : nullptr;
    std::streambuf* const original = std::cout.rdbuf(console ? static_cast<std::streambuf*>(&*console) : &buffer);
#else
    std::streambuf* const original = std::cout.rdbuf(&buffer);
#endif
    const int status = tavolex::cli::CheckOutputWritten(buffer, tavolex::cli::Run(argc, argv));
    std::cout.rdbuf(original);
#ifdef _WIN32
    if (originalErrors != nullptr) std::cerr.rdbuf(originalErrors);
#endif
    return status;
}
