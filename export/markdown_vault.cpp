#include "export/markdown_vault.h"

#include "address_book/address_book.h"
#include "meeting_query/across_meetings.h"
#include "meeting_query/text_match.h"
#include "meeting_store/date_format.h"
#include "meeting_store/item_walk.h"
#include "meeting_store/meeting_database.h"
#include "meeting_store/sketch_files.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "report_files/report_name.h"
#include "sketch/png_file.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <system_error>
#include <unordered_map>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kManifestHeader = "tavolex-vault 1";
constexpr std::string_view kIndexName = "index.md";
constexpr std::string_view kPeopleFolder = "people";
constexpr std::string_view kAttachmentFolder = "attachments";
constexpr const char* kNoName = "名前なし";  // a person whose stored name is empty
// A file name's longest stem in UTF-8 bytes, before " (n)" and ".md": well inside the 255 bytes
// file systems allow however many bytes each character takes.
constexpr std::size_t kMaxStemBytes = 200;

// Names are cleaned without a word: a vault names thousands of notes at once.
class SilentInteraction final : public platform::UserInteraction {
public:
    void ShowMessage(std::string_view, std::string_view, platform::MessageIcon) override {}
    bool AskYesNo(std::string_view, std::string_view) override { return false; }
};

fs::path Utf8Path(std::string_view utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::uint64_t Fnv1a64(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
}

std::string Hex(std::uint64_t value) {
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// The UTF-8 text cut to at most `bytes` bytes, after a whole character.
std::string_view CutUtf8(std::string_view utf8, std::size_t bytes) {
    if (utf8.size() <= bytes) return utf8;
    while (bytes > 0 && (static_cast<unsigned char>(utf8[bytes]) & 0xC0) == 0x80) --bytes;
    return utf8.substr(0, bytes);
}

// ---- Markdown text ----

// The code point of a UTF-8 sequence of 3 bytes.
std::uint32_t CodePoint(std::string_view s) { return ((s[0] & 0x0Fu) << 12) | ((s[1] & 0x3Fu) << 6) | (s[2] & 0x3Fu); }

// Anywhere in a line: CommonMark's inline markup, raw HTML and entities, and the markup notes apps
// add (tags, highlights, comments, math, tables, block ids). Every ASCII punctuation character may
// be escaped with a backslash in CommonMark and shows as itself.
bool EscapedAnywhere(char c) { return std::string_view("\\`*_[]<>#&%$~|=^").find(c) != std::string_view::npos; }

// One line of text as inline Markdown: control characters as spaces, the start of the line kept
// from opening a block (a list, a heading, a quote, code), markup characters escaped.
void AppendLine(std::string& out, std::string_view line) {
    std::size_t i = 0;
    // Leading white space would make code of the line: the first one is a reference instead.
    if (!line.empty() && (line[0] == ' ' || line[0] == '\t' || static_cast<unsigned char>(line[0]) < 0x20)) {
        out += "&#32;";
        i = 1;
    } else if (!line.empty() && (line[0] == '-' || line[0] == '+')) {
        out += '\\';
    } else {
        // "1." and "1)" open an ordered list.
        std::size_t digits = 0;
        while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
        if (digits > 0 && digits < line.size() && (line[digits] == '.' || line[digits] == ')')) {
            out.append(line.substr(0, digits)).append("\\");
            i = digits;
        }
    }
    for (; i < line.size(); ++i) {
        const char c = line[i];
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            out += ' ';
        } else if (EscapedAnywhere(c)) {
            out += '\\';
            out += c;
        } else {
            out += c;
        }
    }
}

// A text of the store as Markdown that shows as written. Its lines are kept apart by hard line
// breaks, each continued after `indent`, so a text stays one paragraph or one list item; with
// oneLine, its lines are joined by spaces (a heading, a link's text).
std::string MarkdownText(std::string_view utf8, std::string_view indent = "", bool oneLine = false) {
    std::string lines;
    lines.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r') {
            lines += '\n';
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
        } else {
            lines += utf8[i];
        }
    }
    while (!lines.empty() && lines.back() == '\n') lines.pop_back();
    std::string out;
    out.reserve(lines.size() + 16);
    std::size_t start = 0;
    for (bool first = true;; first = false) {
        const std::size_t end = lines.find('\n', start);
        if (!first) out += oneLine ? std::string(" ") : "\\\n" + std::string(indent);
        AppendLine(out, std::string_view(lines).substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return out;
}

// A link's destination to a file of the vault: angle brackets take the spaces of a name; '%' is
// encoded so that no reader decodes a name's own "%20".
std::string Destination(std::string_view relative) {
    std::string out = "<";
    for (const char c : relative) out += c == '%' ? std::string("%25") : std::string(1, c);
    return out + ">";
}

std::string Link(std::string_view utf8Text, std::string_view relative) {
    return "[" + MarkdownText(utf8Text, "", true) + "](" + Destination(relative) + ")";
}

// ---- YAML ----

// Any UTF-8 text as a double-quoted YAML string: quotes and backslashes escaped, and every
// character YAML does not let a document hold as it is, or reads as a line break, escaped.
std::string YamlString(std::string_view utf8) {
    std::string out = "\"";
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto u = static_cast<unsigned char>(utf8[i]);
        const std::string_view rest = utf8.substr(i);
        char escape[12];
        if (u == '"' || u == '\\') {
            out += '\\';
            out += utf8[i];
        } else if (u == '\n' || u == '\r' || u == '\t') {
            out += u == '\n' ? "\\n" : u == '\r' ? "\\r" : "\\t";
        } else if (u < 0x20 || u == 0x7F) {
            std::snprintf(escape, sizeof escape, "\\x%02X", u);
            out += escape;
        } else if (u == 0xC2 && rest.size() > 1 && static_cast<unsigned char>(rest[1]) < 0xA0) {
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(rest[1]));  // C1 controls
            out += escape;
            ++i;
        } else if (rest.starts_with("\xE2\x80\xA8") || rest.starts_with("\xE2\x80\xA9") ||
                   rest.starts_with("\xEF\xBB\xBF") || rest.starts_with("\xEF\xBF\xBE") ||
                   rest.starts_with("\xEF\xBF\xBF")) {
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(CodePoint(rest)));
            out += escape;
            i += 2;
        } else {
            out += utf8[i];
        }
    }
    return out + "\"";
}

std::string YamlList(std::string_view key, const std::vector<std::string>& utf8Items) {
    if (utf8Items.empty()) return std::string(key) + ": []\n";
    std::string out = std::string(key) + ":\n";
    for (const std::string& item : utf8Items) out += "  - " + YamlString(item) + "\n";
    return out;
}

// ---- Names ----

// What a note's name can't hold beyond the report-name rules: notes apps read a link's "#" as a
// heading and "^" as a block of the note, and "[" "]" end a wiki link ("|" is a report-name rule).
constexpr std::string_view kLinkCharacters = "#^[]";

// The report-name rules on a text of the store, silently, and kLinkCharacters made spaces as they
// make the others; a name that would hide the file (a leading dot) gets "_" in front. UTF-8, cut
// to kMaxStemBytes.
std::string CleanStem(std::string cp932, ExportText& names) {
    static SilentInteraction silent;
    CleanReportName(cp932, silent);
    if (!cp932.empty() && cp932[0] == '.') cp932.insert(0, "_");
    // In UTF-8 an ASCII byte is a character of its own (in Shift-JIS "[", "]" and "^" can be the
    // second byte of one).
    std::string utf8 = names.Utf8(cp932);
    for (char& c : utf8) {
        if (kLinkCharacters.find(c) != std::string_view::npos) c = ' ';
    }
    return std::string(CutUtf8(utf8, kMaxStemBytes));
}

// Names given in one folder, compared as the file systems that ignore letter case (and width)
// compare them; a name given twice gets " (2)", " (3)"…
class NameSet {
public:
    explicit NameSet(std::vector<std::string> reserved = {}) {
        for (const std::string& r : reserved) given_.insert(FoldedText(platform::Utf8ToCp932(r)));
    }
    std::string Unique(const std::string& stem, std::string_view extension) {
        std::string name = stem + std::string(extension);
        for (int n = 2; !given_.insert(FoldedText(platform::Utf8ToCp932(name))).second; ++n)
            name = stem + " (" + std::to_string(n) + ")" + std::string(extension);
        return name;
    }

private:
    std::set<std::u16string> given_;
};

struct MeetingNote {
    std::int32_t index = 0;
    std::string name;                                  // UTF-8, in the vault's top folder
    std::vector<std::pair<std::size_t, bool>> people;  // person, absent
};

// Where everything of a vault goes, decided before anything is written.
struct VaultPlan {
    std::vector<MeetingNote> notes;  // by date
    std::vector<Person> people;
    std::vector<std::string> personNames;  // UTF-8, in people/
    std::map<std::int32_t, std::size_t> noteOf;
};

VaultPlan Plan(const MeetingDatabase& store, const AddressBook& book, const MeetingIndexes& selection) {
    VaultPlan plan;
    ExportText names;
    NameSet top({std::string(kIndexName)});
    for (const std::int32_t index : MeetingsByDate(store, selection)) {
        const Meeting& m = *store.MeetingAt(index);
        const std::optional<std::string> date = ValidIsoDate(m.date);
        std::string stem = CleanStem(m.szTitle, names);
        if (date) stem = stem.empty() ? *date : *date + " " + stem;
        if (stem.empty()) stem = "無題";
        plan.noteOf.emplace(index, plan.notes.size());
        plan.notes.push_back({index, top.Unique(stem, ".md"), {}});
    }
    plan.people = CollectPeople(store, book, MeetingsByDate(store, selection));
    NameSet inPeople;
    for (std::size_t p = 0; p < plan.people.size(); ++p) {
        std::string stem = CleanStem(platform::Utf8ToCp932(plan.people[p].name), names);
        if (stem.empty()) stem = kNoName;
        plan.personNames.push_back(inPeople.Unique(stem, ".md"));
        for (const Attendance& a : plan.people[p].meetings)
            plan.notes[plan.noteOf.at(a.meetingIndex)].people.emplace_back(p, a.absent);
    }
    return plan;
}

std::string AttachmentName(const Sketch& sketch) {
    std::string name = SketchFileName(sketch);
    return std::string(kAttachmentFolder) + "/" + name.substr(0, name.size() - 4) + ".png";
}

// The priority marks task plugins read: the handheld's 1 highest … 5 lowest.
std::string_view PriorityMark(std::int32_t priority) {
    switch (priority) {
        case 1: return " \xE2\x8F\xAB";      // ⏫ high
        case 2: return " \xF0\x9F\x94\xBC";  // 🔼 medium
        case 4:
        case 5: return " \xF0\x9F\x94\xBD";  // 🔽 low
        default: return "";                  // 3 normal, and values the handheld does not give
    }
}

constexpr std::string_view kAbsentMark = " (欠席)";

// ---- Writing ----

// Reads a whole file; false when it can't.
bool ReadWhole(const fs::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// A path the manifest may name: one the vault writes, in its folder or one of its two sub-folders,
// so that a manifest that is not ours never leads outside the vault.
bool IsVaultPath(std::string_view relative) {
    if (relative.empty() || relative.find('\\') != std::string_view::npos ||
        relative.find(':') != std::string_view::npos)
        return false;
    const std::size_t slash = relative.find('/');
    const std::string_view name = slash == std::string_view::npos ? relative : relative.substr(slash + 1);
    if (slash != std::string_view::npos && relative.substr(0, slash) != kPeopleFolder &&
        relative.substr(0, slash) != kAttachmentFolder)
        return false;
    return !name.empty() && name.find('/') == std::string_view::npos && name != "." && name != "..";
}

std::map<std::string, std::string> ReadManifest(const fs::path& folder) {
    std::map<std::string, std::string> written;
    std::ifstream in(folder / kVaultManifest, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != kManifestHeader) return written;
    while (std::getline(in, line)) {
        if (line.size() > 17 && line[16] == ' ' && IsVaultPath(std::string_view(line).substr(17)))
            written.emplace(line.substr(17), line.substr(0, 16));
    }
    return written;
}

class VaultWriter {
public:
    VaultWriter(const fs::path& folder, ExportSummary& summary)
        : folder_(folder), summary_(summary), earlier_(ReadManifest(folder)), refresh_(IsEarlierVault(folder)) {}

    // Writes one file of the vault, unless it is one the user changed since the earlier export.
    bool Put(const std::string& relative, std::string_view bytes) {
        if (written_.contains(relative)) return true;  // a sketch two meetings name
        const fs::path path = folder_ / Utf8Path(relative);
        const std::string hash = Hex(Fnv1a64(bytes));
        std::error_code ec;
        const fs::file_status status = fs::symlink_status(path, ec);
        if (fs::exists(status) && !MayReplace(relative, path, status, bytes)) {
            summary_.kept.push_back(path);
            return true;
        }
        platform::UniqueFile file = platform::OpenFile(path, "wb");
        const bool ok = file && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
                        std::fclose(file.release()) == 0;
        if (!ok) {
            summary_.error = "cannot write " + platform::PathToUtf8(path);
            return false;
        }
        summary_.files.push_back(path);
        written_.emplace(relative, hash);
        return true;
    }

    // Removes what the earlier export wrote and this one did not, where unchanged, and writes the
    // manifest of this one. A run that stopped part-way removes nothing and keeps naming the
    // earlier files it did not reach.
    bool Finish(bool complete) {
        for (const auto& [relative, hash] : earlier_) {
            if (written_.contains(relative)) continue;
            if (!complete) {
                written_.emplace(relative, hash);
                continue;
            }
            const fs::path path = folder_ / Utf8Path(relative);
            std::error_code ec;
            std::string bytes;
            if (fs::is_regular_file(fs::symlink_status(path, ec)) && ReadWhole(path, bytes) &&
                Hex(Fnv1a64(bytes)) == hash)
                fs::remove(path, ec);
        }
        std::string manifest = std::string(kManifestHeader) + "\n";
        for (const auto& [relative, hash] : written_) manifest += hash + " " + relative + "\n";
        ExportSummary manifestSummary;
        if (!WriteExportFile(folder_ / kVaultManifest, manifest, manifestSummary)) {
            if (summary_.error.empty()) summary_.error = manifestSummary.error;
            return false;
        }
        return true;
    }

private:
    // A file there is replaced when it is one the earlier export wrote, unchanged; in a folder
    // that held no vault, the caller asked first. A link or a folder of that name is never
    // written through.
    bool MayReplace(const std::string& relative, const fs::path& path, const fs::file_status& status,
                    std::string_view bytes) {
        if (!fs::is_regular_file(status)) return false;
        if (!refresh_) return true;
        std::string present;
        if (!ReadWhole(path, present)) return false;
        const auto earlier = earlier_.find(relative);
        if (earlier != earlier_.end() && Hex(Fnv1a64(present)) == earlier->second) return true;
        if (present == bytes) {
            written_.emplace(relative, Hex(Fnv1a64(bytes)));
            return true;
        }
        return false;
    }

    fs::path folder_;
    ExportSummary& summary_;
    std::map<std::string, std::string> earlier_;  // path → hash as the earlier export wrote it
    std::map<std::string, std::string> written_;
    bool refresh_;
};

class NoteComposer {
public:
    NoteComposer(const MeetingDatabase& store, const VaultPlan& plan, ExportText& text, ExportSummary& summary,
                 VaultWriter& writer)
        : store_(store), plan_(plan), text_(text), summary_(summary), writer_(writer) {}

    bool WriteMeeting(const MeetingNote& note) {
        const Meeting& m = *store_.MeetingAt(note.index);
        const std::string title = text_.Utf8(m.szTitle);
        std::string head = "---\nid: " + std::to_string(m.dwDBID) + "\ntitle: " + YamlString(title) + "\n";
        const std::pair<const char*, std::optional<std::string>> when[] = {
            {"date", ValidIsoDate(m.date)},
            {"start", ValidIsoTime(m.startHour, m.startMinute)},
            {"end", ValidIsoTime(m.endHour, m.endMinute)}};
        for (const auto& [key, value] : when) {
            if (value) head += std::string(key) + ": " + YamlString(*value) + "\n";
        }
        const std::string category = text_.Utf8(m.szCategory);
        head += "location: " + YamlString(text_.Utf8(m.szLocation)) + "\ncategory: " + YamlString(category) + "\n";

        std::string agendas, toDos, notes, sketches;
        std::vector<std::string> attendees;
        bool ok = true;
        const ItemCounts counts = ForEachItem(
            store_, m.dwDBID,
            ItemVisitor{
                [&](const Agenda& a, const MeetingItem&) {
                    agendas += (a.nStatus == 1 ? "- [x] " : "- [ ] ") + MarkdownText(text_.Utf8(a.szText), "  ") + "\n";
                },
                [&](const Note& n, const MeetingItem&) {
                    const std::string body = MarkdownText(text_.Utf8(n.szText));
                    if (!body.empty()) notes += body + "\n\n";
                },
                [&](const ToDo& t, const MeetingItem&) {
                    toDos += (t.bCompleted == 1 ? "- [x] " : "- [ ] ") + MarkdownText(text_.Utf8(t.szText), "  ");
                    if (const std::optional<std::string> due = ValidIsoDueDate(t.dueDate))
                        toDos += " \xF0\x9F\x93\x85 " + *due;  // 📅
                    toDos += std::string(PriorityMark(t.nPriority)) + "\n";
                },
                [&](const Sketch& s, const MeetingItem&) { ok = ok && AddSketch(s, sketches); },
                [&](const Attendee& a, const MeetingItem&) {
                    attendees.push_back(text_.Utf8(AttendeeDisplayName(SplitAttendeeText(a.szText))) +
                                        (a.bAbsent != 0 ? std::string(kAbsentMark) : ""));
                }});
        summary_ += counts;
        if (!ok) return false;
        head += YamlList("attendees", attendees);
        head += YamlList("tags", category.empty() ? std::vector<std::string>{} : std::vector<std::string>{category});
        head += "---\n\n# " + MarkdownText(title, "", true) + "\n";
        std::string people;
        for (const auto& [person, absent] : note.people) {
            const std::string& name = plan_.people[person].name;
            people +=
                "- " +
                Link(name.empty() ? kNoName : name, std::string(kPeopleFolder) + "/" + plan_.personNames[person]) +
                (absent ? std::string(kAbsentMark) : "") + "\n";
        }
        const std::pair<std::string_view, std::string*> sections[] = {
            {"議題", &agendas}, {"ToDo", &toDos}, {"メモ", &notes}, {"スケッチ", &sketches}, {"出席者", &people}};
        for (const auto& [heading, body] : sections) {
            if (body->empty()) continue;
            while (body->ends_with("\n\n")) body->pop_back();
            head += "\n## " + std::string(heading) + "\n\n" + *body;
        }
        return writer_.Put(note.name, head);
    }

    bool WritePerson(std::size_t p, const AddressBook& book) {
        const Person& person = plan_.people[p];
        std::string page = "---\nname: " + YamlString(person.name) + "\ncompany: " + YamlString(person.company) + "\n";
        if (person.addressId) page += "addressId: " + std::to_string(*person.addressId) + "\n";
        if (const Address* a = person.addressId ? book.FindAddress(*person.addressId) : nullptr)
            page += AddressFields(*a);
        page += "---\n\n# " + MarkdownText(person.name.empty() ? kNoName : person.name, "", true) +
                "\n\n## ミーティング\n\n";
        for (const Attendance& a : person.meetings) {
            const MeetingNote& note = plan_.notes[plan_.noteOf.at(a.meetingIndex)];
            page += "- " + Link(note.name.substr(0, note.name.size() - 3), "../" + note.name) +
                    (a.absent ? std::string(kAbsentMark) : "") + "\n";
        }
        return writer_.Put(std::string(kPeopleFolder) + "/" + plan_.personNames[p], page);
    }

    bool WriteIndex() {
        std::string page = "# 議事録\n\n";
        for (const MeetingNote& note : plan_.notes)
            page += "- " + Link(note.name.substr(0, note.name.size() - 3), note.name) + "\n";
        return writer_.Put(std::string(kIndexName), page);
    }

private:
    bool AddSketch(const Sketch& s, std::string& out) {
        const std::string title = text_.Utf8(s.szTitle);
        if (!s.image.HasPixels()) {
            out += MarkdownText(title) + "\n\n";
            return true;
        }
        const std::string relative = AttachmentName(s);
        const std::vector<std::uint8_t> png = SketchPngBytes(s.image);
        if (png.empty()) {
            summary_.error = "cannot write the sketch picture " + relative;
            return false;
        }
        out += "!" + Link(title, relative) + "\n\n";
        return writer_.Put(relative, std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
    }

    std::string AddressFields(const Address& a) {
        std::string out;
        const std::pair<const char*, std::string_view> fields[] = {
            {"lastName", a.LastName()}, {"firstName", a.FirstName()}, {"jobTitle", a.Title()},
            {"address", a.Street()},    {"city", a.City()},           {"state", a.State()},
            {"zip", a.Zip()},           {"country", a.Country()},     {"note", a.Note()}};
        for (const auto& [key, value] : fields) out += std::string(key) + ": " + YamlString(text_.Utf8(value)) + "\n";
        out += "phones:\n";
        for (int n = 1; n <= kAddressPhoneCount; ++n) {
            out += "  - label: " + YamlString(text_.Utf8(a.PhoneLabel(n))) +
                   "\n    number: " + YamlString(text_.Utf8(a.Phone(n))) + "\n";
        }
        std::vector<std::string> custom;
        for (int n = 1; n <= kAddressCustomCount; ++n) custom.push_back(text_.Utf8(a.Custom(n)));
        return out + YamlList("custom", custom);
    }

    const MeetingDatabase& store_;
    const VaultPlan& plan_;
    ExportText& text_;
    ExportSummary& summary_;
    VaultWriter& writer_;
};

}  // namespace

bool IsEarlierVault(const fs::path& folder) {
    std::ifstream in(folder / kVaultManifest, std::ios::binary);
    std::string line;
    return std::getline(in, line) && line == kManifestHeader;
}

std::vector<fs::path> VaultFilesToReplace(const MeetingDatabase& store, const AddressBook& book,
                                          const MeetingIndexes& selection, const fs::path& folder) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec) || fs::is_empty(folder, ec) || IsEarlierVault(folder)) return {};
    const VaultPlan plan = Plan(store, book, selection);
    std::vector<std::string> names = {std::string(kIndexName), std::string(kVaultManifest)};
    for (const MeetingNote& note : plan.notes) names.push_back(note.name);
    for (const std::string& person : plan.personNames) names.push_back(std::string(kPeopleFolder) + "/" + person);
    for (const std::int32_t index : selection) {
        const Meeting* m = store.MeetingAt(index);
        if (m == nullptr) continue;
        for (const MeetingItem& item : store.ItemsOf(m->dwDBID, ChildType::kSketch)) {
            if (const Sketch* s = store.SketchOf(item); s != nullptr && s->image.HasPixels())
                names.push_back(AttachmentName(*s));
        }
    }
    std::vector<fs::path> taken;
    for (const std::string& name : names) {
        const fs::path path = folder / Utf8Path(name);
        if (fs::exists(fs::symlink_status(path, ec))) taken.push_back(path);
    }
    if (taken.empty()) taken.push_back(folder);
    return taken;
}

bool WriteMarkdownVault(const MeetingDatabase& store, const AddressBook& book, const MeetingIndexes& selection,
                        const fs::path& folder, ExportText& text, ExportSummary& summary,
                        const ExportProgress& progress) {
    std::error_code ec;
    for (const fs::path& f : {folder, folder / kPeopleFolder, folder / kAttachmentFolder}) {
        fs::create_directories(f, ec);
        std::error_code probe;
        if (!fs::is_directory(f, probe)) {
            if (!ec) ec = std::make_error_code(std::errc::not_a_directory);
            summary.error = "cannot create the folder " + platform::PathToUtf8(f) + ": " + ec.message();
            return false;
        }
    }
    const VaultPlan plan = Plan(store, book, selection);
    VaultWriter writer(folder, summary);
    NoteComposer composer(store, plan, text, summary, writer);
    bool ok = true;
    std::int64_t done = 0;
    for (const MeetingNote& note : plan.notes) {
        ++summary.meetings;
        if (!composer.WriteMeeting(note)) {
            ok = false;
            break;
        }
        if (progress && !progress(++done, static_cast<std::int64_t>(plan.notes.size()))) {
            summary.cancelled = true;
            ok = false;
            break;
        }
    }
    for (std::size_t p = 0; ok && p < plan.people.size(); ++p) ok = composer.WritePerson(p, book);
    ok = ok && composer.WriteIndex();
    // The manifest names what was written even when the run stopped, so the next run refreshes it.
    ok = writer.Finish(ok) && ok;
    summary.replacements = text.Replacements();
    return ok;
}

}  // namespace tavolex
