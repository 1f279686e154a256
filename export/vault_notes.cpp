#include "export/vault_notes.h"

#include "address_book/address_book.h"
#include "export/file_stems.h"
#include "export/markdown_text.h"
#include "export/vault_files.h"
#include "meeting_query/text_match.h"
#include "meeting_store/item_walk.h"
#include "meeting_store/meeting_database.h"
#include "meeting_store/sketch_files.h"
#include "platform/platform.h"
#include "report_files/report_name.h"
#include "sketch/png_file.h"

#include <optional>
#include <set>
#include <string_view>

namespace tavolex::vault {
namespace {

constexpr const char* kNoName = "名前なし";  // a person whose stored name is empty
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

// Whether name is one Unique gives for stem: "<stem>.md" or "<stem> (n).md" with n from 2.
bool IsNameOf(std::string_view name, std::string_view stem) {
    if (!name.starts_with(stem) || !name.ends_with(".md")) return false;
    const std::string_view rest = name.substr(stem.size(), name.size() - stem.size() - 3);
    if (rest.empty()) return true;
    if (rest.size() < 4 || !rest.starts_with(" (") || !rest.ends_with(')') || rest[2] == '0') return false;
    const std::string_view digits = rest.substr(2, rest.size() - 3);
    return digits != "1" && digits.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

VaultPlan Plan(const MeetingDatabase& store, const AddressBook& book, const MeetingIndexes& selection,
               const VaultWriter* earlier) {
    VaultPlan plan;
    ExportText names;
    const MeetingIndexes byDate = MeetingsByDate(store, selection);
    for (const std::int32_t index : byDate) {
        const Meeting& m = *store.MeetingAt(index);
        const std::optional<std::string> date = ValidIsoDate(m.date);
        std::string stem = CleanStem(m.szTitle, names);
        if (date) stem = stem.empty() ? *date : *date + " " + stem;
        if (stem.empty()) stem = "無題";
        plan.noteOf.emplace(index, plan.notes.size());
        plan.notes.push_back({index, std::move(stem), {}});
    }
    // The earlier notes: a meeting exported again takes its own note's name back first; the names of
    // the notes that will stay are given to no other meeting.
    NameSet top({std::string(kIndexName)});
    std::vector<bool> named(plan.notes.size());
    if (earlier != nullptr) {
        std::map<std::uint32_t, std::size_t> noteOfId;
        for (std::size_t n = 0; n < plan.notes.size(); ++n)
            noteOfId.emplace(store.MeetingAt(plan.notes[n].index)->dwDBID, n);
        for (const EarlierNote& e : earlier->EarlierNotes()) {
            const auto own = e.id ? noteOfId.find(*e.id) : noteOfId.end();
            if (own != noteOfId.end() && !named[own->second] && IsNameOf(e.name, plan.notes[own->second].name) &&
                top.Take(e.name)) {
                plan.notes[own->second].name = e.name;
                named[own->second] = true;
            } else if (!earlier->Unchanged(e.name)) {
                top.Take(e.name);
            }
        }
    }
    for (std::size_t n = 0; n < plan.notes.size(); ++n) {
        if (!named[n]) plan.notes[n].name = top.Unique(plan.notes[n].name, ".md");
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

bool NoteComposer::WriteMeeting(const MeetingNote& note) {
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
        ItemVisitor{[&](const Agenda& a, const MeetingItem&) {
                        agendas +=
                            (a.nStatus == 1 ? "- [x] " : "- [ ] ") + MarkdownText(text_.Utf8(a.szText), "  ") + "\n";
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
            MarkdownLink(name.empty() ? kNoName : name, std::string(kPeopleFolder) + "/" + plan_.personNames[person]) +
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

bool NoteComposer::WritePerson(std::size_t p, const AddressBook& book) {
    const Person& person = plan_.people[p];
    std::string page = "---\nname: " + YamlString(person.name) + "\ncompany: " + YamlString(person.company) + "\n";
    if (person.addressId) page += "addressId: " + std::to_string(*person.addressId) + "\n";
    if (const Address* a = person.addressId ? book.FindAddress(*person.addressId) : nullptr) page += AddressFields(*a);
    page +=
        "---\n\n# " + MarkdownText(person.name.empty() ? kNoName : person.name, "", true) + "\n\n## ミーティング\n\n";
    for (const Attendance& a : person.meetings) {
        const MeetingNote& note = plan_.notes[plan_.noteOf.at(a.meetingIndex)];
        page += "- " + MarkdownLink(note.name.substr(0, note.name.size() - 3), "../" + note.name) +
                (a.absent ? std::string(kAbsentMark) : "") + "\n";
    }
    return writer_.Put(std::string(kPeopleFolder) + "/" + plan_.personNames[p], page);
}

bool NoteComposer::WriteIndex() {
    std::string page = "# 議事録\n\n";
    for (const MeetingNote& note : plan_.notes)
        page += "- " + MarkdownLink(note.name.substr(0, note.name.size() - 3), note.name) + "\n";
    return writer_.Put(std::string(kIndexName), page);
}

bool NoteComposer::AddSketch(const Sketch& s, std::string& out) {
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
    out += "!" + MarkdownLink(title, relative) + "\n\n";
    return writer_.Put(relative, std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
}

std::string NoteComposer::AddressFields(const Address& a) {
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

}  // namespace tavolex::vault
