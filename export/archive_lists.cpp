#include "export/archive_lists.h"

#include "address_book/address_book.h"
#include "export/archive_assets.h"
#include "export/archive_index.h"
#include "export/html_text.h"
#include "meeting_query/across_meetings.h"
#include "meeting_store/meeting_database.h"
#include "platform/platform.h"

#include <optional>
#include <string_view>

namespace tavolex::archive {
namespace {

// The search of the to-do and people pages (archive_assets/filter.js): each element with a
// data-text shown when its text, folded as the index folds, holds the query; a .group with none
// shown is hidden too, and a .state (the open or the done to-dos) with no group shown. It is the
// pages' only script, allowed by the hash the build puts beside it.
std::string ListPolicy() {
    return "default-src 'none'; script-src '" + std::string(archive_assets::kFilterScriptHash) +
           "'; style-src 'unsafe-inline'; base-uri 'none'; form-action 'none'";
}

// The top of the to-do and people pages, to the search box. Their groups are laid out only when
// scrolled to (archive_assets/list.css), so a page of every to-do of a full store opens at once.
std::string ListPageTop(std::string_view title, std::string_view otherHref, std::string_view otherTitle) {
    return std::string(kPageTop) + PolicyMeta(ListPolicy()) +
           "\n<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" + std::string(title) +
           "</title>\n<style>\n" + std::string(archive_assets::kListStyle) + "</style>\n</head>\n<body>\n<h1>" +
           std::string(title) + "</h1>\n<p><a href=\"index.html\">議事録アーカイブ</a>・<a href=\"" +
           std::string(otherHref) + "\">" + std::string(otherTitle) +
           "</a></p>\n<p><label for=\"search\">検索</label> <input type=\"search\" id=\"search\"> <span "
           "id=\"shown\"></span></p>\n";
}

std::string ListPageEnd() {
    return "<script>" + std::string(archive_assets::kFilterScript) + "</script>\n</body>\n</html>\n";
}

// A link to a meeting's report: its date and title.
std::string MeetingLink(const std::string& reportName, const std::optional<std::string>& date, std::string_view title) {
    return "<a href=\"" + reportName + "\">" + date.value_or("") + " " + EscapeHtml(title) + "</a>";
}

}  // namespace

// Every to-do: the open ones, then the done ones, each by due date in a group per month (the
// undated, and those whose date the calendar lacks, last).
std::string ToDoPage(const MeetingDatabase& store, const std::vector<std::int32_t>& indexes,
                     const std::map<std::int32_t, std::string>& reportNames) {
    std::vector<ToDoRow> rows = CollectToDos(store, indexes);
    SortToDos(rows, ToDoOrder::kOpenFirst);
    std::string page = ListPageTop("ToDo 一覧", "people.html", "出席者一覧");
    std::string group;  // the heading of the group open now
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ToDoRow& t = rows[i];
        const std::string heading = t.dueDate ? t.dueDate->substr(0, 7) : "期限なし";
        if (i == 0 || t.done != rows[i - 1].done) {
            if (i > 0) page += "</tbody></table></section>\n</section>\n";
            page += t.done ? "<section class=\"state\"><h2>完了</h2>\n" : "<section class=\"state\"><h2>未完了</h2>\n";
            group.clear();
        } else if (heading != group) {
            page += "</tbody></table></section>\n";
            group.clear();
        }
        if (group.empty()) {
            group = heading;
            page += "<section class=\"group\"><h3>" + heading +
                    "</h3><table><thead><tr><th>期限</th><th>時刻</th><th>優先度</th><th>ToDo</th><th>ミーティング</"
                    "th></tr>"
                    "</thead><tbody>\n";
        }
        page += "<tr data-text=\"" + EscapeHtml(t.text + " " + t.meetingTitle) + "\"><td class=\"date\">" +
                t.dueDate.value_or("") + "</td><td>" + t.dueTime.value_or("") + "</td><td>" +
                std::to_string(t.priority) + "</td><td>" + EscapeHtml(t.text) + "</td><td>" +
                MeetingLink(reportNames.at(t.meetingIndex), t.meetingDate, t.meetingTitle) + "</td></tr>\n";
    }
    if (!rows.empty()) page += "</tbody></table></section>\n</section>\n";
    return page + ListPageEnd();
}

// Everyone listed as an attendee, with each meeting attended or missed; in tables of a hundred.
std::string PeoplePage(const MeetingDatabase& store, const AddressBook& book, const std::vector<std::int32_t>& indexes,
                       const std::map<std::int32_t, std::string>& reportNames) {
    constexpr std::size_t kGroup = 100;
    const std::vector<Person> people = CollectPeople(store, book, indexes);
    std::string page = ListPageTop("出席者一覧", "todo.html", "ToDo 一覧");
    for (std::size_t i = 0; i < people.size(); ++i) {
        const Person& p = people[i];
        if (i % kGroup == 0) {
            if (i > 0) page += "</tbody></table>\n";
            page +=
                "<table class=\"group\"><thead><tr><th>名前</th><th>会社</th><th>出席</th><th>欠席</th>"
                "<th>ミーティング</th></tr></thead><tbody>\n";
        }
        std::string meetings;
        for (const Attendance& a : p.meetings) {
            const Meeting& m = *store.MeetingAt(a.meetingIndex);
            if (!meetings.empty()) meetings += "<br>";
            meetings +=
                MeetingLink(reportNames.at(a.meetingIndex), ValidIsoDate(m.date), platform::Cp932ToUtf8(m.szTitle));
            if (a.absent) meetings += "（欠席）";
        }
        page += "<tr data-text=\"" + EscapeHtml(p.name + " " + p.company) + "\"><td>" + EscapeHtml(p.name) +
                "</td><td>" + EscapeHtml(p.company) + "</td><td>" + std::to_string(p.attended) + "</td><td>" +
                std::to_string(p.absent) + "</td><td>" + meetings + "</td></tr>\n";
    }
    if (!people.empty()) page += "</tbody></table>\n";
    return page + ListPageEnd();
}

}  // namespace tavolex::archive
