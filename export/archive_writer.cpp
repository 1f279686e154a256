#include "export/archive_writer.h"

#include "base/ascii.h"
#include "address_book/address_book.h"
#include "export/json_dump.h"
#include "export/ordered_pool.h"
#include "meeting_query/across_meetings.h"
#include "meeting_store/item_walk.h"
#include "meeting_store/meeting_database.h"
#include "meeting_store/sketch_files.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "report/report_file.h"
#include "report/template_images.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <future>
#include <map>
#include <mutex>
#include <set>
#include <string_view>
#include <system_error>
#include <vector>

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

// The index runs its own script and nothing else: kIndexHash is the SHA-256 of kIndexScript, byte
// for byte, and changes with it.
constexpr std::string_view kIndexHash = "sha256-kN0SODkgJNe5sO6hZodViClWXA1Jsj/FUpFglito21E=";

std::string PolicyMeta(std::string_view policy) {
    return "<meta http-equiv=\"Content-Security-Policy\" content=\"" + std::string(policy) + "\">";
}

// The index of an archive is marked with the program that wrote it, so a later run knows the
// folder as its own and refreshes it without asking.
constexpr std::string_view kGeneratorMark = "<meta name=\"generator\" content=\"Tavolex";

std::string IndexPolicy() {
    return "default-src 'none'; script-src '" + std::string(kIndexHash) +
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
td:nth-child(1), td:nth-child(2) { white-space: nowrap; }
img.sketch { border: 1px solid #999; margin: 2px; max-width: 80px; max-height: 80px; }
#search { font-size: 1.1em; width: 20em; }
.pages a, .pages strong { display: inline-block; min-width: 1.5em; margin: 0 0.2em; text-align: center; }
</style>
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

// The index's script: the meetings are data (one array per meeting, oldest first: date, time,
// report, title, location, category, attendees as [name, absent], item counts, pictures as [file,
// title], and every text for the search); one page of the matches is built as rows, newest first
// unless the order is turned. Every text goes in as text, never as markup. A query is compared with
// each meeting's texts after NFKC normalisation and case folding, as the search command compares
// them; "?q=" gives the query, "?p=" the page and "?o=old" the order.
constexpr std::string_view kIndexScript = R"(
(function () {
  'use strict';
  var PAGE = 200;
  function fold(s) { return s.normalize('NFKC').toLowerCase(); }
  var data = JSON.parse(document.getElementById('data').textContent);
  var folded = null;
  var box = document.getElementById('search');
  var shown = document.getElementById('shown');
  var order = document.getElementById('order');
  var body = document.getElementById('meetings');
  var bars = [document.getElementById('pages-top'), document.getElementById('pages-bottom')];
  var params = new URLSearchParams(window.location.search);
  var page = Math.max(1, parseInt(params.get('p'), 10) || 1);
  var oldest = params.get('o') === 'old';
  box.value = params.get('q') || '';
  function matches() {
    var q = fold(box.value.trim());
    var list = [];
    if (q !== '' && folded === null) folded = data.map(function (m) { return fold(m[9]); });
    for (var i = 0; i < data.length; i++) {
      if (q === '' || folded[i].indexOf(q) >= 0) list.push(i);
    }
    return oldest ? list : list.reverse();
  }
  function address(p) {
    var a = new URLSearchParams();
    if (box.value.trim() !== '') a.set('q', box.value.trim());
    if (p > 1) a.set('p', p);
    if (oldest) a.set('o', 'old');
    var s = a.toString();
    return s === '' ? 'index.html' : 'index.html?' + s;
  }
  function row(m) {
    var tr = document.createElement('tr');
    function cell(text) { var td = tr.insertCell(); td.textContent = text; return td; }
    cell(m[0]);
    cell(m[1]);
    var link = document.createElement('a');
    link.href = m[2];
    link.textContent = m[3];
    tr.insertCell().appendChild(link);
    cell(m[4]);
    cell(m[5]);
    cell(m[6].map(function (a) { return a[0] + (a[1] ? '（欠席）' : ''); }).join('、'));
    var items = cell('議題 ' + m[7][0] + '・メモ ' + m[7][1] + '・ToDo ' + m[7][2] + '・スケッチ ' + m[7][3]);
    if (m[8].length > 0) items.appendChild(document.createElement('br'));
    m[8].forEach(function (p) {
      var a = document.createElement('a');
      a.href = p[0];
      var img = document.createElement('img');
      img.className = 'sketch';
      img.loading = 'lazy';
      img.alt = p[1];
      img.src = p[0];
      a.appendChild(img);
      items.appendChild(a);
    });
    return tr;
  }
  function pageLink(bar, p, text, current) {
    var e = document.createElement(p === current ? 'strong' : 'a');
    e.textContent = text;
    if (p !== current) {
      e.href = address(p);
      e.setAttribute('data-page', p);
    }
    bar.appendChild(e);
  }
  function render() {
    var list = matches();
    var pages = Math.max(1, Math.ceil(list.length / PAGE));
    page = Math.min(page, pages);
    var first = (page - 1) * PAGE;
    var rows = document.createDocumentFragment();
    list.slice(first, first + PAGE).forEach(function (i) { rows.appendChild(row(data[i])); });
    body.replaceChildren(rows);
    shown.textContent = list.length + ' / ' + data.length + ' 件・ページ ' + page + ' / ' + pages;
    order.textContent = oldest ? '新しい順' : '古い順';
    bars.forEach(function (bar) {
      bar.replaceChildren();
      if (pages < 2) return;
      if (page > 1) pageLink(bar, page - 1, '前へ', 0);
      for (var p = 1; p <= pages; p++) {
        if (p === 1 || p === pages || Math.abs(p - page) <= 3) {
          pageLink(bar, p, String(p), page);
        } else if (p === 2 || p === pages - 1) {
          bar.appendChild(document.createTextNode('…'));
        }
      }
      if (page < pages) pageLink(bar, page + 1, '次へ', 0);
    });
    try { window.history.replaceState(null, '', address(page)); } catch (e) { }
  }
  bars.forEach(function (bar) {
    bar.addEventListener('click', function (event) {
      var p = event.target.getAttribute('data-page');
      if (p === null) return;
      event.preventDefault();
      page = parseInt(p, 10);
      render();
      window.scrollTo(0, 0);
    });
  });
  box.addEventListener('input', function () { page = 1; render(); });
  order.addEventListener('click', function () { oldest = !oldest; page = 1; render(); });
  render();
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

// What the index and the year pages hold of one meeting; made on any thread, added in date order.
struct IndexEntry {
    std::string data;  // its array in the index's data, JSON
    std::string row;   // its row of its year's page, HTML
    std::string year;  // "2004"; "undated" for a date the calendar does not have
    ItemCounts counts;
};

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
                                                    "\" alt=\"" + Html(sketchTitle) + "\" loading=\"lazy\"></a>";
                                        if (!pictureData.empty()) pictureData += ",";
                                        pictureData += "[" + JsonString(file) + "," + JsonString(sketchTitle) + "]";
                                    }
                                },
                                [&](const Attendee& at, const MeetingItem&) {
                                    const AttendeeName name = SplitAttendeeText(at.szText);
                                    const std::string shown = text.Utf8(AttendeeDisplayName(name));
                                    all += "\n" + shown + "\n" + text.Utf8(name.company);
                                    if (!attendees.empty()) attendees += "、";
                                    attendees += Html(shown);
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
    entry.row = "<tr><td>" + Html(dateText) + "</td><td>" + time + "</td><td><a href=\"" + reportName + "\">" +
                Html(title) + "</a></td><td>" + Html(location) + "</td><td>" + Html(category) + "</td><td>" +
                attendees + "</td><td>" + itemsCell + "</td></tr>\n";
    entry.data = "[" + JsonString(dateText) + "," + JsonString(time) + "," + JsonString(reportName) + "," +
                 JsonString(title) + "," + JsonString(location) + "," + JsonString(category) + ",[" + attendeeData +
                 "],[" + std::to_string(c.agendas) + "," + std::to_string(c.notes) + "," + std::to_string(c.toDos) +
                 "," + std::to_string(c.sketches) + "],[" + pictureData + "]," + JsonString(all) + "]";
    entry.year = date ? date->substr(0, 4) : "undated";
    // "<" never closes the data's script element early: JSON lets it be written as \u003c. Done
    // here, on the worker that made the entry, not on the thread that joins the entries.
    if (entry.data.find('<') != std::string::npos) {
        std::string escaped;
        escaped.reserve(entry.data.size() + 16);
        for (const char c : entry.data) {
            if (c == '<') {
                escaped += "\\u003c";
            } else {
                escaped += c;
            }
        }
        entry.data = std::move(escaped);
    }
    return entry;
}

std::string YearPageName(const std::string& year) { return "index-" + year + ".html"; }

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

// The index (its meetings as data, shown a page at a time by its script) and a page per year that
// lists that year's meetings as rows, oldest first.
class IndexBuilder {
public:
    void Add(const IndexEntry& entry) {
        if (!data_.empty()) data_ += ",\n";
        data_ += entry.data;
        years_[entry.year] += entry.row;
    }

    // The index page in three parts, the data in the middle: it is written as it stands, not copied.
    [[nodiscard]] std::vector<std::string_view> IndexParts() {
        indexHead_ = std::string(kPageTop) + PolicyMeta(IndexPolicy()) + "\n" + std::string(kGeneratorMark) + " " +
                     TAVOLEX_VERSION + "\">\n" + std::string(kPageHead) + YearList(years_, "") +
                     std::string(kIndexTable) + "<script type=\"application/json\" id=\"data\">[";
        indexTail_ = "]</script>\n<script>" + std::string(kIndexScript) + "</script>\n</body>\n</html>\n";
        return {indexHead_, data_, indexTail_};
    }

    [[nodiscard]] const std::map<std::string, std::string>& Years() const { return years_; }

    [[nodiscard]] std::string YearPage(const std::string& year) const {
        const std::string title = "議事録アーカイブ " + YearLabel(year);
        return std::string(kPageTop) +
               PolicyMeta(
                   "default-src 'none'; img-src 'self'; style-src 'unsafe-inline'; base-uri 'none'; "
                   "form-action 'none'") +
               "\n<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" + title +
               "</title>\n<style>\n"
               "body { font-family: sans-serif; margin: 1em 2em; }\n"
               "table { border-collapse: collapse; width: 100%; }\n"
               "th, td { border-bottom: 1px solid #ccc; padding: 0.3em 0.5em; text-align: left; vertical-align: top; "
               "}\n"
               "th { background: #eee; }\n"
               "td:nth-child(1), td:nth-child(2) { white-space: nowrap; }\n"
               "img.sketch { border: 1px solid #999; margin: 2px; max-width: 80px; max-height: 80px; }\n"
               "</style>\n</head>\n<body>\n<h1>" +
               title + "</h1>\n<p><a href=\"index.html\">検索と全件</a>・<a href=\"todo.html\">ToDo 一覧</a>・<a " +
               "href=\"people.html\">出席者一覧</a></p>\n" + YearList(years_, year) +
               "<table>\n<thead><tr><th>日付</th><th>時刻</th><th>タイトル</th><th>場所</th><th>分類</th><th>出席者</"
               "th><th>項目</th></tr></thead>\n<tbody>\n" +
               years_.at(year) + "</tbody>\n</table>\n</body>\n</html>\n";
    }

private:
    std::string data_;
    std::map<std::string, std::string> years_;  // the rows of each year's page
    std::string indexHead_, indexTail_;         // the index page around the data
};

std::vector<Row> RowsByDate(const MeetingDatabase& store, const MeetingIndexes& selection) {
    std::vector<Row> rows;
    for (const std::int32_t index : MeetingsByDate(store, selection)) rows.push_back({index, store.MeetingAt(index)});
    return rows;
}

// Writes a page given as its parts, one after the other.
bool WriteIndex(const std::filesystem::path& path, const std::vector<std::string_view>& page, ExportSummary& summary) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const std::string_view part : page) out.write(part.data(), static_cast<std::streamsize>(part.size()));
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
    // Most reports then go out in one write, not one per 4 KiB. The buffer is the thread's own,
    // and the file is closed before this returns.
    thread_local std::array<char, std::size_t{64} << 10> buffer;
    std::setvbuf(file.get(), buffer.data(), _IOFBF, buffer.size());
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
    if (FolderIsEmpty(options.folder) || IsEarlierArchive(options.folder)) return {};
    std::vector<std::string> names = {"index.html", "todo.html", "people.html"};
    const std::string extension = ReportExtension(options);
    const std::map<std::uint32_t, int> idUses = IdUses(store, selection);
    for (const std::int32_t index : selection) {
        if (const Meeting* m = store.MeetingAt(index)) {
            names.push_back(ArchiveReportName(*m, index, idUses.at(m->dwDBID) > 1, extension));
        }
    }
    std::set<std::string> years;
    for (const std::int32_t index : selection) {
        if (const Meeting* m = store.MeetingAt(index)) {
            const std::optional<std::string> date = ValidIsoDate(m->date);
            years.insert(date ? date->substr(0, 4) : "undated");
        }
    }
    for (const std::string& year : years) names.push_back(YearPageName(year));
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

namespace {

// The colours a worker's report starts from: text no template writes, so a report that shows them
// is one whose colours come from the report before it, and is written again on the calling thread
// once those are known.
const std::string kEarlierColor1("\0tavolex earlier colour 1\0", 26);
const std::string kEarlierColor2("\0tavolex earlier colour 2\0", 26);

// A report of the archive, made on one thread.
struct RenderedReport {
    std::string name;                 // the report's file name
    std::string error;                // UTF-8; empty when it was written
    bool needsEarlierColors = false;  // not written: it shows colours set by the report before it
    std::string color1, color2;       // the colours it ends with (kEarlierColor… for those it kept)
    IndexEntry entry;
};

class ArchiveRenderer {
public:
    ArchiveRenderer(const MeetingDatabase& store, const ArchiveOptions& options, ReportOptions reportOptions)
        : store_(store), options_(options), reportOptions_(std::move(reportOptions)) {
        extension_ = ReportExtension(options);
        htmlReports_ = IsHtmlExtension(extension_);
    }

    [[nodiscard]] const std::string& Extension() const { return extension_; }

    // Writes the row's report with `reports`; with `earlierColors` its colours start unknown.
    RenderedReport Render(ReportFolder& reports, ExportText& text, const Row& row, const std::string& name,
                          bool earlierColors) {
        const Meeting& m = *row.meeting;
        RenderedReport result;
        if (earlierColors) reports.SetColors(kEarlierColor1, kEarlierColor2);
        const bool fromTemplate = !options_.templatePath.empty();
        std::string report = fromTemplate ? reports.ExpandForMeeting(reports.TemplateText(), m, reportOptions_)
                                          : reports.ComposeBuiltInReport(m, options_.kind, reportOptions_);
        result.color1 = reports.Color1();
        result.color2 = reports.Color2();
        if (!reports.UnwrittenPictures().empty()) {
            result.error =
                "cannot write the sketch picture " + platform::PathToUtf8(reports.UnwrittenPictures().front());
            return result;
        }
        if (earlierColors &&
            (report.find(kEarlierColor1) != std::string::npos || report.find(kEarlierColor2) != std::string::npos)) {
            result.needsEarlierColors = true;
            return result;
        }
        if (fromTemplate) {
            // Workers bring the same template pictures: one copies at a time.
            const std::lock_guard lock(templateImages_);
            report =
                CollectTemplateImages(report, reports.ReportTokenSpans(), reports.TemplateFolder(), options_.folder);
        }
        if (options_.utf8Reports) report = ToUtf8Report(report, text);
        if (htmlReports_) report = WithReportPolicy(std::move(report));
        const std::filesystem::path path = options_.folder / name;
        if (!WriteArchiveFile(path, report)) {
            result.error = "cannot write " + platform::PathToUtf8(path);
            return result;
        }
        result.entry = MakeIndexEntry(store_, m, name, text);
        return result;
    }

private:
    const MeetingDatabase& store_;
    const ArchiveOptions& options_;
    ReportOptions reportOptions_;
    std::string extension_;
    bool htmlReports_ = false;
    std::mutex templateImages_;
};

// A colour a worker's report ended with, given the colours the report before it ended with.
std::string ResolvedColor(const std::string& color, const std::string& before1, const std::string& before2) {
    if (color == kEarlierColor1) return before1;
    if (color == kEarlierColor2) return before2;
    return color;
}

bool IsYearPageName(const std::string& name) {
    if (!name.starts_with("index-") || !name.ends_with(".html")) return false;
    const std::string year = name.substr(6, name.size() - 11);
    return year == "undated" ||
           (year.size() == 4 && std::all_of(year.begin(), year.end(), [](char c) { return c >= '0' && c <= '9'; }));
}

// Removes the year pages of an earlier archive of ours that this one no longer has.
void RemoveStaleYearPages(const std::filesystem::path& folder, const std::map<std::string, std::string>& years) {
    std::error_code ec;
    std::vector<std::filesystem::path> stale;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = platform::PathToUtf8(entry.path().filename());
        if (!IsYearPageName(name)) continue;
        const std::string year = name.substr(6, name.size() - 11);
        if (!years.contains(year)) stale.push_back(entry.path());
    }
    for (const std::filesystem::path& path : stale) std::filesystem::remove(path, ec);
}

}  // namespace

bool WriteArchive(const MeetingDatabase& store, ReportFolder& reports, const MeetingIndexes& selection,
                  const ArchiveOptions& options, ExportText& text, ExportSummary& summary,
                  const ExportProgress& progress) {
    const bool earlierArchive = IsEarlierArchive(options.folder);
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
    if (!options.templatePath.empty() && !reports.LoadTemplateFile(options.templatePath)) {
        summary.error = "cannot read the template " + platform::PathToUtf8(options.templatePath);
        return false;
    }
    ArchiveRenderer renderer(store, options, reportOptions);
    const std::map<std::uint32_t, int> idUses = IdUses(store, selection);
    const std::vector<Row> rows = RowsByDate(store, selection);
    // Report names are made where they are needed (on the workers, and beside them for the lists).
    const auto nameOf = [&](const Row& row) {
        return ArchiveReportName(*row.meeting, row.index, idUses.at(row.meeting->dwDBID) > 1, renderer.Extension());
    };
    const auto reportNamesOf = [&] {
        std::map<std::int32_t, std::string> names;
        for (const Row& row : rows) names.emplace(row.index, nameOf(row));
        return names;
    };

    // With one job the reports are made by `reports` on this thread, as a single report is; with
    // more, each worker has a generator of its own, and the colours a template keeps from one
    // report to the next are followed here in the rows' order.
    const int jobs = std::min<int>(options.jobs > 0 ? options.jobs : DefaultJobs(), static_cast<int>(rows.size()));
    struct Worker {
        std::unique_ptr<ReportFolder> reports;
        ExportText text;
    };
    // The store stays as it is while the archive is written: the reports find items by an index,
    // made once and read by every worker.
    reports.IndexItemMaps();
    // Meetings that share an id show the same sketches: each picture file is written once.
    reports.BeginPictureBatch();
    struct EndBatch {
        ReportFolder& reports;
        ~EndBatch() {
            reports.UnindexItemMaps();
            reports.EndPictureBatch();
        }
    } endBatch{reports};
    std::vector<Worker> workers(static_cast<std::size_t>(std::max(jobs, 1)));
    if (jobs > 1) {
        for (Worker& w : workers) w.reports = reports.NewWorker();
    }
    std::string color1(reports.Color1());
    std::string color2(reports.Color2());
    IndexBuilder index;
    // The to-do and people pages need only the store and the report names: with more than one job
    // they are made beside the reports, and written once the reports are.
    static const AddressBook kNoBook;
    const AddressBook& book = options.book ? *options.book : kNoBook;
    const auto listPagesOf = [&] {
        const std::map<std::int32_t, std::string> reportNames = reportNamesOf();
        return std::pair(ToDoPage(store, selection, reportNames), PeoplePage(store, book, selection, reportNames));
    };
    std::future<std::pair<std::string, std::string>> listPages;
    if (jobs > 1) listPages = std::async(std::launch::async, listPagesOf);
    const bool done = RunInOrder<RenderedReport>(
        rows.size(), jobs,
        [&](int worker, std::size_t i) {
            Worker& w = workers[static_cast<std::size_t>(worker)];
            std::string name = nameOf(rows[i]);
            RenderedReport r = jobs > 1 ? renderer.Render(*w.reports, w.text, rows[i], name, true)
                                        : renderer.Render(reports, text, rows[i], name, false);
            r.name = std::move(name);
            return r;
        },
        [&](std::size_t i, RenderedReport& r) {
            if (r.needsEarlierColors) {
                std::string name = std::move(r.name);
                reports.SetColors(color1, color2);
                r = renderer.Render(reports, text, rows[i], name, false);
                r.name = std::move(name);
            }
            if (!r.error.empty()) {
                summary.error = r.error;
                return false;
            }
            const std::string before1 = color1;
            color1 = ResolvedColor(r.color1, before1, color2);
            color2 = ResolvedColor(r.color2, before1, color2);
            ++summary.meetings;
            summary += r.entry.counts;
            summary.files.push_back(options.folder / r.name);
            index.Add(r.entry);
            if (progress && !progress(static_cast<std::int64_t>(i + 1), static_cast<std::int64_t>(selection.size()))) {
                summary.cancelled = true;
                return false;
            }
            return true;
        },
        kReportBatch);
    if (jobs > 1) reports.SetColors(color1, color2);
    for (const Worker& w : workers) text.AddReplacements(w.text.Replacements());
    if (!done) return false;
    // With more than one job the year pages are made and written beside the index; the files are
    // listed, and a failure told, in the same order either way.
    ExportSummary yearPages;
    const auto writeYearPages = [&] {
        for (const auto& [year, rowsOfYear] : index.Years()) {
            if (!WriteIndex(options.folder / YearPageName(year), {index.YearPage(year)}, yearPages)) return false;
        }
        return true;
    };
    std::future<bool> yearsWritten;
    if (jobs > 1) yearsWritten = std::async(std::launch::async, writeYearPages);
    bool ok = WriteIndex(options.folder / "index.html", index.IndexParts(), summary);
    const bool yearsOk = yearsWritten.valid() ? yearsWritten.get() : ok && writeYearPages();
    summary.files.insert(summary.files.end(), yearPages.files.begin(), yearPages.files.end());
    if (ok && !yearsOk) summary.error = yearPages.error;
    ok = ok && yearsOk;
    const auto [toDoPage, peoplePage] = listPages.valid() ? listPages.get() : listPagesOf();
    ok = ok && WriteIndex(options.folder / "todo.html", {toDoPage}, summary) &&
         WriteIndex(options.folder / "people.html", {peoplePage}, summary);
    if (ok && earlierArchive) RemoveStaleYearPages(options.folder, index.Years());
    summary.replacements = text.Replacements();
    return ok;
}

}  // namespace tavolex
