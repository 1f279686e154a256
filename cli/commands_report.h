#pragma once
// The reports of the `report` command, for callers in the same process (the desktop program's
// tests compare its dialogs' reports with these).

#include "cli/cli_session.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tavolex::cli {

struct ReportJob {
    std::vector<std::int32_t> meetings{};     // 0-based store positions
    bool batch = false;                       // one report each, named by nameFormat
    std::string templateName{};               // UTF-8: a file of the template folder or a path; empty: a built-in kind
    std::string kind = "executive";           // executive, agenda or custom
    std::optional<std::string> name{};        // UTF-8: the one report's name (default: the meeting title)
    std::optional<std::string> nameFormat{};  // UTF-8, with {title}, {date}, {number}, {id}
    std::optional<std::vector<std::string>> sections{};  // the custom report's sections
    bool open = false;
};

// The built-in report of a --kind value: executive (also for any other text), agenda or custom.
[[nodiscard]] ReportKind BuiltInReportKind(const std::string& kind);

// Writes the reports and prints their paths (or, with --json, one document) on out; 0 when every
// report was written, else 1 after the messages.
int WriteReports(CliSession& session, const ReportJob& job, std::ostream& out);

}  // namespace tavolex::cli
