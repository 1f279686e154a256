#pragma once
// The commands of the command-line program, gathered from one file per command family. A family
// adds its commands to the registry: each a CLI11 sub-command with its options, what the run must
// have ready before it (the settings, the Palm users, or a user's data), whether it writes CSV,
// and the function that runs it and returns the exit status (0 done, 1 not done, 2 bad usage).
//
// A new family is a file under cli/ with one Add…Commands function, listed in kCommandFamilies.

#include "cli/cli_session.h"

#include "cli/cli11.h"

#include <functional>
#include <string>
#include <vector>

namespace tavolex::cli {

// The lines that close a command's --help: for a listing (a command that takes --csv) what --csv
// does to a text a spreadsheet would run as a formula, then where the global options go.
[[nodiscard]] std::string ClosingNotes(bool csv);

enum class Needs {
    kNothing,   // runs before the settings are opened
    kSettings,  // the settings store
    kUsers,     // the Palm Desktop folder and its users
    kUser,      // the run's Palm user and its data
};

struct Command {
    CLI::App* app = nullptr;
    Needs needs = Needs::kUser;
    bool csv = false;        // a listing: --csv is accepted
    bool everyUser = false;  // lists several users at once (--all-users, --user given more than once)
    std::function<int(CliSession&)> run;
    // Runs for several users at once its own way (an export joins the users' files); the users are
    // those named, or every user of the Palm folder when none is.
    std::function<int(const GlobalOptions&, const std::vector<std::string>&)> runEveryUser{};
};

class CommandRegistry {
public:
    explicit CommandRegistry(CLI::App& root) : root_(root) {}

    // Adds the command `name`; the example (a whole command line) closes its --help.
    CLI::App* Add(const std::string& name, const std::string& description, const std::string& example, Needs needs,
                  bool csv, std::function<int(CliSession&)> run);

    // Sets the function of a command added before (one that needs the command's own options).
    void Replace(CLI::App* app, std::function<int(CliSession&)> run);
    // Marks a command that lists several users at once (every_user.h), or runs for them its own way.
    void ListsEveryUser(CLI::App* app,
                        std::function<int(const GlobalOptions&, const std::vector<std::string>&)> runEveryUser = {});

    [[nodiscard]] CLI::App& Root() { return root_; }
    [[nodiscard]] const std::vector<Command>& Commands() const { return commands_; }
    // The command the parsed command line names; null when none.
    [[nodiscard]] const Command* Chosen() const;
    // The command of this name; null when there is none.
    [[nodiscard]] const Command* Find(const std::string& name) const;

private:
    CLI::App& root_;
    std::vector<Command> commands_;
};

// The families; each file under cli/ that holds commands defines one.
void AddListingCommands(CommandRegistry& registry);     // users, meetings, items, show
void AddReportCommands(CommandRegistry& registry);      // report
void AddReportFileCommands(CommandRegistry& registry);  // reports, open, rename, delete, export, import, mail
void AddConfigCommands(CommandRegistry& registry);      // config
void AddSearchCommands(CommandRegistry& registry);      // search
void AddCheckCommands(CommandRegistry& registry);       // check
void AddExportCommands(CommandRegistry& registry);      // archive, calendar, contacts, dump, sqlite
void AddAcrossCommands(CommandRegistry& registry);      // todos, people
void AddCompareCommands(CommandRegistry& registry);     // compare

inline constexpr void (*kCommandFamilies[])(CommandRegistry&) = {
    AddListingCommands, AddReportCommands, AddReportFileCommands, AddConfigCommands,  AddSearchCommands,
    AddCheckCommands,   AddExportCommands, AddAcrossCommands,     AddCompareCommands,
};

}  // namespace tavolex::cli
