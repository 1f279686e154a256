#include "export/sqlite_export.h"

#include "address_book/address_book.h"
#include "meeting_store/item_walk.h"
#include "meeting_store/meeting_database.h"
#include "platform/file_system.h"
#include "export/ordered_pool.h"
#include "export/progress_counter.h"
#include "sketch/sketch_image.h"

#include <sqlite3.h>

#include <functional>
#include <map>
#include <memory>
#include <system_error>

namespace tavolex {

const char* const kSqliteSchema = R"sql(CREATE TABLE meeting (
  number INTEGER PRIMARY KEY,   -- position in the store, from 1
  id INTEGER NOT NULL,          -- handheld record id
  date TEXT,                    -- ISO date, NULL when the record's date is damaged
  start TEXT, "end" TEXT,       -- "HH:MM", NULL without a time
  date_text TEXT NOT NULL, time_text TEXT,  -- as the user's locale shows them
  title TEXT NOT NULL, location TEXT NOT NULL, category TEXT NOT NULL);
CREATE TABLE agenda (number INTEGER PRIMARY KEY, id INTEGER NOT NULL,
  discussed INTEGER NOT NULL, status INTEGER NOT NULL, text TEXT NOT NULL);
CREATE TABLE note (number INTEGER PRIMARY KEY, id INTEGER NOT NULL, text TEXT NOT NULL);
CREATE TABLE todo (number INTEGER PRIMARY KEY, id INTEGER NOT NULL, done INTEGER NOT NULL,
  completed INTEGER NOT NULL, priority INTEGER NOT NULL, due_date TEXT, due_time TEXT,
  due_date_text TEXT, due_time_text TEXT, text TEXT NOT NULL);
CREATE TABLE sketch (number INTEGER PRIMARY KEY, id INTEGER NOT NULL, title TEXT NOT NULL,
  width INTEGER NOT NULL, height INTEGER NOT NULL, jpeg BLOB);
CREATE TABLE attendee (number INTEGER PRIMARY KEY, id INTEGER NOT NULL, address_id INTEGER NOT NULL,
  absent INTEGER NOT NULL, first_name TEXT NOT NULL, last_name TEXT NOT NULL, company TEXT NOT NULL);
-- The items of each meeting in handheld order; kind is agenda, note, todo, sketch or attendee
-- and item the number of the row in that table.
CREATE TABLE meeting_item (meeting INTEGER NOT NULL REFERENCES meeting(number),
  position INTEGER NOT NULL, kind TEXT NOT NULL, item INTEGER NOT NULL, item_id INTEGER NOT NULL,
  PRIMARY KEY (meeting, position));
CREATE TABLE address (number INTEGER PRIMARY KEY, id INTEGER NOT NULL, last_name TEXT NOT NULL,
  first_name TEXT NOT NULL, title TEXT NOT NULL, company TEXT NOT NULL, address TEXT NOT NULL,
  city TEXT NOT NULL, state TEXT NOT NULL, zip TEXT NOT NULL, country TEXT NOT NULL, note TEXT NOT NULL,
  custom1 TEXT NOT NULL, custom2 TEXT NOT NULL, custom3 TEXT NOT NULL, custom4 TEXT NOT NULL);
CREATE TABLE address_phone (address INTEGER NOT NULL REFERENCES address(number), position INTEGER NOT NULL,
  label TEXT NOT NULL, phone TEXT NOT NULL, PRIMARY KEY (address, position));
-- Every text, for searches such as: SELECT meeting FROM search WHERE search MATCH '見積書';
-- (the trigram tokenizer matches runs of three or more characters; LIKE '%価格%' also uses it).
CREATE VIRTUAL TABLE search USING fts5(kind UNINDEXED, meeting UNINDEXED, item UNINDEXED, text,
  tokenize = 'trigram');
)sql";

namespace {

// "PATH: reason", UTF-8.
std::string PathError(const std::filesystem::path& path, const std::error_code& error) {
    const std::u8string name = path.u8string();
    return std::string(name.begin(), name.end()) + ": " + error.message();
}

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using UniqueDb = std::unique_ptr<sqlite3, DbCloser>;
using UniqueStatement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// One prepared INSERT; Row binds its values in order and steps it.
class Insert {
public:
    Insert(sqlite3* db, const char* sql, bool& ok) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK) ok = false;
        statement_.reset(s);
    }
    Insert& Int(std::int64_t value) {
        sqlite3_bind_int64(statement_.get(), ++column_, value);
        return *this;
    }
    Insert& Text(const std::string& utf8) {
        sqlite3_bind_text(statement_.get(), ++column_, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Insert& Text(const std::optional<std::string>& utf8) {
        if (!utf8) {
            sqlite3_bind_null(statement_.get(), ++column_);
            return *this;
        }
        return Text(*utf8);
    }
    Insert& Blob(const std::string& bytes) {
        if (bytes.empty()) {
            sqlite3_bind_null(statement_.get(), ++column_);
        } else {
            sqlite3_bind_blob(statement_.get(), ++column_, bytes.data(), static_cast<int>(bytes.size()),
                              SQLITE_TRANSIENT);
        }
        return *this;
    }
    bool Step() {
        const int rc = sqlite3_step(statement_.get());
        sqlite3_reset(statement_.get());
        sqlite3_clear_bindings(statement_.get());
        column_ = 0;
        return rc == SQLITE_DONE;
    }

private:
    UniqueStatement statement_;
    int column_ = 0;
};

// The JPEG pictures of a meeting's sketches, by record position, encoded ahead on a worker.
using MeetingPictures = std::vector<std::pair<std::int32_t, std::string>>;

MeetingPictures EncodePictures(const MeetingDatabase& store, const Meeting* meeting) {
    MeetingPictures pictures;
    if (meeting == nullptr) return pictures;
    for (const MeetingItem& item : store.ItemsOf(meeting->dwDBID, ChildType::kSketch)) {
        if (const Sketch* s = store.SketchAt(item.recordIndex)) {
            const std::vector<std::uint8_t> bytes = SketchJpegBytes(s->image);
            pictures.emplace_back(item.recordIndex, std::string(bytes.begin(), bytes.end()));
        }
    }
    return pictures;
}

std::optional<std::string> OptionalText(ExportText& text, const std::string& cp932) {
    if (cp932.empty()) return std::nullopt;
    return text.Utf8(cp932);
}

class DatabaseWriter {
public:
    DatabaseWriter(sqlite3* db, const MeetingDatabase& store, const AddressBook& book, ExportText& text,
                   ExportSummary& summary, bool& ok)
        : store_(store),
          book_(book),
          text_(text),
          summary_(summary),
          meeting_(db, "INSERT INTO meeting VALUES (?,?,?,?,?,?,?,?,?,?)", ok),
          agenda_(db, "INSERT INTO agenda VALUES (?,?,?,?,?)", ok),
          note_(db, "INSERT INTO note VALUES (?,?,?)", ok),
          toDo_(db, "INSERT INTO todo VALUES (?,?,?,?,?,?,?,?,?,?)", ok),
          sketch_(db, "INSERT INTO sketch VALUES (?,?,?,?,?,?)", ok),
          attendee_(db, "INSERT INTO attendee VALUES (?,?,?,?,?,?,?)", ok),
          item_(db, "INSERT INTO meeting_item VALUES (?,?,?,?,?)", ok),
          address_(db, "INSERT INTO address VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)", ok),
          phone_(db, "INSERT INTO address_phone VALUES (?,?,?,?)", ok),
          search_(db, "INSERT INTO search VALUES (?,?,?,?)", ok) {}

    bool AddMeeting(std::int32_t index, const Meeting& m, const MeetingPictures& pictures) {
        pictures_ = &pictures;
        ++summary_.meetings;
        const std::int64_t number = index + 1;
        const std::string title = text_.Utf8(m.szTitle);
        const std::string location = text_.Utf8(m.szLocation);
        const std::string category = text_.Utf8(m.szCategory);
        bool ok = meeting_.Int(number)
                      .Int(m.dwDBID)
                      .Text(ValidIsoDate(m.date))
                      .Text(ValidIsoTime(m.startHour, m.startMinute))
                      .Text(ValidIsoTime(m.endHour, m.endMinute))
                      .Text(text_.Utf8(m.szDate))
                      .Text(OptionalText(text_, m.szTime))
                      .Text(title)
                      .Text(location)
                      .Text(category)
                      .Step();
        ok = Search("meeting", number, 0, title) && ok;
        ok = Search("meeting", number, 0, location) && ok;
        ok = Search("meeting", number, 0, category) && ok;
        std::int64_t position = 0;
        for (const MeetingItem& item : store_.ItemsOf(m.dwDBID)) {
            ok = AddItem(number, ++position, item) && ok;
        }
        return ok;
    }

    bool AddAddresses() {
        bool ok = true;
        std::int64_t number = 0;
        for (const auto& address : book_.Addresses()) {
            const Address& a = *address;
            ++summary_.addresses;
            ++number;
            ok = address_.Int(number)
                     .Int(a.RecordId())
                     .Text(text_.Utf8(a.LastName()))
                     .Text(text_.Utf8(a.FirstName()))
                     .Text(text_.Utf8(a.Title()))
                     .Text(text_.Utf8(a.Company()))
                     .Text(text_.Utf8(a.Street()))
                     .Text(text_.Utf8(a.City()))
                     .Text(text_.Utf8(a.State()))
                     .Text(text_.Utf8(a.Zip()))
                     .Text(text_.Utf8(a.Country()))
                     .Text(text_.Utf8(a.Note()))
                     .Text(text_.Utf8(a.Custom(1)))
                     .Text(text_.Utf8(a.Custom(2)))
                     .Text(text_.Utf8(a.Custom(3)))
                     .Text(text_.Utf8(a.Custom(4)))
                     .Step() &&
                 ok;
            for (int n = 1; n <= kAddressPhoneCount; ++n) {
                ok = phone_.Int(number).Int(n).Text(text_.Utf8(a.PhoneLabel(n))).Text(text_.Utf8(a.Phone(n))).Step() &&
                     ok;
            }
        }
        return ok;
    }

private:
    bool Search(const char* kind, std::int64_t meeting, std::int64_t item, const std::string& utf8) {
        if (utf8.empty()) return true;
        return search_.Text(std::string(kind)).Int(meeting).Int(item).Text(utf8).Step();
    }

    // The item's row in its table, written the first time a meeting names the record; its number.
    std::int64_t RowOf(ChildType type, std::int32_t recordIndex, bool& fresh) {
        auto [found, inserted] = rows_.try_emplace({type, recordIndex}, 0);
        fresh = inserted;
        if (inserted) found->second = ++nextRow_[type];
        return found->second;
    }

    bool AddItem(std::int64_t meeting, std::int64_t position, const MeetingItem& item) {
        bool fresh = false;
        const std::int64_t row = RowOf(item.type, item.recordIndex, fresh);
        recordIndex_ = item.recordIndex;
        bool ok = true;
        const char* kind = "";
        std::uint32_t id = 0;
        VisitItem(store_, item, [&](const auto& record, const MeetingItem&) {
            kind = KindWord(record);
            id = record.dwDBID;
            // A record that several meetings name is one row, written and counted the first time.
            if (!fresh) return;
            summary_.Add(item.type);
            ok = AddRecord(record, meeting, row);
        });
        return item_.Int(meeting).Int(position).Text(std::string(kind)).Int(row).Int(id).Step() && ok;
    }

    static const char* KindWord(const Agenda&) { return "agenda"; }
    static const char* KindWord(const Note&) { return "note"; }
    static const char* KindWord(const ToDo&) { return "todo"; }
    static const char* KindWord(const Sketch&) { return "sketch"; }
    static const char* KindWord(const Attendee&) { return "attendee"; }

    bool AddRecord(const Agenda& a, std::int64_t meeting, std::int64_t row) {
        const std::string t = text_.Utf8(a.szText);
        return agenda_.Int(row).Int(a.dwDBID).Int(a.nStatus == 1).Int(a.nStatus).Text(t).Step() &&
               Search("agenda", meeting, row, t);
    }

    bool AddRecord(const Note& n, std::int64_t meeting, std::int64_t row) {
        const std::string t = text_.Utf8(n.szText);
        return note_.Int(row).Int(n.dwDBID).Text(t).Step() && Search("note", meeting, row, t);
    }

    bool AddRecord(const ToDo& t, std::int64_t meeting, std::int64_t row) {
        const std::string s = text_.Utf8(t.szText);
        return toDo_.Int(row)
                   .Int(t.dwDBID)
                   .Int(t.bCompleted == 1)
                   .Int(t.bCompleted)
                   .Int(t.nPriority)
                   .Text(ValidIsoDueDate(t.dueDate))
                   .Text(ValidIsoTime(t.dueHour, t.dueMinute))
                   .Text(OptionalText(text_, t.szDueDate))
                   .Text(OptionalText(text_, t.szDueTime))
                   .Text(s)
                   .Step() &&
               Search("todo", meeting, row, s);
    }

    bool AddRecord(const Sketch& s, std::int64_t meeting, std::int64_t row) {
        const std::string title = text_.Utf8(s.szTitle);
        return sketch_.Int(row)
                   .Int(s.dwDBID)
                   .Text(title)
                   .Int(s.image.Width())
                   .Int(s.image.Height())
                   .Blob(Jpeg(s.image, recordIndex_))
                   .Step() &&
               Search("sketch", meeting, row, title);
    }

    bool AddRecord(const Attendee& at, std::int64_t meeting, std::int64_t row) {
        const AttendeeName name = SplitAttendeeText(at.szText);
        const std::string first = text_.Utf8(name.firstName);
        const std::string last = text_.Utf8(name.lastName);
        const std::string company = text_.Utf8(name.company);
        return attendee_.Int(row)
                   .Int(at.dwDBID)
                   .Int(at.dwAddressID)
                   .Int(at.bAbsent != 0)
                   .Text(first)
                   .Text(last)
                   .Text(company)
                   .Step() &&
               Search("attendee", meeting, row, text_.Utf8(AttendeeDisplayName(name))) &&
               Search("attendee", meeting, row, company);
    }

    // The bytes of the picture the reports write: encoded ahead for the meeting, else here.
    std::string Jpeg(const SketchImage& image, std::int32_t recordIndex) const {
        if (pictures_ != nullptr) {
            for (const auto& [index, bytes] : *pictures_) {
                if (index == recordIndex) return bytes;
            }
        }
        const std::vector<std::uint8_t> bytes = SketchJpegBytes(image);
        return {bytes.begin(), bytes.end()};
    }

    const MeetingDatabase& store_;
    const AddressBook& book_;
    ExportText& text_;
    ExportSummary& summary_;
    Insert meeting_, agenda_, note_, toDo_, sketch_, attendee_, item_, address_, phone_, search_;
    std::map<std::pair<ChildType, std::int32_t>, std::int64_t> rows_;
    std::map<ChildType, std::int64_t> nextRow_;
    const MeetingPictures* pictures_ = nullptr;  // the meeting's, while it is written
    std::int32_t recordIndex_ = -1;              // the item's record, while it is written
};

bool Exec(sqlite3* db, const char* sql, ExportSummary& summary) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
    summary.error = message != nullptr ? message : "SQLite failed";
    sqlite3_free(message);
    return false;
}

bool Fill(sqlite3* db, const MeetingDatabase& store, const AddressBook& book, const MeetingIndexes& selection,
          ExportText& text, ExportSummary& summary, const ExportProgress& progress, int jobs) {
    // No journal: a database cut short is a temporary file that never takes the target's name. The
    // commit waits for the disk, so the file renamed into place is whole even after a crash.
    if (!Exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=FULL; BEGIN;", summary)) return false;
    if (!Exec(db, kSqliteSchema, summary)) return false;
    bool ok = true;
    DatabaseWriter writer(db, store, book, text, summary, ok);
    if (!ok) {
        summary.error = sqlite3_errmsg(db);
        return false;
    }
    // The pictures are encoded on the workers, the rows written here in the selection's order.
    ProgressCounter steps(progress, selection.size(), summary);
    const bool filled = RunInOrder<MeetingPictures>(
        selection.size(), jobs > 0 ? jobs : DefaultJobs(),
        [&](int, std::size_t i) { return EncodePictures(store, store.MeetingAt(selection[i])); },
        [&](std::size_t i, const MeetingPictures& pictures) {
            const Meeting* meeting = store.MeetingAt(selection[i]);
            if (meeting != nullptr && !writer.AddMeeting(selection[i], *meeting, pictures)) {
                summary.error = sqlite3_errmsg(db);
                return false;
            }
            return steps.Step();
        },
        kLightBatch);
    if (!filled) return false;
    if (!writer.AddAddresses()) {
        summary.error = sqlite3_errmsg(db);
        return false;
    }
    return Exec(db, "COMMIT;", summary);
}

// The database at `path` written by `fill` into a new temporary file put in its place when done.
bool WriteDatabaseFile(const std::filesystem::path& path, ExportSummary& summary,
                       const std::function<bool(sqlite3*)>& fill) {
    std::filesystem::path partial;
    std::error_code error;
    if (!platform::CreateTemporaryFor(path, partial, error)) {
        summary.error = PathError(path, error);
        return false;
    }
    bool ok = false;
    {
        // SQLite opens the empty file made for it; NOFOLLOW refuses a link put in its place since.
        sqlite3* raw = nullptr;
        const std::u8string name = partial.u8string();
        const int rc = sqlite3_open_v2(std::string(name.begin(), name.end()).c_str(), &raw,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, nullptr);
        UniqueDb db(raw);
        if (rc != SQLITE_OK) {
            summary.error = raw != nullptr ? sqlite3_errmsg(raw) : "SQLite could not open the file";
        } else {
            ok = fill(db.get());
        }
    }
    if (!ok) {
        std::filesystem::remove(partial, error);
        return false;
    }
    error = platform::PutInPlace(partial, path);
    if (error) {
        summary.error = PathError(path, error);
        return false;
    }
    summary.files.push_back(path);
    return true;
}

// The rows of one user's database (attached as "u") after those of the users before, with the
// user's number on its meetings. Each table's numbers run on from the last one there, and the
// items and the full-text rows follow their rows.
constexpr const char* kJoinUser = R"sql(
CREATE TEMP TABLE base AS SELECT
  (SELECT COALESCE(MAX(number), 0) FROM main.meeting) AS m, (SELECT COALESCE(MAX(number), 0) FROM main.agenda) AS a,
  (SELECT COALESCE(MAX(number), 0) FROM main.note) AS n, (SELECT COALESCE(MAX(number), 0) FROM main.todo) AS t,
  (SELECT COALESCE(MAX(number), 0) FROM main.sketch) AS s, (SELECT COALESCE(MAX(number), 0) FROM main.attendee) AS p,
  (SELECT COALESCE(MAX(number), 0) FROM main.address) AS d, (SELECT MAX(number) FROM main.users) AS u;
CREATE TEMP VIEW shift AS SELECT 'agenda' AS kind, a AS by FROM base UNION ALL SELECT 'note', n FROM base
  UNION ALL SELECT 'todo', t FROM base UNION ALL SELECT 'sketch', s FROM base UNION ALL SELECT 'attendee', p FROM base;
INSERT INTO main.meeting SELECT number + (SELECT m FROM base), id, date, start, "end", date_text, time_text, title,
  location, category, (SELECT u FROM base) FROM u.meeting ORDER BY number;
INSERT INTO main.agenda SELECT number + (SELECT a FROM base), id, discussed, status, text FROM u.agenda ORDER BY number;
INSERT INTO main.note SELECT number + (SELECT n FROM base), id, text FROM u.note ORDER BY number;
INSERT INTO main.todo SELECT number + (SELECT t FROM base), id, done, completed, priority, due_date, due_time,
  due_date_text, due_time_text, text FROM u.todo ORDER BY number;
INSERT INTO main.sketch SELECT number + (SELECT s FROM base), id, title, width, height, jpeg FROM u.sketch ORDER BY number;
INSERT INTO main.attendee SELECT number + (SELECT p FROM base), id, address_id, absent, first_name, last_name, company
  FROM u.attendee ORDER BY number;
INSERT INTO main.meeting_item SELECT meeting + (SELECT m FROM base), position, i.kind, item + shift.by, item_id
  FROM u.meeting_item AS i JOIN shift ON shift.kind = i.kind ORDER BY meeting, position;
INSERT INTO main.address SELECT number + (SELECT d FROM base), id, last_name, first_name, title, company, address,
  city, state, zip, country, note, custom1, custom2, custom3, custom4 FROM u.address ORDER BY number;
INSERT INTO main.address_phone SELECT address + (SELECT d FROM base), position, label, phone FROM u.address_phone
  ORDER BY address, position;
INSERT INTO main.search SELECT r.kind, meeting + (SELECT m FROM base), item + COALESCE(shift.by, 0), text
  FROM u.search AS r LEFT JOIN shift ON shift.kind = r.kind ORDER BY r.rowid;
DROP VIEW temp.shift;
DROP TABLE temp.base;
)sql";

}  // namespace

bool WriteSqliteDatabase(const MeetingDatabase& store, const AddressBook& book, const MeetingIndexes& selection,
                         const std::filesystem::path& path, ExportText& text, ExportSummary& summary,
                         const ExportProgress& progress, int jobs) {
    const bool ok = WriteDatabaseFile(
        path, summary, [&](sqlite3* db) { return Fill(db, store, book, selection, text, summary, progress, jobs); });
    summary.replacements = text.Replacements();
    return ok;
}

bool JoinSqliteDatabases(const std::vector<SqliteUserPart>& parts, const std::filesystem::path& path,
                         ExportSummary& summary) {
    return WriteDatabaseFile(path, summary, [&](sqlite3* db) {
        if (!Exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=FULL;", summary) ||
            !Exec(db, kSqliteSchema, summary) ||
            !Exec(db,
                  "CREATE TABLE users (number INTEGER PRIMARY KEY, name TEXT NOT NULL);"
                  "ALTER TABLE meeting ADD COLUMN user INTEGER REFERENCES users(number);",
                  summary)) {
            return false;
        }
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const std::u8string file = parts[i].database.u8string();
            sqlite3_stmt* statement = nullptr;
            bool ok = sqlite3_prepare_v2(db, "ATTACH DATABASE ? AS u", -1, &statement, nullptr) == SQLITE_OK &&
                      sqlite3_bind_text(statement, 1, reinterpret_cast<const char*>(file.c_str()), -1,
                                        SQLITE_TRANSIENT) == SQLITE_OK &&
                      sqlite3_step(statement) == SQLITE_DONE;
            sqlite3_finalize(statement);
            ok = ok &&
                 sqlite3_prepare_v2(db, "INSERT INTO users VALUES (?, ?)", -1, &statement, nullptr) == SQLITE_OK &&
                 sqlite3_bind_int64(statement, 1, static_cast<sqlite3_int64>(i + 1)) == SQLITE_OK &&
                 sqlite3_bind_text(statement, 2, parts[i].user.c_str(), -1, SQLITE_TRANSIENT) == SQLITE_OK &&
                 sqlite3_step(statement) == SQLITE_DONE;
            sqlite3_finalize(statement);
            if (!ok) {
                summary.error = sqlite3_errmsg(db);
                return false;
            }
            if (!Exec(db, "BEGIN;", summary) || !Exec(db, kJoinUser, summary) ||
                !Exec(db, "COMMIT; DETACH u;", summary))
                return false;
        }
        return true;
    });
}

}  // namespace tavolex
