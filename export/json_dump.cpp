#include "export/json_dump.h"

#include "address_book/address_book.h"
#include "export/ordered_pool.h"
#include "export/progress_counter.h"
#include "meeting_store/item_walk.h"
#include "meeting_store/meeting_database.h"
#include "meeting_store/meeting_json.h"
#include "meeting_store/sketch_files.h"
#include "platform/file_system.h"
#include "sketch/sketch_image.h"

#include <cstdio>
#include <map>
#include <set>

namespace tavolex {
namespace {

// Appends the members of one object; the writer puts the commas and keeps each record on a line.
class JsonObject : public JsonMembers {
public:
    explicit JsonObject(std::string& out) : out_(out) { out_ += '{'; }
    void Raw(std::string_view name, std::string_view value) {
        if (!first_) out_ += ',';
        first_ = false;
        out_ += '"';
        out_ += name;
        out_ += "\":";
        out_ += value;
    }
    void Number(std::string_view name, std::int64_t value) override { Raw(name, std::to_string(value)); }
    void Bool(std::string_view name, bool value) { Raw(name, value ? "true" : "false"); }
    void String(std::string_view name, std::string_view utf8) override { Raw(name, JsonString(utf8)); }
    void Optional(std::string_view name, const std::optional<std::string>& utf8) override {
        Raw(name, utf8 ? JsonString(*utf8) : "null");
    }
    void Close() { out_ += '}'; }

private:
    std::string& out_;
    bool first_ = true;
};

class DumpWriter {
public:
    DumpWriter(const MeetingDatabase& store, const AddressBook& book, const DumpOptions& options, ExportText& text,
               ExportSummary& summary)
        : store_(store), book_(book), options_(options), text_(text), summary_(summary) {}

    // Pictures written ahead on a worker: whether each was, by file name.
    void AddWrittenPictures(const std::vector<std::pair<std::string, bool>>& written) {
        for (const auto& [name, ok] : written) written_.emplace(name, ok);
    }

    void Meeting(std::int32_t index, const tavolex::Meeting& m, bool first) {
        ++summary_.meetings;
        out_ += first ? "\n" : ",\n";
        JsonObject o(out_);
        MeetingJsonFields fields{index + 1, m.dwDBID, ValidIsoDate(m.date), ValidIsoTime(m.startHour, m.startMinute),
                                 ValidIsoTime(m.endHour, m.endMinute)};
        fields.dateText = text_.Utf8(m.szDate);
        if (!m.szTime.empty()) fields.timeText = text_.Utf8(m.szTime);
        fields.title = text_.Utf8(m.szTitle);
        fields.location = text_.Utf8(m.szLocation);
        fields.category = text_.Utf8(m.szCategory);
        WriteMeetingFields(fields, o);
        o.Number("packedDate", m.date);
        o.Raw("items", "[");
        bool firstItem = true;
        for (const MeetingItem& item : store_.ItemsOf(m.dwDBID)) {
            out_ += firstItem ? "\n" : ",\n";
            firstItem = false;
            Item(item);
        }
        out_ += "]";
        o.Close();
    }

    // The records no meeting names: kept too, so a dump of the whole store loses nothing.
    void UnlinkedPart() {
        out_ += "],\n\"unlinked\":[";
        std::set<std::pair<ChildType, std::int32_t>> reached;
        for (const auto& meeting : store_.Meetings()) {
            for (const MeetingItem& item : store_.ItemsOf(meeting->dwDBID))
                reached.insert({item.type, item.recordIndex});
        }
        const std::pair<ChildType, std::int32_t> kinds[] = {{ChildType::kAgenda, store_.AgendaCount()},
                                                            {ChildType::kNote, store_.NoteCount()},
                                                            {ChildType::kToDo, store_.ToDoCount()},
                                                            {ChildType::kSketch, store_.SketchCount()},
                                                            {ChildType::kAttendee, store_.AttendeeCount()}};
        bool first = true;
        for (const auto& [type, count] : kinds) {
            for (std::int32_t i = 0; i < count; ++i) {
                if (reached.count({type, i}) != 0) continue;
                out_ += first ? "\n" : ",\n";
                first = false;
                Item(MeetingItem{type, -1, -1, i});
            }
        }
    }

    void AddressBookPart() {
        out_ += ",\n\"addressBook\":[";
        bool first = true;
        for (const auto& address : book_.Addresses()) {
            out_ += first ? "\n" : ",\n";
            first = false;
            ++summary_.addresses;
            AddressObject(*address);
        }
        out_ += "]}\n";
    }

    std::string& Out() { return out_; }

private:
    void Item(const MeetingItem& item) {
        JsonObject o(out_);
        if (VisitItem(store_, item, [&](const auto& record, const MeetingItem&) { Fields(o, record); })) {
            summary_.Add(item.type);
        }
        o.Close();
    }

    void Fields(JsonObject& o, const Agenda& a) {
        o.String("kind", "agenda");
        o.Number("id", a.dwDBID);
        o.Bool("discussed", a.nStatus == 1);
        o.Number("status", a.nStatus);
        o.String("text", text_.Utf8(a.szText));
    }

    void Fields(JsonObject& o, const Note& n) {
        o.String("kind", "note");
        o.Number("id", n.dwDBID);
        o.String("text", text_.Utf8(n.szText));
    }

    void Fields(JsonObject& o, const ToDo& t) {
        o.String("kind", "todo");
        o.Number("id", t.dwDBID);
        o.Bool("done", t.bCompleted == 1);
        o.Number("completed", t.bCompleted);
        o.Number("priority", t.nPriority);
        o.Optional("dueDate", ValidIsoDueDate(t.dueDate));
        o.Optional("dueTime", ValidIsoTime(t.dueHour, t.dueMinute));
        o.Raw("dueDateText", t.szDueDate.empty() ? "null" : JsonString(text_.Utf8(t.szDueDate)));
        o.Raw("dueTimeText", t.szDueTime.empty() ? "null" : JsonString(text_.Utf8(t.szDueTime)));
        o.Number("packedDueDate", t.dueDate);
        o.String("text", text_.Utf8(t.szText));
    }

    void Fields(JsonObject& o, const Sketch& s) {
        o.String("kind", "sketch");
        o.Number("id", s.dwDBID);
        o.String("title", text_.Utf8(s.szTitle));
        o.Number("width", s.image.Width());
        o.Number("height", s.image.Height());
        o.Raw("picture", Picture(s));
    }

    void Fields(JsonObject& o, const Attendee& at) {
        const AttendeeName name = SplitAttendeeText(at.szText);
        o.String("kind", "attendee");
        o.Number("id", at.dwDBID);
        o.Number("addressId", at.dwAddressID);
        o.Bool("absent", at.bAbsent != 0);
        o.String("firstName", text_.Utf8(name.firstName));
        o.String("lastName", text_.Utf8(name.lastName));
        o.String("company", text_.Utf8(name.company));
        o.String("name", text_.Utf8(AttendeeDisplayName(name)));
        const Address* address = book_.FindAddress(at.dwAddressID);
        if (address == nullptr) {
            o.Raw("address", "null");
        } else {
            o.Raw("address", "");
            AddressObject(*address);
        }
    }

    std::string Picture(const Sketch& sketch) {
        if (options_.pictureFolder.empty() || !sketch.image.HasPixels()) return "null";
        const std::string name = SketchFileName(sketch);
        if (!Written(sketch, name)) {
            // The dump names only pictures that are there; the first one missing fails the export.
            if (summary_.error.empty()) {
                summary_.error =
                    "cannot write the sketch picture " + platform::PathToUtf8(options_.pictureFolder / name);
            }
            return "null";
        }
        return JsonString(name);
    }

    // Whether the picture is there: written ahead, or now (a sketch no meeting names), once either way.
    bool Written(const Sketch& sketch, const std::string& name) {
        if (const auto found = written_.find(name); found != written_.end()) return found->second;
        const bool ok = WriteSketchJpeg(sketch.image, options_.pictureFolder / name);
        written_.emplace(name, ok);
        return ok;
    }

    void AddressObject(const Address& a) {
        JsonObject o(out_);
        o.Number("id", a.RecordId());
        o.String("lastName", text_.Utf8(a.LastName()));
        o.String("firstName", text_.Utf8(a.FirstName()));
        o.String("title", text_.Utf8(a.Title()));
        o.String("company", text_.Utf8(a.Company()));
        o.Raw("phones", "[");
        for (int n = 1; n <= kAddressPhoneCount; ++n) {
            if (n > 1) out_ += ',';
            JsonObject p(out_);
            p.String("label", text_.Utf8(a.PhoneLabel(n)));
            p.String("number", text_.Utf8(a.Phone(n)));
            p.Close();
        }
        out_ += ']';
        o.String("address", text_.Utf8(a.Street()));
        o.String("city", text_.Utf8(a.City()));
        o.String("state", text_.Utf8(a.State()));
        o.String("zip", text_.Utf8(a.Zip()));
        o.String("country", text_.Utf8(a.Country()));
        o.String("note", text_.Utf8(a.Note()));
        o.Raw("custom", "[");
        for (int n = 1; n <= kAddressCustomCount; ++n) {
            if (n > 1) out_ += ',';
            out_ += JsonString(text_.Utf8(a.Custom(n)));
        }
        out_ += ']';
        o.Close();
    }

    const MeetingDatabase& store_;
    const AddressBook& book_;
    const DumpOptions& options_;
    ExportText& text_;
    ExportSummary& summary_;
    std::string out_;
    std::map<std::string, bool> written_;
};

// The sketches whose pictures each selected meeting writes: those no meeting before it in the
// selection shows. Meetings that share an id show the same sketches, and a picture file is written
// by one thread only, once.
std::vector<std::vector<const Sketch*>> PicturesToWrite(const MeetingDatabase& store, const MeetingIndexes& selection) {
    std::vector<std::vector<const Sketch*>> toWrite(selection.size());
    std::set<std::string> taken;
    for (std::size_t i = 0; i < selection.size(); ++i) {
        const Meeting* meeting = store.MeetingAt(selection[i]);
        if (meeting == nullptr) continue;
        for (const MeetingItem& item : store.ItemsOf(meeting->dwDBID, ChildType::kSketch)) {
            const Sketch* s = store.SketchAt(item.recordIndex);
            if (s != nullptr && s->image.HasPixels() && taken.insert(SketchFileName(*s)).second)
                toWrite[i].push_back(s);
        }
    }
    return toWrite;
}

}  // namespace

std::vector<std::string> SketchPictureNames(const MeetingDatabase& store, const MeetingIndexes& selection) {
    std::set<std::string> names;
    auto add = [&names](const Sketch* sketch) {
        if (sketch != nullptr && sketch->image.HasPixels()) names.insert(SketchFileName(*sketch));
    };
    if (selection.size() == static_cast<std::size_t>(store.MeetingCount())) {
        for (std::int32_t i = 0; i < store.SketchCount(); ++i) add(store.SketchAt(i));
    } else {
        for (const std::int32_t index : selection) {
            const Meeting* meeting = store.MeetingAt(index);
            if (meeting == nullptr) continue;
            for (const MeetingItem& item : store.ItemsOf(meeting->dwDBID, ChildType::kSketch))
                add(store.SketchOf(item));
        }
    }
    return {names.begin(), names.end()};
}

std::string JsonString(std::string_view utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u < 0x20 || u == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", u);
            out += escape;
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

std::string WriteJsonDump(const MeetingDatabase& store, const AddressBook& book, const MeetingIndexes& selection,
                          const DumpOptions& options, ExportText& text, ExportSummary& summary,
                          const ExportProgress& progress) {
    DumpWriter writer(store, book, options, text, summary);
    writer.Out() = "{\"format\":\"tavolex-dump\",\"version\":1,\n\"meetings\":[";
    // The pictures of each meeting are written on the workers, the document here in order.
    using Written = std::vector<std::pair<std::string, bool>>;
    const bool pictures = !options.pictureFolder.empty();
    const std::vector<std::vector<const Sketch*>> toWrite =
        pictures ? PicturesToWrite(store, selection) : std::vector<std::vector<const Sketch*>>();
    ProgressCounter steps(progress, selection.size(), summary);
    const bool done = RunInOrder<Written>(
        selection.size(), pictures ? (options.jobs > 0 ? options.jobs : DefaultJobs()) : 1,
        [&](int, std::size_t i) {
            Written written;
            if (!pictures) return written;
            for (const Sketch* s : toWrite[i]) {
                std::string name = SketchFileName(*s);
                const bool ok = WriteSketchJpeg(s->image, options.pictureFolder / name);
                written.emplace_back(std::move(name), ok);
            }
            return written;
        },
        [&](std::size_t i, const Written& written) {
            writer.AddWrittenPictures(written);
            if (const Meeting* meeting = store.MeetingAt(selection[i])) writer.Meeting(selection[i], *meeting, i == 0);
            return steps.Step();
        },
        kLightBatch);
    if (!done) return {};
    if (selection.size() == static_cast<std::size_t>(store.MeetingCount())) {
        writer.UnlinkedPart();
        writer.Out() += "]";
    } else {
        writer.Out() += "],\n\"unlinked\":null";  // only a dump of every meeting has them
    }
    writer.AddressBookPart();
    summary.replacements = text.Replacements();
    return std::move(writer.Out());
}

}  // namespace tavolex
