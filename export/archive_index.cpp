#include "export/archive_index.h"

#include "base/deflate.h"
#include "export/archive_assets.h"
#include "export/html_text.h"
#include "export/json_dump.h"
#include "meeting_store/item_walk.h"
#include "meeting_store/meeting_database.h"
#include "meeting_store/sketch_files.h"

#include <algorithm>

namespace tavolex::archive {
namespace {

// The index's head around its style, and the top of its body.
constexpr std::string_view kIndexHeadTop = R"(<meta name="viewport" content="width=device-width, initial-scale=1">
<title>議事録アーカイブ</title>
<style>
)";
constexpr std::string_view kIndexHeadEnd = R"(</style>
</head>
<body>
<h1>議事録アーカイブ</h1>
<p><a href="todo.html">ToDo 一覧</a>・<a href="people.html">出席者一覧</a></p>
)";

// The index below the year list: the search, the order, the count and the page links around the
// table the script fills with one page of rows.
constexpr std::string_view kIndexTable =
    R"(<p><label for="search">検索</label> <input type="search" id="search"> <button type="button" id="order">古い順</button> <span id="shown">スクリプトが無効のときは、年ごとのページで一覧できます。</span></p>
<div class="pages" id="pages-top"></div>
<table>
<thead><tr><th>日付</th><th>時刻</th><th>タイトル</th><th>場所</th><th>分類</th><th>出席者</th><th>項目</th></tr></thead>
<tbody id="meetings"><tr><td colspan="7">…</td></tr></tbody>
</table>
<div class="pages" id="pages-bottom"></div>
)";

// The index's script (archive_assets/index.js): the meetings are data (one array per meeting,
// oldest first: date, time, report, title, location, category, attendees as [name, absent], item
// counts, pictures as [file, title], and every text for the search); one page of the matches is
// built as rows, newest first unless the order is turned. Every text goes in as text, never as
// markup. A query is compared with each meeting's texts after NFKC normalisation and case folding,
// as the search command compares them; "?q=" gives the query, "?p=" the page and "?o=old" the order.
//
// The index runs its own script and nothing else: the build puts the script's hash beside it.
std::string IndexPolicy() {
    return "default-src 'none'; script-src '" + std::string(archive_assets::kIndexScriptHash) +
           "'; img-src 'self'; style-src 'unsafe-inline'; base-uri 'none'; form-action 'none'";
}

// A year page runs no script.
constexpr std::string_view kYearPolicy =
    "default-src 'none'; img-src 'self'; style-src 'unsafe-inline'; base-uri 'none'; form-action 'none'";

std::string YearLabel(const std::string& year) { return year == "undated" ? "日付なし" : year; }

// The list of the year pages, on the index and on each of them: the meetings without the script.
std::string YearList(const std::map<std::string, std::string>& years, const std::string& current) {
    std::string list = "<nav><p>年ごとの一覧:";
    for (const auto& [year, rows] : years) {
        list += year == current ? " <strong>" + YearLabel(year) + "</strong>"
                                : " <a href=\"" + YearPageName(year) + "\">" + YearLabel(year) + "</a>";
    }
    return list + "</p></nav>\n";
}

}  // namespace

IndexEntry MakeIndexEntry(const MeetingDatabase& store, const Meeting& m, const std::string& reportName,
                          ExportText& text) {
    const std::optional<std::string> date = ValidIsoDate(m.date);
    const std::optional<std::string> start = ValidIsoTime(m.startHour, m.startMinute);
    const std::optional<std::string> end = ValidIsoTime(m.endHour, m.endMinute);
    const std::string title = text.Utf8(m.szTitle);
    const std::string location = text.Utf8(m.szLocation);
    const std::string category = text.Utf8(m.szCategory);
    std::string all = title + "\n" + location + "\n" + category;
    std::string attendees;     // HTML
    std::string attendeeData;  // JSON
    std::string pictures;      // HTML
    std::string pictureData;   // JSON
    IndexEntry entry;
    entry.counts =
        ForEachItem(store, m.dwDBID,
                    ItemVisitor{[&](const Agenda& a, const MeetingItem&) { all += "\n" + text.Utf8(a.szText); },
                                [&](const Note& n, const MeetingItem&) { all += "\n" + text.Utf8(n.szText); },
                                [&](const ToDo& t, const MeetingItem&) { all += "\n" + text.Utf8(t.szText); },
                                [&](const Sketch& s, const MeetingItem&) {
                                    const std::string sketchTitle = text.Utf8(s.szTitle);
                                    all += "\n" + sketchTitle;
                                    if (s.image.HasPixels()) {
                                        const std::string file = SketchFileName(s);
                                        pictures += "<a href=\"" + file + "\"><img class=\"sketch\" src=\"" + file +
                                                    "\" alt=\"" + EscapeHtml(sketchTitle) + "\" loading=\"lazy\"></a>";
                                        if (!pictureData.empty()) pictureData += ",";
                                        pictureData += "[" + JsonString(file) + "," + JsonString(sketchTitle) + "]";
                                    }
                                },
                                [&](const Attendee& at, const MeetingItem&) {
                                    const AttendeeName name = SplitAttendeeText(at.szText);
                                    const std::string shown = text.Utf8(AttendeeDisplayName(name));
                                    all += "\n" + shown + "\n" + text.Utf8(name.company);
                                    if (!attendees.empty()) attendees += "、";
                                    attendees += EscapeHtml(shown);
                                    if (at.bAbsent != 0) attendees += "（欠席）";
                                    if (!attendeeData.empty()) attendeeData += ",";
                                    attendeeData += "[" + JsonString(shown) + (at.bAbsent != 0 ? ",1]" : ",0]");
                                }});
    const ItemCounts& c = entry.counts;
    std::string itemsCell = "議題 " + std::to_string(c.agendas) + "・メモ " + std::to_string(c.notes) + "・ToDo " +
                            std::to_string(c.toDos) + "・スケッチ " + std::to_string(c.sketches);
    if (!pictures.empty()) itemsCell += "<br>" + pictures;
    std::string time;
    if (start) time = *start + (end ? "–" + *end : "");
    const std::string dateText = date ? *date : text.Utf8(m.szDate);
    entry.row = "<tr><td>" + EscapeHtml(dateText) + "</td><td>" + time + "</td><td><a href=\"" + reportName + "\">" +
                EscapeHtml(title) + "</a></td><td>" + EscapeHtml(location) + "</td><td>" + EscapeHtml(category) +
                "</td><td>" + attendees + "</td><td>" + itemsCell + "</td></tr>\n";
    entry.data = "[" + JsonString(dateText) + "," + JsonString(time) + "," + JsonString(reportName) + "," +
                 JsonString(title) + "," + JsonString(location) + "," + JsonString(category) + ",[" + attendeeData +
                 "],[" + std::to_string(c.agendas) + "," + std::to_string(c.notes) + "," + std::to_string(c.toDos) +
                 "," + std::to_string(c.sketches) + "],[" + pictureData + "]," + JsonString(all) + "]";
    entry.year = date ? date->substr(0, 4) : "undated";
    // Done here, on the worker that made the entry, not on the thread that joins the entries.
    entry.data = JsonForScript(std::move(entry.data));
    return entry;
}

std::string YearPageName(const std::string& year) { return "index-" + year + ".html"; }

void IndexBuilder::Add(const IndexEntry& entry) {
    if (!data_.empty()) data_ += ",\n";
    data_ += entry.data;
    years_[entry.year] += entry.row;
}

std::vector<std::string_view> IndexBuilder::IndexParts() {
    indexHead_ = std::string(kPageTop) + PolicyMeta(IndexPolicy()) + "\n" + std::string(kGeneratorMark) + " " +
                 TAVOLEX_VERSION + "\">\n" + std::string(kIndexHeadTop) + std::string(archive_assets::kIndexStyle) +
                 std::string(kIndexHeadEnd) + YearList(years_, "") + std::string(kIndexTable) +
                 "<script type=\"application/json\" id=\"data\">[";
    indexTail_ = "]</script>\n<script>" + std::string(archive_assets::kIndexScript) + "</script>\n</body>\n</html>\n";
    return {indexHead_, data_, indexTail_};
}

std::string IndexBuilder::YearPage(const std::string& year) const {
    const std::string title = "議事録アーカイブ " + YearLabel(year);
    return std::string(kPageTop) + PolicyMeta(kYearPolicy) +
           "\n<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" + title +
           "</title>\n<style>\n" + std::string(archive_assets::kYearStyle) + "</style>\n</head>\n<body>\n<h1>" + title +
           "</h1>\n<p><a href=\"index.html\">検索と全件</a>・<a href=\"todo.html\">ToDo 一覧</a>・<a " +
           "href=\"people.html\">出席者一覧</a></p>\n" + YearList(years_, year) +
           "<table>\n<thead><tr><th>日付</th><th>時刻</th><th>タイトル</th><th>場所</th><th>分類</th><th>出席者</"
           "th><th>項目</th></tr></thead>\n<tbody>\n" +
           years_.at(year) + "</tbody>\n</table>\n</body>\n</html>\n";
}

namespace {

// The index of several users: the users' folders and pages, then the search with the user's choice.
constexpr std::string_view kUsersTable =
    R"(<p><label for="user">ユーザー</label> <select id="user"><option value="all">すべて</option></select> <label for="search">検索</label> <input type="search" id="search"> <button type="button" id="order">古い順</button> <span id="shown">スクリプトが無効のときは、ユーザーごとのページで一覧できます。</span></p>
<div class="pages" id="pages-top"></div>
<table>
<thead><tr><th>ユーザー</th><th>日付</th><th>時刻</th><th>タイトル</th><th>場所</th><th>分類</th><th>出席者</th><th>項目</th></tr></thead>
<tbody id="meetings"><tr><td colspan="8">…</td></tr></tbody>
</table>
<div class="pages" id="pages-bottom"></div>
)";

// A folder's name as a relative address: every byte but the unreserved ones percent-encoded.
std::string FolderAddress(std::string_view folder) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string address;
    for (const char c : folder) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') || c == '-' ||
            c == '.' || c == '_' || c == '~') {
            address += c;
        } else {
            address += '%';
            address += kHex[byte >> 4];
            address += kHex[byte & 0x0F];
        }
    }
    return address;
}

// The date an entry's array begins with, when it is an ISO date; empty (first) otherwise.
std::string_view EntryDate(std::string_view entry) {
    return entry.size() >= 13 && entry.substr(0, 2) == "[\"" && entry[12] == '"' ? entry.substr(2, 10)
                                                                                 : std::string_view();
}

}  // namespace

std::string UsersIndexPage(const std::vector<UserArchive>& users) {
    struct Entry {
        std::string_view date;
        std::size_t user;
        std::string_view text;  // the array without its closing bracket
    };
    std::vector<Entry> entries;
    std::string userData, links;
    for (std::size_t u = 0; u < users.size(); ++u) {
        const std::string address = FolderAddress(users[u].folder);
        if (u > 0) userData += ",";
        userData += "[" + JsonString(users[u].user) + "," + JsonString(address) + "]";
        links += "<li>" + EscapeHtml(users[u].user) + ": <a href=\"" + address +
                 "/index.html\">議事録</a>・<a href=\"" + address + "/todo.html\">ToDo 一覧</a>・<a href=\"" + address +
                 "/people.html\">出席者一覧</a></li>\n";
        const std::string_view data = users[u].data;
        for (std::size_t begin = 0; begin < data.size();) {
            std::size_t end = data.find(",\n[", begin);
            if (end == std::string_view::npos) end = data.size();
            const std::string_view entry = data.substr(begin, end - begin);
            if (entry.size() >= 2 && entry.back() == ']')
                entries.push_back({EntryDate(entry), u, entry.substr(0, entry.size() - 1)});
            begin = end + 2;
        }
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.date < b.date; });
    // Oldest first, as the page's script takes them; the newest page's worth also as they are.
    constexpr std::size_t kFirstPage = 200;
    std::string meetings, recent;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        std::string entry(entries[k].text);
        entry += "," + std::to_string(entries[k].user) + "]";
        if (k + kFirstPage >= entries.size()) {
            if (!recent.empty()) recent += ",";
            recent += entry;
        }
        if (!meetings.empty()) meetings += ",\n";
        meetings += entry;
    }
    const std::string policy = "default-src 'none'; script-src '" + std::string(archive_assets::kUsersScriptHash) +
                               "'; img-src 'self'; style-src 'unsafe-inline'; base-uri 'none'; form-action 'none'";
    return std::string(kPageTop) + PolicyMeta(policy) + "\n" + std::string(kGeneratorMark) + " " + TAVOLEX_VERSION +
           "\">\n" + std::string(kIndexHeadTop) + std::string(archive_assets::kIndexStyle) +
           "</style>\n</head>\n<body>\n<h1>議事録アーカイブ</h1>\n<ul>\n" + links + "</ul>\n" +
           std::string(kUsersTable) + "<script type=\"application/json\" id=\"data\">" +
           JsonForScript("{\"users\":[" + userData + "],\"count\":" + std::to_string(entries.size()) + ",\"recent\":[" +
                         recent + "],\"packed\":\"" + Base64(DeflateRaw("[" + meetings + "]")) + "\"}") +
           "</script>\n<script>" + std::string(archive_assets::kUsersScript) + "</script>\n</body>\n</html>\n";
}

}  // namespace tavolex::archive
