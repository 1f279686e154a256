#include "cli/selection_options.h"

#include "cli/cli_messages.h"

namespace tavolex::cli {

bool SelectionArguments::Filtered() const {
    return app->count("--since") + app->count("--until") + app->count("--category") + app->count("--attendee") > 0;
}

bool SelectionArguments::Named() const { return !numbers.empty() || all || Filtered(); }

std::shared_ptr<SelectionArguments> AddSelectionOptions(CLI::App* app, const std::string& numbersName) {
    auto arguments = std::make_shared<SelectionArguments>();
    arguments->app = app;
    app->add_option(numbersName, arguments->numbers, "meeting numbers and ranges, as in 3 or 1-5,8");
    app->add_flag("--all", arguments->all, "every meeting");
    app->add_option("--since", arguments->since, "meetings on or after this date (YYYY-MM-DD)")->type_name("DATE");
    app->add_option("--until", arguments->until, "meetings on or before this date (YYYY-MM-DD)")->type_name("DATE");
    app->add_option("--category", arguments->category, "meetings of this category");
    app->add_option("--attendee", arguments->attendee, "meetings one of whose attendees' names holds this text");
    return arguments;
}

std::optional<int> SelectedMeetingIndexes(CliSession& session, const SelectionArguments& arguments,
                                          std::vector<std::int32_t>& indexes) {
    const std::string command = arguments.app->get_name();
    MeetingSelection selection;
    for (const std::string& text : arguments.numbers) {
        std::string error;
        if (!ParseMeetingNumbers(text, selection.ranges, error)) return UsageError(command, error);
    }
    if (arguments.all && !arguments.numbers.empty())
        return UsageError(command, "--all and meeting numbers exclude each other");
    for (const auto& [name, value, target] : {std::tuple{"--since", &arguments.since, &selection.since},
                                              std::tuple{"--until", &arguments.until, &selection.until}}) {
        if (arguments.app->count(name) == 0) continue;
        if (!IsIsoDate(*value))
            return UsageError(command, std::string(name) + " wants a date as YYYY-MM-DD, not \"" + *value + "\"");
        *target = *value;
    }
    if (arguments.app->count("--category") > 0) selection.category = arguments.category;
    if (arguments.app->count("--attendee") > 0) selection.attendee = arguments.attendee;
    const SelectedMeetings selected = SelectMeetings(session.Store(), session.Book(), selection);
    if (selected.missingNumber != 0) {
        Fail(session.Ui(), "There is no meeting " + std::to_string(selected.missingNumber) + ": the user has " +
                               std::to_string(session.Store().MeetingCount()) + " meetings.");
        return 1;
    }
    indexes = selected.indexes;
    return std::nullopt;
}

}  // namespace tavolex::cli
