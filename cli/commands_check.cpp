// check: whether the user's database files and address book were read whole.

#include "cli/cli_messages.h"
#include "cli/command_registry.h"
#include "meeting_query/store_check.h"
#include "platform/file_system.h"

#include <iostream>

namespace tavolex::cli {
namespace {

using json = nlohmann::ordered_json;

std::string Joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : "; ") + p;
    return out;
}

int Check(CliSession& session) {
    const CliUser* user = session.CurrentUser();
    if (user == nullptr) return session.LoadUser() ? 0 : 1;  // says why there is no user
    const std::filesystem::path& data = user->folders.data;
    const StoreCheck check = CheckStore(data, user->folders.addressBook);
    json files = json::array();
    std::string damaged;
    for (const FileCheck& f : check.files) {
        if (f.damaged) damaged += (damaged.empty() ? "" : ", ") + f.name;
        const std::string state = !f.present ? "missing" : f.damaged ? "damaged" : "ok";
        if (session.Format() == OutputFormat::kText) {
            WriteTsvLine(std::cout, {f.name, state, std::to_string(f.status), StatusMeaning(f.status),
                                     f.headerRecords ? std::to_string(*f.headerRecords) : "-",
                                     std::to_string(f.recordsRead), Joined(SkippedTexts(f))});
            continue;
        }
        files.push_back({{"name", f.name},
                         {"path", PathText(f.path)},
                         {"state", state},
                         {"present", f.present},
                         {"status", f.status},
                         {"meaning", StatusMeaning(f.status)},
                         {"headerRecords", OrNull(f.headerRecords)},
                         {"recordsRead", f.recordsRead},
                         {"skipped", session.Csv() ? json(Joined(SkippedTexts(f))) : json(SkippedTexts(f))}});
    }
    if (session.Json())
        WriteJson(std::cout, json{{"user", platform::Cp932ToUtf8(user->name)},
                                  {"folder", PathText(data)},
                                  {"healthy", check.Healthy()},
                                  {"files", files}});
    if (session.Csv()) {
        WriteCsv(std::cout,
                 {{"name", kCsvValue},
                  {"path"},
                  {"state", kCsvValue},
                  {"status", kCsvValue},
                  {"meaning", kCsvValue},
                  {"headerRecords", kCsvValue},
                  {"recordsRead", kCsvValue},
                  {"skipped"}},
                 files);
    }
    if (check.Healthy()) return 0;
    Fail(session.Ui(), "Some records of " + user->name + " were not read: " + damaged + ".", PathText(data));
    return 1;
}

}  // namespace

void AddCheckCommands(CommandRegistry& registry) {
    CLI::App* check = registry.Add("check", "say per database file whether it was read whole; exit 1 when any was not",
                                   "tavolex --user UserA check", Needs::kUsers, true, Check);
    check->footer(
        "Prints one line per file: name, state (ok, missing, damaged), status code and meaning, the records\n"
        "its header names, the records read, and what was skipped.\n\nExample:\n  tavolex --user UserA check\n\n" +
        ClosingNotes(true));
}

}  // namespace tavolex::cli
