#pragma once
// A listing for several Palm users of the folder at once (--all-users, or --user given more than
// once). The command runs for each user in turn exactly as it runs for one, and the outputs are
// joined with the user first: a first column `user` in text and CSV (one header row), a first
// member "user" in each JSON record (the arrays of the users' documents joined, the other members
// taken from the first). Meeting numbers stay each user's own. A user whose data can't be loaded
// is named on stderr, and under "usersLeftOut" in JSON, and the others are listed; the status then
// says the job was not all done (1).

#include "cli/cli_session.h"
#include "cli/command_registry.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavolex::cli {

// The users to list: every user of the Palm folder (names empty), else those named (UTF-8), in the
// order given.
int RunForEveryUser(const GlobalOptions& options, const std::vector<std::string>& names, const Command& command);

// The names of the users a run for several users covers (UTF-8): those named, else every user of
// the Palm folder; none after a message when the Palm folder can't be read.
[[nodiscard]] std::optional<std::vector<std::string>> EveryUserName(const GlobalOptions& options,
                                                                    const std::vector<std::string>& names);
// The session of one of them with its data loaded; null after a message naming the user as left out.
[[nodiscard]] std::unique_ptr<CliSession> OpenUserSession(const GlobalOptions& options, const std::string& user);

// The joins, on the outputs of one user each (user name UTF-8, output as the command wrote it).
struct UserOutput {
    std::string user;
    std::string output;
};
[[nodiscard]] std::string JoinText(const std::vector<UserOutput>& outputs);
[[nodiscard]] std::string JoinCsv(const std::vector<UserOutput>& outputs);
[[nodiscard]] std::string JoinJson(const std::vector<UserOutput>& outputs, const std::vector<std::string>& leftOut);

}  // namespace tavolex::cli
