#include "export/archive_writer.h"

#include "base/ascii.h"
#include "address_book/address_book.h"
#include "export/json_dump.h"
#include "meeting_query/across_meetings.h"
#include "meeting_store/item_walk.h"
#include "meeting_store/meeting_database.h"
#include "meeting_store/sketch_files.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "report/report_file.h"
#include "report/template_images.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <system_error>

namespace tavolex {
namespace {

std::string Html(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            case '\n': out += ' '; break;
            default: out += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
        }
    }
    return out;
}

bool IsCharsetNameCharacter(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-'; }

// A <meta> tag (without its ">") with every "charset=" that names Shift-JIS (in any letter case,
// quoted or not) naming utf-8 instead; any other tag as it is.
std::string TagDeclaringUtf8(std::string_view tag) {
    static constexpr std::string_view kShiftJisNames[] = {"shift_jis",   "shift-jis", "x-sjis",     "sjis",
                                                          "windows-31j", "cp932",     "csshiftjis", "ms_kanji"};
    std::string lower(tag);
    for (char& c : lower) c = LowerAscii(c);
    if (!lower.starts_with("<meta") || (lower.size() > 5 && lower.find_first_of(" \t\r\n/", 5) != 5))
        return std::string(tag);
    std::string out;
    std::size_t copied = 0;
    for (std::size_t at = lower.find("charset"); at != std::string::npos; at = lower.find("charset", at + 1)) {
        std::size_t name = lower.find_first_not_of(" \t\r\n", at + 7);
        if (name == std::string::npos || lower[name] != '=') continue;
        name = lower.find_first_not_of(" \t\r\n\"'", name + 1);
        if (name == std::string::npos) break;
        std::size_t end = name;
        while (end < lower.size() && IsCharsetNameCharacter(lower[end])) ++end;
        const std::string_view declared = std::string_view(lower).substr(name, end - name);
        if (std::find(std::begin(kShiftJisNames), std::end(kShiftJisNames), declared) == std::end(kShiftJisNames))
            continue;
        out.append(tag.substr(copied, name - copied)).append("utf-8");
        copied = end;
    }
    return out.append(tag.substr(copied));
}

// The page with its Shift-JIS charset declarations made utf-8. Only <meta> tags are rewritten: a
// meeting's text or another tag's attribute that reads "charset=Shift_JIS" stays as written.
std::string DeclareUtf8Charset(std::string_view html) {
    std::string out;
    std::size_t copied = 0;
    for (std::size_t open = html.find('<'); open != std::string_view::npos; open = html.find('<', copied)) {
        const std::size_t close = html.find('>', open);
        if (close == std::string_view::npos) break;
        out.append(html.substr(copied, open - copied)).append(TagDeclaringUtf8(html.substr(open, close - open)));
        copied = close;
    }
    return out.append(html.substr(copied));
}

// A report in UTF-8: the text converted and its Shift-JIS charset declaration rewritten.
std::string ToUtf8Report(std::string_view cp932, ExportText& text) { return DeclareUtf8Charset(text.Utf8(cp932)); }

// Every page of the archive carries a policy: the reports hold meeting texts inserted as they are
// (a note may be markup), so nothing in them may run, load from outside the folder, set a base for
// the links or post a form. A policy does not stop navigation: a link, or a refresh written in a
// note, still leads where it says when followed.
constexpr std::string_view kReportPolicy =
    "default-src 'none'; img-src 'self'; style-src 'self' 'unsafe-inline'; base-uri 'none'; form-action 'none'";

// The index runs its own search and nothing else: kSearchHash is the SHA-256 of kSearchScript,
// byte for byte, and changes with it.
constexpr std::string_view kSearchHash = "sha256-ElINd7mOTLak0qVdqeJPPsUd89qsXO33jQxHgF7nyMY=";

std::string PolicyMeta(std::string_view policy) {
    return "<meta http-equiv=\"Content-Security-Policy\" content=\"" + std::string(policy) + "\">";
}

// The index of an archive is marked with the program that wrote it, so a later run knows the
// folder as its own and refreshes it without asking.
constexpr std::string_view kGeneratorMark = "<meta name=\"generator\" content=\"Tavolex";

std::string IndexPolicy() {
    return "default-src 'none'; script-src '" + std::string(kSearchHash) +
           "'; img-src 'self'; style-src 'unsafe-inline'; base-uri 'none'; form-action 'none'";
}

bool IsTag(std::string_view page, std::size_t at, std::string_view name) {
    if (at + 1 + name.size() > page.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (LowerAscii(page[at + 1 + i]) != name[i]) return false;
    }
    const std::size_t next = at + 1 + name.size();
    return next == page.size() || std::string_view(" \t\r\n/>").find(page[next]) != std::string_view::npos;
}

// Just after a document type declaration that opens the page (the template's own, which a
// policy placed before it would turn into quirks mode), else 0.
std::size_t AfterDoctype(std::string_view page) {
    const std::size_t at = page.find_first_not_of(" \t\r\n");
    if (at == std::string_view::npos || page.size() - at < 9) return 0;
    std::string opening(page.substr(at, 9));
    for (char& c : opening) c = LowerAscii(c);
    if (opening != "<!doctype") return 0;
    const std::size_t close = page.find('>', at);
    return close == std::string_view::npos ? 0 : close + 1;
}

// Where the policy goes: just after the <head> tag (any letter case, not inside a comment), so it
// comes before every text a token inserted; else before anything but a leading document type when
// no <head> comes before <body>. '<' is never the second byte of a Shift-JIS character, so the
// bytes can be searched as they are.
std::size_t PolicyPosition(std::string_view page) {
    for (std::size_t at = page.find('<'); at != std::string_view::npos; at = page.find('<', at + 1)) {
        if (page.substr(at, 4) == "<!--") {
            at = page.find("-->", at + 4);
            if (at == std::string_view::npos) break;
        } else if (IsTag(page, at, "body")) {
            break;
        } else if (IsTag(page, at, "head")) {
            const std::size_t close = page.find('>', at);
            if (close == std::string_view::npos) break;
            return close + 1;
        }
    }
    return AfterDoctype(page);
}

std::string WithReportPolicy(std::string report) {
    const std::size_t at = PolicyPosition(report);
    report.insert(at, at == 0 ? PolicyMeta(kReportPolicy) + "\n" : "\n" + PolicyMeta(kReportPolicy));
    return report;
}

constexpr std::string_view kPageTop = R"(<!DOCTYPE html>
<html lang="ja">
<head>
<meta charset="utf-8">
)";

constexpr std::string_view kPageHead = R"(<meta name="viewport" content="width=device-width, initial-scale=1">
<title>議事録アーカイブ</title>
<style>
body { font-family: sans-serif; margin: 1em 2em; }
table { border-collapse: collapse; width: 100%; }
th, td { border-bottom: 1px solid #ccc; padding: 0.3em 0.5em; text-align: left; vertical-align: top; }
th { background: #eee; }
tr[hidden] { display: none; }
td:nth-child(1), td:nth-child(2) { white-space: nowrap; }
img.sketch { border: 1px solid #999; margin: 2px; max-width: 80px; max-height: 80px; }
#search { font-size: 1.1em; width: 20em; }
</style>
</head>
<body>
<h1>議事録アーカイブ</h1>
<p><a href="todo.html">ToDo 一覧</a>・<a href="people.html">出席者一覧</a></p>
<p><label for="search">検索</label> <input type="search" id="search"> <span id="shown"></span></p>
<table>
<thead><tr><th>日付</th><th>時刻</th><th>タイトル</th><th>場所</th><th>分類</th><th>出席者</th><th>項目</th></tr></thead>
<tbody id="meetings">
)";

// The search: every text of a meeting and the query compared after NFKC normalisation and case
// folding, as the search command compares them.
constexpr std::string_view kSearchScript = R"(
(function () {
  'use strict';
  function fold(s) { return s.normalize('NFKC').toLowerCase(); }
  var texts = JSON.parse(document.getElementById('texts').textContent).map(fold);
  var rows = document.getElementById('meetings').rows;
  var box = document.getElementById('search');
  var shown = document.getElementById('shown');
  function apply() {
    var q = fold(box.value.trim());
    var count = 0;
    for (var i = 0; i < rows.length; i++) {
      var match = q === '' || texts[i].indexOf(q) >= 0;
      rows[i].hidden = !match;
      if (match) count++;
    }
    shown.textContent = count + ' / ' + rows.length;
  }
  var q = new URLSearchParams(window.location.search).get('q');
  if (q) box.value = q;
  box.addEventListener('input', apply);
  apply();
})();
)";

// The search of the to-do and people pages: each element with a data-text shown when its text,
// folded as the index folds, holds the query; a .group with none shown is hidden too, and a
// .state (the open or the done to-dos) with no group shown.
constexpr std::string_view kFilterScript = R"(
(function () {
  'use strict';
  function fold(s) { return s.normalize('NFKC').toLowerCase(); }
  var box = document.getElementById('search');
  var shown = document.getElementById('shown');
  var groups = [].map.call(document.querySelectorAll('.group'), function (g) {
    var items = [].slice.call(g.querySelectorAll('[data-text]'));
    return { element: g, items: items, texts: items.map(function (e) { return fold(e.getAttribute('data-text')); }) };
  });
  function apply() {
    var q = fold(box.value.trim());
    var count = 0, total = 0;
    groups.forEach(function (g) {
      var any = false;
      for (var i = 0; i < g.items.length; i++) {
        var match = q === '' || g.texts[i].indexOf(q) >= 0;
        g.items[i].hidden = !match;
        if (match) { count++; any = true; }
      }
      total += g.items.length;
      g.element.hidden = !any;
    });
    [].forEach.call(document.querySelectorAll('.state'), function (state) {
      state.hidden = !state.querySelector('.group:not([hidden])');
    });
    shown.textContent = count + ' / ' + total;
  }
  var q = new URLSearchParams(window.location.search).get('q');
  if (q) box.value = q;
  box.addEventListener('input', apply);
  apply();
})();
)";

// The SHA-256 of kFilterScript, byte for byte; changes with it.
constexpr std::string_view kFilterHash = "sha256-HhfPCvkQ/LVeJMWKge2toG86E6j6wztZVhEk+cxOUaE=";

// The top of the to-do and people pages, to the search box. Their groups are laid out only when
// scrolled to, so a page of every to-do of a full store opens at once.
std::string ListPageTop(std::string_view title, std::string_view otherHref, std::string_view otherTitle) {
    return std::string(kPageTop) +
           PolicyMeta("default-src 'none'; script-src '" + std::string(kFilterHash) +
                      "'; style-src 'unsafe-inline'; base-uri 'none'; form-action 'none'") +
           "\n<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" + std::string(title) +
           "</title>\n<style>\n"
           "body { font-family: sans-serif; margin: 1em 2em; }\n"
           "table { border-collapse: collapse; width: 100%; }\n"
           "th, td { border-bottom: 1px solid #ccc; padding: 0.3em 0.5em; text-align: left; vertical-align: top; }\n"
           "th { background: #eee; }\n"
           ".group { content-visibility: auto; contain-intrinsic-size: auto 40em; }\n"
           ".group[hidden], .state[hidden], tr[hidden] { display: none; }\n"
           "td.date { white-space: nowrap; }\n"
           "#search { font-size: 1.1em; width: 20em; }\n"
           "</style>\n</head>\n<body>\n<h1>" +
           std::string(title) + "</h1>\n<p><a href=\"index.html\">議事録アーカイブ</a>・<a href=\"" +
           std::string(otherHref) + "\">" + std::string(otherTitle) +
           "</a></p>\n<p><label for=\"search\">検索</label> <input type=\"search\" id=\"search\"> <span "
           "id=\"shown\"></span></p>\n";
}

std::string ListPageEnd() { return "<script>" + std::string(kFilterScript) + "</script>\n</body>\n</html>\n"; }

// A link to a meeting's report: its date and title.
std::string MeetingLink(const std::string& reportName, const std::optional<std::string>& date, std::string_view title) {
    return "<a href=\"" + reportName + "\">" + date.value_or("") + " " + Html(title) + "</a>";
}

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
        page += "<tr data-text=\"" + Html(t.text + " " + t.meetingTitle) + "\"><td class=\"date\">" +
                t.dueDate.value_or("") + "</td><td>" + t.dueTime.value_or("") + "</td><td>" +
                std::to_string(t.priority) + "</td><td>" + Html(t.text) + "</td><td>" +
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
        page += "<tr data-text=\"" + Html(p.name + " " + p.company) + "\"><td>" + Html(p.name) + "</td><td>" +
                Html(p.company) + "</td><td>" + std::to_string(p.attended) + "</td><td>" + std::to_string(p.absent) +
                "</td><td>" + meetings + "</td></tr>\n";
    }
    if (!people.empty()) page += "</tbody></table>\n";
    return page + ListPageEnd();
}

struct Row {
    std::int32_t index;
    const Meeting* meeting;
};

class IndexBuilder {
public:
    IndexBuilder(const MeetingDatabase& store, ExportText& text, ExportSummary& summary)
        : store_(store), text_(text), summary_(summary) {
        page_ = std::string(kPageTop) + PolicyMeta(IndexPolicy()) + "\n" + std::string(kGeneratorMark) + " " +
                TAVOLEX_VERSION + "\">\n" + std::string(kPageHead);
        texts_ = "[";
    }

    void Add(const Meeting& m, const std::string& reportName) {
        const std::optional<std::string> date = ValidIsoDate(m.date);
        const std::optional<std::string> start = ValidIsoTime(m.startHour, m.startMinute);
        const std::optional<std::string> end = ValidIsoTime(m.endHour, m.endMinute);
        std::string all = text_.Utf8(m.szTitle) + "\n" + text_.Utf8(m.szLocation) + "\n" + text_.Utf8(m.szCategory);
        std::string attendees;
        std::string pictures;
        const ItemCounts counts =
            ForEachItem(store_, m.dwDBID,
                        ItemVisitor{[&](const Agenda& a, const MeetingItem&) { all += "\n" + text_.Utf8(a.szText); },
                                    [&](const Note& n, const MeetingItem&) { all += "\n" + text_.Utf8(n.szText); },
                                    [&](const ToDo& t, const MeetingItem&) { all += "\n" + text_.Utf8(t.szText); },
                                    [&](const Sketch& s, const MeetingItem&) {
                                        const std::string title = text_.Utf8(s.szTitle);
                                        all += "\n" + title;
                                        if (s.image.HasPixels()) {
                                            const std::string file = SketchFileName(s);
                                            pictures += "<a href=\"" + file + "\"><img class=\"sketch\" src=\"" + file +
                                                        "\" alt=\"" + Html(title) + "\" loading=\"lazy\"></a>";
                                        }
                                    },
                                    [&](const Attendee& at, const MeetingItem&) {
                                        const AttendeeName name = SplitAttendeeText(at.szText);
                                        const std::string shown = text_.Utf8(AttendeeDisplayName(name));
                                        all += "\n" + shown + "\n" + text_.Utf8(name.company);
                                        if (!attendees.empty()) attendees += "、";
                                        attendees += Html(shown);
                                        if (at.bAbsent != 0) attendees += "（欠席）";
                                    }});
        summary_ += counts;
        std::string itemsCell = "議題 " + std::to_string(counts.agendas) + "・メモ " + std::to_string(counts.notes) +
                                "・ToDo " + std::to_string(counts.toDos) + "・スケッチ " +
                                std::to_string(counts.sketches);
        if (!pictures.empty()) itemsCell += "<br>" + pictures;
        std::string time;
        if (start) time = *start + (end ? "–" + *end : "");
        page_ += "<tr><td>" + (date ? *date : Html(text_.Utf8(m.szDate))) + "</td><td>" + time + "</td><td><a href=\"" +
                 reportName + "\">" + Html(text_.Utf8(m.szTitle)) + "</a></td><td>" + Html(text_.Utf8(m.szLocation)) +
                 "</td><td>" + Html(text_.Utf8(m.szCategory)) + "</td><td>" + attendees + "</td><td>" + itemsCell +
                 "</td></tr>\n";
        if (texts_.size() > 1) texts_ += ",\n";
        texts_ += JsonString(all);
    }

    std::string Finish() {
        texts_ += "]";
        // "<" never closes the data's script element early: JSON lets it be written as \u003c.
        std::string safe;
        safe.reserve(texts_.size());
        for (const char c : texts_) safe += c == '<' ? std::string("\\u003c") : std::string(1, c);
        page_ += "</tbody>\n</table>\n<script type=\"application/json\" id=\"texts\">" + safe + "</script>\n";
        page_ += "<script>" + std::string(kSearchScript) + "</script>\n";
        page_ += "</body>\n</html>\n";
        return std::move(page_);
    }

private:
    const MeetingDatabase& store_;
    ExportText& text_;
    ExportSummary& summary_;
    std::string page_;
    std::string texts_;
};

std::vector<Row> RowsByDate(const MeetingDatabase& store, const MeetingIndexes& selection) {
    std::vector<Row> rows;
    for (const std::int32_t index : MeetingsByDate(store, selection)) rows.push_back({index, store.MeetingAt(index)});
    return rows;
}

bool WriteIndex(const std::filesystem::path& path, const std::string& page, ExportSummary& summary) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(page.data(), static_cast<std::streamsize>(page.size()));
    out.close();
    if (!out) {
        summary.error = "cannot write " + platform::PathToUtf8(path);
        return false;
    }
    summary.files.push_back(path);
    return true;
}

// A report as ReportFile writes it (LF as CR LF), without the flush to the disk and the
// temporary file each single report gets: an archive is a folder of thousands written at once,
// and a run that fails part-way is simply run again.
bool WriteArchiveFile(const std::filesystem::path& path, std::string_view text) {
    platform::UniqueFile file = platform::OpenFile(path, "wb");
    if (!file) return false;
    const bool written = WriteWithCrLf(file.get(), text);
    return std::fclose(file.release()) == 0 && written;
}

std::string ReportExtension(const ArchiveOptions& options) {
    return options.templatePath.empty() ? ".htm" : platform::PathToCp932(options.templatePath.extension());
}

bool IsHtmlExtension(std::string_view extension) {
    std::string lower;
    for (const char c : extension) lower += LowerAscii(c);
    return lower == ".htm" || lower == ".html";
}

// How many selected meetings carry each id: a repeated id gives its reports longer names.
std::map<std::uint32_t, int> IdUses(const MeetingDatabase& store, const MeetingIndexes& selection) {
    std::map<std::uint32_t, int> uses;
    for (const std::int32_t index : selection) {
        if (const Meeting* m = store.MeetingAt(index)) ++uses[m->dwDBID];
    }
    return uses;
}

}  // namespace

bool IsEarlierArchive(const std::filesystem::path& folder) {
    std::ifstream in(folder / "index.html", std::ios::binary);
    std::string head(1024, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head.find(kGeneratorMark) != std::string::npos;
}

std::vector<std::filesystem::path> ArchiveFilesToReplace(const MeetingDatabase& store, const MeetingIndexes& selection,
                                                         const ArchiveOptions& options) {
    if (IsEarlierArchive(options.folder)) return {};
    std::vector<std::string> names = {"index.html", "todo.html", "people.html"};
    const std::string extension = ReportExtension(options);
    const std::map<std::uint32_t, int> idUses = IdUses(store, selection);
    for (const std::int32_t index : selection) {
        if (const Meeting* m = store.MeetingAt(index)) {
            names.push_back(ArchiveReportName(*m, index, idUses.at(m->dwDBID) > 1, extension));
        }
    }
    for (std::string& picture : SketchPictureNames(store, selection)) names.push_back(std::move(picture));
    return ExistingFiles(options.folder, names);
}

std::string ArchiveReportName(const Meeting& meeting, std::int32_t index, bool duplicateId,
                              std::string_view extension) {
    std::string name = "meeting-" + std::to_string(meeting.dwDBID);
    if (duplicateId) name += "-" + std::to_string(index + 1);
    name += extension;
    return name;
}

bool WriteArchive(const MeetingDatabase& store, ReportFolder& reports, const MeetingIndexes& selection,
                  const ArchiveOptions& options, ExportText& text, ExportSummary& summary,
                  const ExportProgress& progress) {
    std::error_code ec;
    std::filesystem::create_directories(options.folder, ec);
    std::error_code probe;
    if (!std::filesystem::is_directory(options.folder, probe)) {
        // The reason the system gave for the folder it could not make, or that a file holds its name.
        if (!ec) ec = std::make_error_code(std::errc::not_a_directory);
        summary.error = "cannot create the folder " + platform::PathToUtf8(options.folder) + ": " + ec.message();
        return false;
    }
    ReportOptions reportOptions = options.reportOptions;
    reportOptions.outputFolder = options.folder;
    const bool fromTemplate = !options.templatePath.empty();
    if (fromTemplate && !reports.LoadTemplateFile(options.templatePath)) {
        summary.error = "cannot read the template " + platform::PathToUtf8(options.templatePath);
        return false;
    }
    const std::string extension = ReportExtension(options);
    const bool htmlReports = IsHtmlExtension(extension);
    const std::map<std::uint32_t, int> idUses = IdUses(store, selection);

    IndexBuilder index(store, text, summary);
    std::map<std::int32_t, std::string> reportNames;
    std::int64_t done = 0;
    for (const Row& row : RowsByDate(store, selection)) {
        const Meeting& m = *row.meeting;
        ++summary.meetings;
        const std::string name = ArchiveReportName(m, row.index, idUses.at(m.dwDBID) > 1, extension);
        const std::filesystem::path reportPath = options.folder / name;
        std::string report = fromTemplate ? reports.ExpandForMeeting(reports.TemplateText(), m, reportOptions)
                                          : reports.ComposeBuiltInReport(m, options.kind, reportOptions);
        if (!reports.UnwrittenPictures().empty()) {
            summary.error =
                "cannot write the sketch picture " + platform::PathToUtf8(reports.UnwrittenPictures().front());
            return false;
        }
        if (fromTemplate) {
            report =
                CollectTemplateImages(report, reports.ReportTokenSpans(), reports.TemplateFolder(), options.folder);
        }
        if (options.utf8Reports) report = ToUtf8Report(report, text);
        if (htmlReports) report = WithReportPolicy(std::move(report));
        if (!WriteArchiveFile(reportPath, report)) {
            summary.error = "cannot write " + platform::PathToUtf8(reportPath);
            return false;
        }
        summary.files.push_back(reportPath);
        reportNames.emplace(row.index, name);
        index.Add(m, name);
        ++done;
        if (progress && !progress(done, static_cast<std::int64_t>(selection.size()))) {
            summary.cancelled = true;
            return false;
        }
    }
    static const AddressBook kNoBook;
    const bool ok =
        WriteIndex(options.folder / "index.html", index.Finish(), summary) &&
        WriteIndex(options.folder / "todo.html", ToDoPage(store, selection, reportNames), summary) &&
        WriteIndex(options.folder / "people.html",
                   PeoplePage(store, options.book ? *options.book : kNoBook, selection, reportNames), summary);
    summary.replacements = text.Replacements();
    return ok;
}

}  // namespace tavolex
