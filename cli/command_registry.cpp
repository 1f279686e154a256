#include "cli/command_registry.h"

namespace tavolex::cli {

std::string ClosingNotes(bool csv) {
    std::string notes;
    if (csv) {
        notes =
            "With --csv the listing is for a spreadsheet: a text cell that starts with =, +, -, @, TAB or CR\n"
            "gets a ' in front, so that it is not taken for a formula; --json keeps every text as it is.\n\n";
    }
    return notes + "The global options (tavolex --help) go before or after the command.";
}

CLI::App* CommandRegistry::Add(const std::string& name, const std::string& description, const std::string& example,
                               Needs needs, bool csv, std::function<int(CliSession&)> run) {
    CLI::App* app = root_.add_subcommand(name, description);
    app->group("Commands");
    app->footer("Example:\n  " + example + "\n\n" + ClosingNotes(csv));
    commands_.push_back({app, needs, csv, false, std::move(run)});
    return app;
}

void CommandRegistry::Replace(CLI::App* app, std::function<int(CliSession&)> run) {
    for (Command& c : commands_) {
        if (c.app == app) c.run = std::move(run);
    }
}

void CommandRegistry::ListsEveryUser(
    CLI::App* app, std::function<int(const GlobalOptions&, const std::vector<std::string>&)> runEveryUser) {
    for (Command& c : commands_) {
        if (c.app != app) continue;
        c.everyUser = true;
        c.runEveryUser = runEveryUser;
    }
}

const Command* CommandRegistry::Chosen() const {
    for (const Command& c : commands_) {
        if (c.app->parsed()) return &c;
    }
    return nullptr;
}

const Command* CommandRegistry::Find(const std::string& name) const {
    for (const Command& c : commands_) {
        if (c.app->get_name() == name) return &c;
    }
    return nullptr;
}

}  // namespace tavolex::cli
