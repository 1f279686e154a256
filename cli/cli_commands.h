#pragma once
// The commands of the command-line program; each returns the exit status (0 done, 1 not done).

#include "cli/cli_session.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tavolex::cli {

struct ReportRequest {
    int meeting = 0;  // 1-based
    std::string templateName;  // UTF-8; empty: a built-in kind
    std::string kind = "executive";
    std::optional<std::string> name;  // UTF-8
    std::optional<std::vector<std::string>> sections;
    bool force = false;
    bool open = false;
};

int CommandUsers(CliSession& session, std::ostream& out);
int CommandMeetings(CliSession& session, std::ostream& out);
int CommandItems(CliSession& session, int meeting, std::ostream& out);
int CommandShow(CliSession& session, int meeting, std::optional<int> item, std::ostream& out);
int CommandReport(CliSession& session, const ReportRequest& request, std::ostream& out);
int CommandReports(CliSession& session, std::ostream& out);
int CommandOpen(CliSession& session, const std::string& name);
int CommandRename(CliSession& session, const std::string& oldName, const std::string& newName);
int CommandDelete(CliSession& session, const std::string& name);
int CommandExport(CliSession& session, const std::string& name, const std::string& destination);
int CommandImport(CliSession& session, const std::string& file);
int CommandMail(CliSession& session, const std::string& name);

}  // namespace tavolex::cli
