// todos, people: questions asked across meetings: what was to be done and whether it is, and who
// was in which meetings.

#include "cli/cli_messages.h"
#include "cli/command_registry.h"
#include "cli/selection_options.h"
#include "meeting_query/across_meetings.h"
#include "meeting_query/meeting_selection.h"
#include "meeting_store/date_format.h"
#include "platform/platform.h"

#include <iostream>
#include <numeric>

namespace tavolex::cli {
namespace {

using json = nlohmann::ordered_json;

struct ToDoArguments {
    bool open = false;
    bool done = false;
    std::string dueBefore;
    std::string dueAfter;
    std::string sort;
};

int ToDos(CliSession& session, const SelectionArguments& selection, const ToDoArguments& arguments) {
    if (arguments.open && arguments.done) return UsageError("todos", "--open and --done exclude each other");
    for (const auto& [name, value] :
         {std::pair{"--due-before", &arguments.dueBefore}, std::pair{"--due-after", &arguments.dueAfter}}) {
        if (!value->empty() && !IsIsoDate(*value))
            return UsageError("todos", std::string(name) + " wants a date as YYYY-MM-DD, not \"" + *value + "\"");
    }
    std::vector<std::int32_t> indexes;
    if (const std::optional<int> status = SelectedMeetingIndexes(session, selection, indexes)) return *status;
    std::vector<ToDoRow> rows = CollectToDos(session.Store(), indexes);
    // Before and after are strict; a to-do without a (valid) due date is neither.
    std::erase_if(rows, [&](const ToDoRow& t) {
        if ((arguments.open && t.done) || (arguments.done && !t.done)) return true;
        if (!arguments.dueBefore.empty() && !(t.dueDate && *t.dueDate < arguments.dueBefore)) return true;
        return !arguments.dueAfter.empty() && !(t.dueDate && *t.dueDate > arguments.dueAfter);
    });
    SortToDos(rows, arguments.sort == "due"        ? ToDoOrder::kDue
                    : arguments.sort == "priority" ? ToDoOrder::kPriority
                    : arguments.sort == "meeting"  ? ToDoOrder::kMeeting
                                                   : ToDoOrder::kOpenFirst);
    json records = json::array();
    for (const ToDoRow& t : rows) {
        if (session.Format() == OutputFormat::kText) {
            WriteTsvLine(std::cout, {std::to_string(t.meetingIndex + 1), t.meetingDate.value_or(""), t.meetingTitle,
                                     t.dueDate.value_or(""), t.dueTime.value_or(""), std::to_string(t.priority),
                                     t.done ? "done" : "open", t.text});
            continue;
        }
        records.push_back({{"meeting", t.meetingIndex + 1},
                           {"meetingId", t.meetingId},
                           {"meetingDate", OrNull(t.meetingDate)},
                           {"meetingTitle", t.meetingTitle},
                           {"id", t.id},
                           {"dueDate", OrNull(t.dueDate)},
                           {"dueTime", OrNull(t.dueTime)},
                           {"priority", t.priority},
                           {"done", t.done},
                           {"text", t.text}});
    }
    if (session.Json()) WriteJson(std::cout, json{{"todos", records}});
    if (session.Csv()) {
        WriteCsv(std::cout,
                 {{"meeting", kCsvValue},
                  {"meetingId", kCsvValue},
                  {"meetingDate", kCsvValue},
                  {"meetingTitle"},
                  {"id", kCsvValue},
                  {"dueDate", kCsvValue},
                  {"dueTime", kCsvValue},
                  {"priority", kCsvValue},
                  {"done", kCsvValue},
                  {"text"}},
                 records);
    }
    return 0;
}

int People(CliSession& session, const std::string& name, bool named) {
    if (named && name.empty()) return UsageError("people", "the name to look for can't be empty");
    std::vector<std::int32_t> all(static_cast<std::size_t>(session.Store().MeetingCount()));
    std::iota(all.begin(), all.end(), 0);
    std::vector<Person> people = CollectPeople(session.Store(), session.Book(), all);
    if (!name.empty()) people = PeopleMatching(std::move(people), name);
    json records = json::array();
    for (const Person& p : people) {
        if (name.empty()) {
            if (session.Format() == OutputFormat::kText) {
                WriteTsvLine(std::cout, {p.name, p.company, std::to_string(p.attended), std::to_string(p.absent),
                                         p.first.value_or(""), p.last.value_or("")});
                continue;
            }
            records.push_back({{"name", p.name},
                               {"company", p.company},
                               {"addressId", OrNull(p.addressId)},
                               {"attended", p.attended},
                               {"absent", p.absent},
                               {"first", OrNull(p.first)},
                               {"last", OrNull(p.last)}});
            continue;
        }
        // One line per meeting of each person the name finds.
        for (const Attendance& a : p.meetings) {
            const Meeting& m = *session.Store().MeetingAt(a.meetingIndex);
            const std::optional<std::string> date = ValidIsoDate(m.date);
            const std::string title = platform::Cp932ToUtf8(m.szTitle);
            if (session.Format() == OutputFormat::kText) {
                WriteTsvLine(std::cout, {p.name, std::to_string(a.meetingIndex + 1), date.value_or(""), title,
                                         a.absent ? "absent" : "attended"});
                continue;
            }
            records.push_back({{"name", p.name},
                               {"company", p.company},
                               {"meeting", a.meetingIndex + 1},
                               {"meetingId", m.dwDBID},
                               {"date", OrNull(date)},
                               {"title", title},
                               {"absent", a.absent}});
        }
    }
    if (session.Json()) {
        WriteJson(std::cout, name.empty() ? json{{"people", records}} : json{{"person", name}, {"meetings", records}});
    }
    if (session.Csv()) {
        WriteCsv(std::cout,
                 name.empty() ? std::vector<CsvColumn>{{"name"},
                                                       {"company"},
                                                       {"addressId", kCsvValue},
                                                       {"attended", kCsvValue},
                                                       {"absent", kCsvValue},
                                                       {"first", kCsvValue},
                                                       {"last", kCsvValue}}
                              : std::vector<CsvColumn>{{"name"},
                                                       {"company"},
                                                       {"meeting", kCsvValue},
                                                       {"meetingId", kCsvValue},
                                                       {"date", kCsvValue},
                                                       {"title"},
                                                       {"absent", kCsvValue}},
                 records);
    }
    return 0;
}

}  // namespace

void AddAcrossCommands(CommandRegistry& registry) {
    auto arguments = std::make_shared<ToDoArguments>();
    CLI::App* todos = registry.Add("todos", "list the to-dos of the selected meetings (default all), open ones first",
                                   "tavolex todos --open --due-before 2026-12-01", Needs::kUser, true, nullptr);
    const std::shared_ptr<SelectionArguments> selection = AddSelectionOptions(todos);
    todos->add_flag("--open", arguments->open, "only the to-dos not done");
    todos->add_flag("--done", arguments->done, "only the to-dos done");
    todos->add_option("--due-before", arguments->dueBefore, "to-dos due before this date (YYYY-MM-DD)")
        ->type_name("DATE");
    todos->add_option("--due-after", arguments->dueAfter, "to-dos due after this date (YYYY-MM-DD)")->type_name("DATE");
    todos->add_option("--sort", arguments->sort, "order: due, priority or meeting (default: open first, then due)")
        ->check(CLI::IsMember({"due", "priority", "meeting"}));
    todos->footer(
        "Prints one line per to-do: meeting number, meeting date, meeting title, due date (ISO; empty when\n"
        "there is none or it is not a real date), due time, priority, open or done, text.\n\nExample:\n"
        "  tavolex todos --open --due-before 2026-12-01\n\n" +
        ClosingNotes(true));
    registry.Replace(todos, [selection, arguments](CliSession& s) { return ToDos(s, *selection, *arguments); });
    registry.ListsEveryUser(todos);

    auto name = std::make_shared<std::string>();
    CLI::App* people = registry.Add("people", "list everyone who attended a meeting, or the meetings of NAME",
                                    "tavolex people ﾔﾏﾀﾞ", Needs::kUser, true, nullptr);
    people->add_option("NAME", *name, "a part of a person's name (full/half width and case alike)");
    people->footer(
        "Prints one line per person: name, company, meetings attended, meetings absent, first and last\n"
        "meeting date. With NAME, one line per meeting of each person whose name holds it: name, meeting\n"
        "number, date, title, attended or absent.\n\nExample:\n  tavolex people ﾔﾏﾀﾞ\n\n" +
        ClosingNotes(true));
    registry.Replace(people, [name, people](CliSession& s) { return People(s, *name, people->count("NAME") > 0); });
    registry.ListsEveryUser(people);
}

}  // namespace tavolex::cli
