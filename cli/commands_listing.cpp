// users, meetings, items, show: the user's data as lists.

#include "cli/cli_messages.h"
#include "cli/command_registry.h"
#include "cli/selection_options.h"
#include "meeting_store/meeting_json.h"
#include "platform/file_system.h"
#include "views/meeting_listing.h"
#include "views/quick_view.h"

#include <iostream>

namespace tavolex::cli {
namespace {

using json = nlohmann::ordered_json;

std::string U8(std::string_view cp932) { return platform::Cp932ToUtf8(cp932); }

// CR LF as the platform writes line breaks.
std::string PlatformLines(std::string text) {
#ifndef _WIN32
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
#else
    return text;
#endif
}

bool HasMeeting(CliSession& session, int number) {
    if (session.Store().MeetingAt(number - 1) != nullptr) return true;
    Fail(session.Ui(), "There is no meeting " + std::to_string(number) + ": the user has " +
                           std::to_string(session.Store().MeetingCount()) + " meetings.");
    return false;
}

int Users(CliSession& session) {
    json users = json::array();
    for (std::size_t i = 0; i < session.Users().size(); ++i) {
        const CliUser& u = session.Users()[i];
        users.push_back(
            {{"id", i + 1}, {"name", U8(u.name)}, {"folder", PathText(u.folders.user)}, {"current", u.current}});
    }
    if (session.Json()) WriteJson(std::cout, json{{"users", users}});
    if (session.Csv()) WriteCsv(std::cout, {{"id", kCsvValue}, {"name"}, {"folder"}, {"current", kCsvValue}}, users);
    if (session.Format() != OutputFormat::kText) return 0;
    for (const CliUser& u : session.Users()) {
        std::cout << (u.current ? '*' : ' ') << '\t' << TsvField(U8(u.name)) << '\t'
                  << TsvField(PathText(u.folders.user)) << '\n';
    }
    return 0;
}

// Members appended to a JSON object in the order they come.
class ObjectMembers : public JsonMembers {
public:
    explicit ObjectMembers(json& object) : object_(object) {}
    void Number(std::string_view name, std::int64_t value) override { object_[std::string(name)] = value; }
    void String(std::string_view name, std::string_view utf8) override { object_[std::string(name)] = utf8; }
    void Optional(std::string_view name, const std::optional<std::string>& utf8) override {
        object_[std::string(name)] = OrNull(utf8);
    }

private:
    json& object_;
};

json MeetingRecord(const MeetingListing& m) {
    json record = json::object();
    ObjectMembers members(record);
    WriteMeetingFields(
        {m.number, m.id, m.date, m.start, m.end, m.title, m.location, m.category, m.dateText, m.timeText}, members);
    record["time"] = m.timeText.empty() ? json(nullptr) : json(m.timeText);
    return record;
}

int Meetings(CliSession& session, const SelectionArguments& selection, const std::string& order) {
    std::vector<std::int32_t> indexes;
    if (const std::optional<int> status = SelectedMeetingIndexes(session, selection, indexes)) return *status;
    SortMeetings(session.Store(), indexes,
                 order == "date"    ? MeetingOrder::kDate
                 : order == "title" ? MeetingOrder::kTitle
                                    : MeetingOrder::kNumber);
    json meetings = json::array();
    for (const std::int32_t index : indexes) {
        const MeetingListing m = ListMeeting(session.Store(), index);
        if (session.Format() == OutputFormat::kText) {
            WriteTsvLine(std::cout,
                         {std::to_string(m.number), m.title, m.location, m.dateText + " " + m.timeText, m.category});
        } else {
            meetings.push_back(MeetingRecord(m));
        }
    }
    if (session.Json()) WriteJson(std::cout, json{{"meetings", meetings}});
    if (session.Csv()) {
        WriteCsv(std::cout,
                 {{"number", kCsvValue},
                  {"id", kCsvValue},
                  {"date", kCsvValue},
                  {"start", kCsvValue},
                  {"end", kCsvValue},
                  {"title"},
                  {"location"},
                  {"category"},
                  {"dateText", kCsvValue},
                  {"timeText", kCsvValue}},
                 meetings);
    }
    return 0;
}

json ItemRecord(const ItemListing& e) {
    json item{{"number", e.number},
              {"id", e.id},
              {"kind", ItemKindWord(e.kind)},
              {"text", e.text},
              {"displayText", e.displayText}};
    if (e.kind == ItemKind::kAgenda) item["discussed"] = e.discussed;
    if (e.kind == ItemKind::kToDo) {
        item["completed"] = e.completed;
        item["priority"] = e.priority;
        item["dueDate"] = OrNull(e.dueDate);
        item["dueTime"] = OrNull(e.dueTime);
        item["dueDateText"] = e.dueDateText;
        item["dueTimeText"] = e.dueTimeText;
    }
    if (e.kind == ItemKind::kAttendee) {
        item["absent"] = e.absent;
        item["inAddressBook"] = e.inAddressBook;
    }
    return item;
}

int Items(CliSession& session, int meeting) {
    if (!HasMeeting(session, meeting)) return 1;
    json items = json::array();
    for (const ItemListing& e : ListItems(session.Store(), session.Book(), meeting - 1)) {
        if (session.Format() == OutputFormat::kText) {
            WriteTsvLine(std::cout, {ItemKindWord(e.kind), e.displayText});
        } else {
            items.push_back(ItemRecord(e));
        }
    }
    if (session.Json()) {
        WriteJson(std::cout, json{{"meeting", meeting},
                                  {"meetingId", session.Store().MeetingAt(meeting - 1)->dwDBID},
                                  {"items", items}});
    }
    if (session.Csv()) {
        WriteCsv(std::cout,
                 {{"number", kCsvValue},
                  {"id", kCsvValue},
                  {"kind", kCsvValue},
                  {"text"},
                  {"discussed", kCsvValue},
                  {"completed", kCsvValue},
                  {"priority", kCsvValue},
                  {"dueDate", kCsvValue},
                  {"dueTime", kCsvValue},
                  {"absent", kCsvValue},
                  {"inAddressBook", kCsvValue}},
                 items);
    }
    return 0;
}

int Show(CliSession& session, int meeting, std::optional<int> item) {
    if (!HasMeeting(session, meeting)) return 1;
    const Meeting& m = *session.Store().MeetingAt(meeting - 1);
    const std::vector<MeetingItemEntry> entries = BuildMeetingItemEntries(session.Store(), session.Book(), meeting - 1);
    if (item && (*item < 1 || static_cast<std::size_t>(*item) > entries.size())) {
        Fail(session.Ui(), "Meeting " + std::to_string(meeting) + " has no item " + std::to_string(*item) +
                               ": it has " + std::to_string(entries.size()) + " items.");
        return 1;
    }
    const QuickViewFields fields =
        QuickViewFieldsFromSettings([&](std::string_view name) { return session.UserFlag(name, 0) == 1; });
    const std::string text =
        PlatformLines(U8(QuickViewText(m, entries, item ? *item - 1 : -1, session.Book(), fields)));
    if (session.Json()) {
        WriteJson(std::cout, json{{"meeting", meeting}, {"item", item ? json(*item) : json(nullptr)}, {"text", text}});
    } else {
        std::cout << TerminalText(text);
        if (!text.empty() && text.back() != '\n') std::cout << '\n';
    }
    return 0;
}

}  // namespace

void AddListingCommands(CommandRegistry& registry) {
    registry.Add("users", "list the Palm users (* marks the current one)", "tavolex users", Needs::kUsers, true, Users);

    auto order = std::make_shared<std::string>("number");
    CLI::App* meetings = registry.Add("meetings", "list the meetings of the user, or those selected",
                                      "tavolex meetings --since 2026-01-01 --category Business --sort date",
                                      Needs::kUser, true, nullptr);
    const std::shared_ptr<SelectionArguments> selection = AddSelectionOptions(meetings);
    meetings->add_option("--sort", *order, "order: number (the store's, the default), date or title")
        ->check(CLI::IsMember({"number", "date", "title"}));
    registry.Replace(meetings, [selection, order](CliSession& s) { return Meetings(s, *selection, *order); });
    registry.ListsEveryUser(meetings);

    auto meeting = std::make_shared<int>(0);
    auto item = std::make_shared<int>(0);
    CLI::App* items = registry.Add("items", "list the items of meeting N in handheld order", "tavolex items 3",
                                   Needs::kUser, true, [meeting](CliSession& s) { return Items(s, *meeting); });
    items->add_option("N", *meeting, "meeting number (1-based)")->required();
    CLI::App* show = registry.Add("show", "print the quick view of meeting N, or of its I-th item", "tavolex show 3 2",
                                  Needs::kUser, false, nullptr);
    show->add_option("N", *meeting, "meeting number (1-based)")->required();
    show->add_option("I", *item, "item number (1-based)");
    registry.Replace(show, [meeting, item, show](CliSession& s) {
        return Show(s, *meeting, show->count("I") > 0 ? std::optional<int>(*item) : std::nullopt);
    });
}

}  // namespace tavolex::cli
