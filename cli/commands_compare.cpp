// compare: two copies of a Palm folder (dated backups, or the folders of two PCs), per user of the
// same folder name: the meetings only in the first, only in the second, and changed.

#include "cli/cli_messages.h"
#include "cli/command_registry.h"
#include "cli/every_user.h"
#include "meeting_query/store_compare.h"

#include <algorithm>
#include <iostream>

namespace tavolex::cli {
namespace {

using json = nlohmann::ordered_json;

struct CompareArguments {
    std::filesystem::path first, second;
};

std::string_view ChangeWord(MeetingDifference::Kind kind) {
    switch (kind) {
        case MeetingDifference::Kind::kOnlyInFirst: return "only-in-A";
        case MeetingDifference::Kind::kOnlyInSecond: return "only-in-B";
        case MeetingDifference::Kind::kChanged: break;
    }
    return "changed";
}

// What changed, as one text: the fields, then the items ("title, date, items: 1 added, 2 edited").
std::string WhatChanged(const MeetingDifference& d) {
    std::string what;
    for (const std::string& field : d.fields) what += (what.empty() ? "" : ", ") + field;
    std::string items;
    const std::pair<int, const char*> counts[] = {
        {d.itemsAdded, "added"}, {d.itemsRemoved, "removed"}, {d.itemsEdited, "edited"}};
    for (const auto& [count, word] : counts) {
        if (count > 0) items += (items.empty() ? "" : ", ") + std::to_string(count) + " " + word;
    }
    if (!items.empty()) what += (what.empty() ? "items: " : ", items: ") + items;
    return what;
}

int Compare(CliSession& session, const CompareArguments& a) {
    GlobalOptions first = session.Options(), second = session.Options();
    first.palmFolder = a.first;
    second.palmFolder = a.second;
    const std::vector<std::string> chosen =
        session.Options().user ? std::vector<std::string>{*session.Options().user} : std::vector<std::string>{};
    const std::optional<std::vector<std::string>> inFirst = EveryUserName(first, chosen);
    const std::optional<std::vector<std::string>> inSecond = EveryUserName(second, chosen);
    if (!inFirst || !inSecond) return 1;
    json records = json::array();
    int status = 0;
    const auto record = [&](const std::string& user, std::string_view change, const MeetingDifference* d) {
        json r{{"user", user}, {"change", change}};
        r["id"] = d != nullptr ? json(d->id) : json(nullptr);
        r["date"] = d != nullptr && d->date ? json(*d->date) : json(nullptr);
        r["title"] = d != nullptr ? json(platform::Cp932ToUtf8(d->title)) : json(nullptr);
        r["what"] = d != nullptr ? WhatChanged(*d) : std::string("the user's folder");
        records.push_back(std::move(r));
    };
    std::vector<std::string> users = *inFirst;
    for (const std::string& u : *inSecond) {
        if (std::find(users.begin(), users.end(), u) == users.end()) users.push_back(u);
    }
    for (const std::string& user : users) {
        const bool inA = std::find(inFirst->begin(), inFirst->end(), user) != inFirst->end();
        const bool inB = std::find(inSecond->begin(), inSecond->end(), user) != inSecond->end();
        if (!inA || !inB) {
            record(user, inA ? "only-in-A" : "only-in-B", nullptr);
            continue;
        }
        const std::unique_ptr<CliSession> a = OpenUserSession(first, user);
        const std::unique_ptr<CliSession> b = OpenUserSession(second, user);
        if (a == nullptr || b == nullptr) {
            status = 1;
            continue;
        }
        for (const MeetingDifference& d : CompareStores(a->Store(), b->Store())) record(user, ChangeWord(d.kind), &d);
    }
    if (session.Json())
        WriteJson(std::cout, json{{"A", PathText(a.first)}, {"B", PathText(a.second)}, {"changes", records}});
    if (session.Csv()) {
        WriteCsv(
            std::cout,
            {{"user"}, {"change", kCsvValue}, {"id", kCsvValue}, {"date", kCsvValue}, {"title"}, {"what", kCsvValue}},
            records);
    }
    if (session.Format() == OutputFormat::kText) {
        for (const json& r : records) {
            WriteTsvLine(std::cout,
                         {r["user"].get<std::string>(), r["change"].get<std::string>(),
                          r["date"].is_null() ? "" : r["date"].get<std::string>(),
                          r["title"].is_null() ? "" : r["title"].get<std::string>(), r["what"].get<std::string>()});
        }
    }
    return status;
}

}  // namespace

void AddCompareCommands(CommandRegistry& registry) {
    auto a = std::make_shared<CompareArguments>();
    CLI::App* compare = registry.Add(
        "compare", "list, per user, the meetings only in Palm folder A, only in B, and changed between them",
        "tavolex compare ~/backup-2019 ~/backup-2024", Needs::kSettings, true,
        [a](CliSession& s) { return Compare(s, *a); });
    compare->add_option("A", a->first, "the first Palm Desktop folder (the older copy)")->required();
    compare->add_option("B", a->second, "the second Palm Desktop folder (the newer copy)")->required();
    compare->footer(
        "Prints one line per difference: user, only-in-A, only-in-B or changed, the meeting's date and\n"
        "title (B's where B has it), and what changed (its fields; items added, removed or edited).\n"
        "Users are matched by folder name; --user NAME compares that user only. Both folders are only read.\n\n"
        "Example:\n  tavolex compare ~/backup-2019 ~/backup-2024\n\n" +
        ClosingNotes(true));
}

}  // namespace tavolex::cli
