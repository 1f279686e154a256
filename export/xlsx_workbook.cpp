#include "export/xlsx_workbook.h"

#include "address_book/address_book.h"
#include "base/calendar_date.h"
#include "export/progress_counter.h"
#include "export/vcard_writer.h"
#include "meeting_query/across_meetings.h"
#include "meeting_store/meeting_database.h"
#include "platform/file_system.h"
#include "platform/platform.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

constexpr lxw_row_t kExcelRows = 1048576;
constexpr std::size_t kCellUnits = 32767;  // the UTF-16 units one Excel cell holds
constexpr double kWidest = 80;             // a column's width, in characters, at most

// One cell of a row: a text, a number, an Excel date or time, or nothing.
struct Value {
    enum Kind : std::uint8_t { kEmpty, kText, kNumber, kDate, kTime } kind = kEmpty;
    std::string text{};
    double number = 0;
    lxw_datetime when{};
};

Value Text(std::string utf8) { return {Value::kText, std::move(utf8)}; }
Value Number(double n) { return {Value::kNumber, {}, n}; }

Value Date(const std::optional<CalendarDate>& d) {
    if (!d) return {};
    return {Value::kDate, {}, 0, lxw_datetime{d->year, d->month, d->day, 0, 0, 0}};
}

// A time of day; nothing for hour 255 (no time) or a time the clock does not have.
Value Time(std::uint8_t hour, std::uint8_t minute) {
    if (hour == 255 || !IsValidTime(hour, minute)) return {};
    return {Value::kTime, {}, 0, lxw_datetime{0, 0, 0, hour, minute, 0}};
}

std::optional<CalendarDate> ValidDate(HandheldDate packed) {
    const CalendarDate d = UnpackHandheldDate(packed);
    return IsValidDate(d) ? std::optional(d) : std::nullopt;
}

// A to-do's due date: none for the year field 127 (no due date) or a date that is not one.
std::optional<CalendarDate> ValidDueDate(HandheldDate packed) {
    return ValidIsoDueDate(packed) ? ValidDate(packed) : std::nullopt;
}

// The text as far as a cell holds it (whole characters), and its width in characters as a
// column shows it: its longest line, full-width characters counting double.
struct Measured {
    std::size_t bytes = 0;
    double width = 0;
};

Measured Measure(std::string_view utf8) {
    Measured m;
    std::size_t units = 0;
    double line = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = lead < 0x80 ? lead : lead & (0x3F >> (length - 1));
        for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k) c = (c << 6) | (utf8[i + k] & 0x3F);
        units += c >= 0x10000 ? 2 : 1;
        if (units > kCellUnits) break;
        i = std::min(utf8.size(), i + length);
        m.bytes = i;
        if (c == '\n') {
            line = 0;
            continue;
        }
        line += c < 0x1100 || (c >= 0xFF61 && c <= 0xFF9F) ? 1 : 2;
        m.width = std::max(m.width, line);
    }
    return m;
}

struct Formats {
    lxw_format* header = nullptr;
    lxw_format* date = nullptr;
    lxw_format* time = nullptr;
    lxw_format* wrap = nullptr;
};

// One table: its header, its rows as they come, and its columns' widths, set when it is closed.
class Sheet {
public:
    Sheet(lxw_workbook* book, const Formats& formats, std::string name, std::vector<std::string> headers)
        : book_(book),
          formats_(formats),
          name_(std::move(name)),
          headers_(std::move(headers)),
          widths_(headers_.size(), 0) {
        Start();
    }

    lxw_error Add(const std::vector<Value>& row) {
        if (row_ == kExcelRows) {
            Close();
            Start();
        }
        for (std::size_t c = 0; c < row.size() && error_ == LXW_NO_ERROR; ++c) Write(c, row[c]);
        ++row_;
        return error_;
    }

    // The frozen header, the autofilter over the rows and the columns' widths.
    lxw_error Close() {
        const auto last = static_cast<lxw_col_t>(headers_.size() - 1);
        worksheet_freeze_panes(sheet_, 1, 0);
        Keep(worksheet_autofilter(sheet_, 0, 0, row_ - 1, last));
        for (std::size_t c = 0; c < headers_.size(); ++c) {
            const auto col = static_cast<lxw_col_t>(c);
            Keep(worksheet_set_column(sheet_, col, col, std::min(widths_[c] + 2, kWidest), nullptr));
        }
        return error_;
    }

private:
    void Start() {
        ++part_;
        const std::string name = part_ == 1 ? name_ : name_ + " (" + std::to_string(part_) + ")";
        sheet_ = workbook_add_worksheet(book_, name.c_str());
        if (sheet_ == nullptr) {
            error_ = LXW_ERROR_MEMORY_MALLOC_FAILED;
            return;
        }
        row_ = 0;
        std::fill(widths_.begin(), widths_.end(), 0);
        for (std::size_t c = 0; c < headers_.size(); ++c) {
            Write(c, Text(headers_[c]), formats_.header);
            widths_[c] += 2;  // the autofilter's button
        }
        ++row_;
    }

    void Write(std::size_t c, const Value& v, lxw_format* format = nullptr) {
        if (sheet_ == nullptr) return;
        const auto col = static_cast<lxw_col_t>(c);
        double width = 0;
        switch (v.kind) {
            case Value::kEmpty: return;
            case Value::kText: {
                if (v.text.empty()) return;
                const Measured m = Measure(v.text);
                width = m.width;
                const std::string cut = v.text.substr(0, m.bytes);
                const bool lines = cut.find('\n') != std::string::npos;
                Keep(worksheet_write_string(sheet_, row_, col, cut.c_str(), lines ? formats_.wrap : format));
                break;
            }
            case Value::kNumber: {
                width = static_cast<double>(std::to_string(static_cast<long long>(v.number)).size());
                Keep(worksheet_write_number(sheet_, row_, col, v.number, nullptr));
                break;
            }
            case Value::kDate:
            case Value::kTime: {
                lxw_datetime when = v.when;
                width = v.kind == Value::kDate ? 10 : 5;
                Keep(worksheet_write_datetime(sheet_, row_, col, &when,
                                              v.kind == Value::kDate ? formats_.date : formats_.time));
                break;
            }
        }
        widths_[c] = std::max(widths_[c], width);
    }

    void Keep(lxw_error e) {
        if (error_ == LXW_NO_ERROR) error_ = e;
    }

    lxw_workbook* book_;
    const Formats& formats_;
    std::string name_;
    std::vector<std::string> headers_;
    std::vector<double> widths_;
    lxw_worksheet* sheet_ = nullptr;
    lxw_row_t row_ = 0;
    int part_ = 0;
    lxw_error error_ = LXW_NO_ERROR;
};

enum SheetIndex : std::uint8_t { kMeetingSheet, kAgendaSheet, kNoteSheet, kToDoSheet, kAttendeeSheet, kPeopleSheet };

// The sheets' names and headers, in the workbook's order; the item sheets lead with the meeting's
// number, date and title.
struct SheetShape {
    const char* name;
    std::vector<std::string> headers;
};

std::array<SheetShape, 6> Shapes() {
    return {{{"ミーティング",
              {"番号", "日付", "開始", "終了", "タイトル", "場所", "分類", "出席者", "欠席者", "議題", "メモ", "ToDo",
               "スケッチ", "元の日付"}},
             {"議題", {"番号", "日付", "タイトル", "議題", "済"}},
             {"メモ", {"番号", "日付", "タイトル", "メモ"}},
             {"ToDo", {"番号", "日付", "タイトル", "ToDo", "期限", "期限時刻", "優先度", "完了", "元の期限"}},
             {"出席者", {"番号", "日付", "タイトル", "名前", "会社", "電子メール", "出欠"}},
             {"人", {"名前", "会社", "出席", "欠席", "最初", "最後"}}}};
}

// Names joined as a Japanese list; an attendee without a name is left out.
std::string Joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names) {
        if (!name.empty()) out += (out.empty() ? "" : "、") + name;
    }
    return out;
}

}  // namespace

struct XlsxWorkbook::State {
    fs::path path;
    fs::path partial;
    bool severalUsers = false;
    std::string error;  // why the workbook could not be begun
    lxw_workbook* book = nullptr;
    lxw_doc_properties properties{};
    Formats formats;
    std::vector<Sheet> sheets;

    ~State() {
        if (book != nullptr) lxw_workbook_free(book);  // unfinished: nothing more written
        std::error_code ec;
        if (!partial.empty()) fs::remove(partial, ec);
    }

    // A row of a sheet, led by the user's name in a workbook of several users.
    bool Row(SheetIndex sheet, std::string_view user, std::vector<Value> row, ExportSummary& summary) {
        if (severalUsers) row.insert(row.begin(), Text(std::string(user)));
        const lxw_error e = sheets[sheet].Add(row);
        if (e == LXW_NO_ERROR) return true;
        summary.error = platform::PathToUtf8(path) + ": " + lxw_strerror(e);
        return false;
    }
};

XlsxWorkbook::XlsxWorkbook(fs::path path, bool severalUsers, std::time_t created) : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.path = std::move(path);
    s.severalUsers = severalUsers;
    std::error_code ec;
    if (!platform::CreateTemporaryFor(s.path, s.partial, ec)) {
        s.error = platform::PathToUtf8(s.path) + ": " + ec.message();
        s.partial.clear();
        return;
    }
    // A row at a time: each sheet's rows go to a temporary file as they come, not to memory.
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    s.book = workbook_new_opt(platform::PathToUtf8(s.partial).c_str(), &options);
    if (s.book == nullptr) {
        s.error = platform::PathToUtf8(s.path) + ": the workbook could not be begun";
        return;
    }
    s.properties.created = created;
    workbook_set_properties(s.book, &s.properties);
    s.formats.header = workbook_add_format(s.book);
    format_set_bold(s.formats.header);
    s.formats.date = workbook_add_format(s.book);
    format_set_num_format(s.formats.date, "yyyy/mm/dd");
    s.formats.time = workbook_add_format(s.book);
    format_set_num_format(s.formats.time, "hh:mm");
    s.formats.wrap = workbook_add_format(s.book);
    format_set_text_wrap(s.formats.wrap);
    format_set_align(s.formats.wrap, LXW_ALIGN_VERTICAL_TOP);
    s.sheets.reserve(6);
    for (SheetShape& shape : Shapes()) {
        if (severalUsers) shape.headers.insert(shape.headers.begin(), "利用者");
        s.sheets.emplace_back(s.book, s.formats, shape.name, std::move(shape.headers));
    }
}

XlsxWorkbook::~XlsxWorkbook() = default;

bool XlsxWorkbook::Add(std::string_view user, const MeetingDatabase& store, const AddressBook& book,
                       const MeetingIndexes& selection, ExportText& text, ExportSummary& summary,
                       const ExportProgress& progress) {
    State& s = *state_;
    if (!s.error.empty()) {
        summary.error = s.error;
        return false;
    }
    ProgressCounter steps(progress, selection.size(), summary);
    for (const std::int32_t index : selection) {
        const Meeting* found = store.MeetingAt(index);
        if (found == nullptr) continue;
        const Meeting& m = *found;
        ++summary.meetings;
        const std::optional<CalendarDate> date = ValidDate(m.date);
        const std::string title = text.Utf8(m.szTitle);
        // The meeting's number, date and title, leading each of its items' rows.
        const auto item = [&](std::vector<Value> rest) {
            std::vector<Value> row{Number(index + 1), Date(date), Text(title)};
            for (Value& v : rest) row.push_back(std::move(v));
            return row;
        };
        std::vector<std::string> present, absent;
        bool ok = true;
        const ItemCounts counts = ForEachItem(
            store, m.dwDBID,
            ItemVisitor{
                [&](const Agenda& a, const MeetingItem&) {
                    ok = ok && s.Row(kAgendaSheet, user,
                                     item({Text(text.Utf8(a.szText)), Text(a.nStatus == 1 ? "✓" : "")}), summary);
                },
                [&](const Note& n, const MeetingItem&) {
                    ok = ok && s.Row(kNoteSheet, user, item({Text(text.Utf8(n.szText))}), summary);
                },
                [&](const ToDo& t, const MeetingItem&) {
                    const std::optional<CalendarDate> due = ValidDueDate(t.dueDate);
                    ok = ok && s.Row(kToDoSheet, user,
                                     item({Text(text.Utf8(t.szText)), Date(due), Time(t.dueHour, t.dueMinute),
                                           Number(t.nPriority), Text(t.bCompleted == 1 ? "✓" : ""),
                                           Text(due ? "" : text.Utf8(t.szDueDate))}),
                                     summary);
                },
                [&](const Attendee& at, const MeetingItem&) {
                    const AttendeeName name = SplitAttendeeText(at.szText);
                    const std::string shown = text.Utf8(AttendeeDisplayName(name));
                    (at.bAbsent != 0 ? absent : present).push_back(shown);
                    const Address* address = book.FindAddress(at.dwAddressID);
                    ok = ok && s.Row(kAttendeeSheet, user,
                                     item({Text(shown), Text(text.Utf8(name.company)),
                                           Text(address != nullptr ? text.Utf8(AddressEmail(*address)) : ""),
                                           Text(at.bAbsent != 0 ? "欠席" : "出席")}),
                                     summary);
                },
                [&](const Sketch&, const MeetingItem&) {},
            });
        summary += counts;
        ok = ok && s.Row(kMeetingSheet, user,
                         {Number(index + 1), Date(date), Time(m.startHour, m.startMinute), Time(m.endHour, m.endMinute),
                          Text(title), Text(text.Utf8(m.szLocation)), Text(text.Utf8(m.szCategory)),
                          Text(Joined(present)), Text(Joined(absent)), Number(static_cast<double>(counts.agendas)),
                          Number(static_cast<double>(counts.notes)), Number(static_cast<double>(counts.toDos)),
                          Number(static_cast<double>(counts.sketches)), Text(date ? "" : text.Utf8(m.szDate))},
                         summary);
        if (!ok || !steps.Step()) return false;
    }
    for (const Person& p : CollectPeople(store, book, selection)) {
        if (!s.Row(kPeopleSheet, user,
                   {Text(p.name), Text(p.company), Number(p.attended), Number(p.absent),
                    Date(p.first ? ParseIsoDate(*p.first) : std::nullopt),
                    Date(p.last ? ParseIsoDate(*p.last) : std::nullopt)},
                   summary)) {
            return false;
        }
    }
    summary.replacements = text.Replacements();
    return true;
}

bool XlsxWorkbook::Finish(ExportSummary& summary) {
    State& s = *state_;
    if (!s.error.empty()) {
        summary.error = s.error;
        return false;
    }
    lxw_error e = LXW_NO_ERROR;
    for (Sheet& sheet : s.sheets) {
        if (e == LXW_NO_ERROR) e = sheet.Close();
    }
    const lxw_error closed = workbook_close(s.book);
    s.book = nullptr;
    if (e == LXW_NO_ERROR) e = closed;
    if (e != LXW_NO_ERROR) {
        summary.error = platform::PathToUtf8(s.path) + ": " + lxw_strerror(e);
        return false;
    }
    if (const std::error_code error = platform::PutInPlace(s.partial, s.path)) {
        summary.error = platform::PathToUtf8(s.path) + ": " + error.message();
        return false;
    }
    s.partial.clear();
    summary.files.push_back(s.path);
    return true;
}

bool WriteXlsxWorkbook(const MeetingDatabase& store, const AddressBook& book, const MeetingIndexes& selection,
                       const fs::path& path, std::time_t created, ExportText& text, ExportSummary& summary,
                       const ExportProgress& progress) {
    XlsxWorkbook workbook(path, false, created);
    return workbook.Add("", store, book, selection, text, summary, progress) && workbook.Finish(summary);
}

}  // namespace tavolex
