#include "cli/every_user.h"

#include "cli/cli_messages.h"
#include "cli/output_format.h"

#include <algorithm>
#include <future>
#include <iostream>
#include <sstream>

namespace tavolex::cli {
namespace {

using json = nlohmann::ordered_json;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The rows of a CSV text as the listing wrote it, each without its CR LF (a line end inside a
// quoted cell stays in its row).
std::vector<std::string_view> CsvRows(std::string_view csv) {
    if (csv.starts_with(kByteOrderMark)) csv.remove_prefix(kByteOrderMark.size());
    std::vector<std::string_view> rows;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < csv.size(); ++i) {
        if (csv[i] == '"') quoted = !quoted;
        if (!quoted && csv[i] == '\r' && i + 1 < csv.size() && csv[i + 1] == '\n') {
            rows.push_back(csv.substr(start, i - start));
            start = ++i + 1;
        }
    }
    if (start < csv.size()) rows.push_back(csv.substr(start));
    return rows;
}

// The record with "user" first.
json WithUser(const std::string& user, const json& record) {
    if (!record.is_object()) return record;
    json out{{"user", user}};
    for (const auto& [key, value] : record.items()) out[key] = value;
    return out;
}

}  // namespace

std::string JoinText(const std::vector<UserOutput>& outputs) {
    std::string joined;
    for (const UserOutput& o : outputs) {
        const std::string user = TsvField(o.user) + "\t";
        std::size_t start = 0;
        for (std::size_t end; (end = o.output.find('\n', start)) != std::string::npos; start = end + 1)
            joined += user + o.output.substr(start, end + 1 - start);
        if (start < o.output.size()) joined += user + o.output.substr(start) + "\n";
    }
    return joined;
}

std::string JoinCsv(const std::vector<UserOutput>& outputs) {
    std::string joined(kByteOrderMark);
    bool header = true;
    for (const UserOutput& o : outputs) {
        const std::vector<std::string_view> rows = CsvRows(o.output);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (r == 0 && !header) continue;
            joined +=
                (r == 0 ? std::string("user") : CsvCell(o.user, CsvCells::kText)) + "," + std::string(rows[r]) + "\r\n";
        }
        header = header && rows.empty();
    }
    if (header) joined += "user\r\n";
    return joined;
}

std::string JoinJson(const std::vector<UserOutput>& outputs, const std::vector<std::string>& leftOut) {
    json joined = json::object();
    for (const UserOutput& o : outputs) {
        const json document = json::parse(o.output, nullptr, false);
        if (!document.is_object()) continue;
        for (const auto& [key, value] : document.items()) {
            if (!value.is_array()) {
                if (!joined.contains(key)) joined[key] = value;
                continue;
            }
            if (!joined.contains(key)) joined[key] = json::array();
            for (const json& record : value) joined[key].push_back(WithUser(o.user, record));
        }
    }
    if (!leftOut.empty()) joined["usersLeftOut"] = leftOut;
    std::ostringstream out;
    WriteJson(out, joined);
    return out.str();
}

std::optional<std::vector<std::string>> EveryUserName(const GlobalOptions& options,
                                                      const std::vector<std::string>& names) {
    if (!names.empty()) return names;
    CliSession all(options);
    if (!all.OpenSettings() || !all.FindUsers()) return std::nullopt;
    std::vector<std::string> users;
    for (const CliUser& u : all.Users()) users.push_back(platform::Cp932ToUtf8(u.name));
    return users;
}

std::unique_ptr<CliSession> OpenUserSession(const GlobalOptions& options, const std::string& user) {
    GlobalOptions one = options;
    one.user = user;
    auto session = std::make_unique<CliSession>(one);
    if (session->OpenSettings() && session->FindUsers() && session->LoadUser()) return session;
    Detail("Tavolex: the user \"" + user + "\" was left out.");
    return nullptr;
}

int RunForEveryUser(const GlobalOptions& options, const std::vector<std::string>& names, const Command& command) {
    const std::optional<std::vector<std::string>> users = EveryUserName(options, names);
    if (!users) return 1;
    std::vector<UserOutput> outputs;
    std::vector<std::string> leftOut;
    int status = 0;
    // The next user's store is loaded on a thread of its own while this user's listing is made: the
    // two take about as long, and a listing only reads its store and settings. Sessions are opened
    // one at a time, so the settings are never written by two at once.
    const auto open = [&options](const std::string& user) {
        return std::async(std::launch::async, [&options, user] { return OpenUserSession(options, user); });
    };
    std::future<std::unique_ptr<CliSession>> next;
    if (!users->empty()) next = open(users->front());
    for (std::size_t i = 0; i < users->size(); ++i) {
        const std::string& user = (*users)[i];
        const std::unique_ptr<CliSession> session = next.get();
        if (i + 1 < users->size()) next = open((*users)[i + 1]);
        if (session == nullptr) {
            leftOut.push_back(user);
            status = 1;
            continue;
        }
        std::ostringstream captured;
        std::streambuf* const stdoutBuffer = std::cout.rdbuf(captured.rdbuf());
        const int userStatus = command.run(*session);
        std::cout.rdbuf(stdoutBuffer);
        if (userStatus == 2) return 2;  // the command line is wrong for every user
        status = std::max(status, userStatus);
        outputs.push_back({user, captured.str()});
    }
    switch (options.format) {
        case OutputFormat::kText: std::cout << JoinText(outputs); break;
        case OutputFormat::kCsv: std::cout << JoinCsv(outputs); break;
        case OutputFormat::kJson: std::cout << JoinJson(outputs, leftOut); break;
    }
    return status;
}

}  // namespace tavolex::cli
