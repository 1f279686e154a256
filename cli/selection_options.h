#pragma once
// The meeting selection of the commands that take one: numbers and ranges ("3", "1-5,8"),
// --all, --since, --until, --category and --attendee; the choosing itself is the core's.

#include "cli/cli_session.h"
#include "meeting_query/meeting_selection.h"

#include "cli/cli11.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavolex::cli {

struct SelectionArguments {
    CLI::App* app = nullptr;
    std::vector<std::string> numbers;
    bool all = false;
    std::string since;
    std::string until;
    std::string category;
    std::string attendee;

    // Whether anything but plain numbers chose the meetings.
    [[nodiscard]] bool Filtered() const;
    // Whether the command line named any meetings (numbers, --all or a filter).
    [[nodiscard]] bool Named() const;
};

// Adds the selection to a command; `numbersName` is the positional's name in --help ("N…").
std::shared_ptr<SelectionArguments> AddSelectionOptions(CLI::App* app, const std::string& numbersName = "N");

// The meetings chosen, in store order; or the exit status of the message shown instead (2 for bad
// usage, 1 for a number the user's store doesn't have). With none named, every meeting.
std::optional<int> SelectedMeetingIndexes(CliSession& session, const SelectionArguments& arguments,
                                          std::vector<std::int32_t>& indexes);

}  // namespace tavolex::cli
