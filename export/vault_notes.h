#pragma once
// The Markdown vault's notes: where each goes, decided before anything is written (a note per
// meeting in the top folder, a note per person in people/, names made by the report-name rules and
// unique as file systems that ignore letter case compare them), and the notes themselves with their
// front matter, the meeting's items in sections, the sketches as PNG pictures, and the index.

#include "export/export_text.h"
#include "meeting_query/across_meetings.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tavolex {
class AddressBook;
struct Address;
}  // namespace tavolex

namespace tavolex::vault {

class VaultWriter;

struct MeetingNote {
    std::int32_t index = 0;
    std::string name;                                  // UTF-8, in the vault's top folder
    std::vector<std::pair<std::size_t, bool>> people;  // person, absent
};

struct VaultPlan {
    std::vector<MeetingNote> notes;  // by date
    std::vector<Person> people;
    std::vector<std::string> personNames;  // UTF-8, in people/
    std::map<std::int32_t, std::size_t> noteOf;
};

// Where everything of a vault goes. Refreshing an earlier vault (`earlier`), a meeting keeps its
// note's name while its title gives the same stem, whatever came or went before it; a name held by
// a note that stays (edited, or of a meeting no longer exported and changed since) is not given to
// another meeting.
[[nodiscard]] VaultPlan Plan(const MeetingDatabase& store, const AddressBook& book, const MeetingIndexes& selection,
                             const VaultWriter* earlier = nullptr);

// "attachments/<the sketch's picture name>.png".
[[nodiscard]] std::string AttachmentName(const Sketch& sketch);

// Writes the notes of a plan through the writer; each false with summary.error set when a file
// can't be written.
class NoteComposer {
public:
    NoteComposer(const MeetingDatabase& store, const VaultPlan& plan, ExportText& text, ExportSummary& summary,
                 VaultWriter& writer)
        : store_(store), plan_(plan), text_(text), summary_(summary), writer_(writer) {}

    bool WriteMeeting(const MeetingNote& note);
    bool WritePerson(std::size_t p, const AddressBook& book);
    bool WriteIndex();

private:
    bool AddSketch(const Sketch& s, std::string& out);
    std::string AddressFields(const Address& a);

    const MeetingDatabase& store_;
    const VaultPlan& plan_;
    ExportText& text_;
    ExportSummary& summary_;
    VaultWriter& writer_;
};

}  // namespace tavolex::vault
