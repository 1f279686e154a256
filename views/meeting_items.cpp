#include "views/meeting_items.h"

#include "address_book/address_book.h"
#include "meeting_store/item_walk.h"
#include "views/pane_text.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace tavolex {
namespace {

// Address-book positions by record id, made on the first attendee a refill meets, so a meeting
// with many attendees costs one sort of the book rather than one scan per attendee.
class AddressIndex {
public:
    explicit AddressIndex(const AddressBook& book) : book_(book) {}

    // The positions whose record id is addressId, in book order.
    std::span<const std::pair<std::uint32_t, std::int32_t>> Matches(std::uint32_t addressId) {
        if (!byId_) Build();
        const auto [first, last] =
            std::equal_range(byId_->begin(), byId_->end(), std::pair<std::uint32_t, std::int32_t>{addressId, 0},
                             [](const auto& a, const auto& b) { return a.first < b.first; });
        return {first, last};
    }

private:
    void Build() {
        byId_.emplace();
        byId_->reserve(static_cast<std::size_t>(book_.Count()));
        for (std::int32_t i = 0; i < book_.Count(); ++i) {
            byId_->emplace_back(static_cast<std::uint32_t>(book_.At(i).dwRecordID), i);
        }
        std::sort(byId_->begin(), byId_->end());  // equal ids stay in book order: the index breaks ties
    }

    const AddressBook& book_;
    std::optional<std::vector<std::pair<std::uint32_t, std::int32_t>>> byId_;
};

void SetTexts(MeetingItemEntry& entry, std::string_view text) {
    entry.displayText = ItemDisplayText(text);
    entry.fullText = ExpandLineFeeds(text);
}

MeetingItemEntry AgendaEntry(const Agenda& agenda) {
    MeetingItemEntry entry;
    entry.kind = ItemKind::kAgenda;
    entry.discussed = agenda.nStatus == 1 ? 1 : 0;
    entry.icon = entry.discussed ? PaneIcon::kAgendaDiscussed : PaneIcon::kAgendaNotDiscussed;
    SetTexts(entry, agenda.szText);
    return entry;
}

MeetingItemEntry ToDoEntry(const ToDo& toDo) {
    MeetingItemEntry entry;
    entry.kind = ItemKind::kToDo;
    entry.icon = toDo.bCompleted == 1 ? PaneIcon::kToDoCompleted : PaneIcon::kToDoOpen;
    entry.bCompleted = toDo.bCompleted;
    entry.nPriority = toDo.nPriority;
    entry.szDueDate = toDo.szDueDate;
    entry.szDueTime = toDo.szDueTime;
    SetTexts(entry, toDo.szText);
    return entry;
}

MeetingItemEntry NoteEntry(const Note& note) {
    MeetingItemEntry entry;
    entry.kind = ItemKind::kNote;
    entry.icon = PaneIcon::kNote;
    SetTexts(entry, note.szText);
    return entry;
}

MeetingItemEntry SketchEntry(const Sketch& sketch) {
    MeetingItemEntry entry;
    entry.kind = ItemKind::kSketch;
    entry.icon = PaneIcon::kSketch;
    entry.displayText = ItemDisplayText(sketch.szTitle);
    return entry;
}

MeetingItemEntry AttendeeEntry(const Attendee& attendee) {
    MeetingItemEntry entry;
    entry.kind = ItemKind::kAttendee;
    entry.bAbsent = attendee.bAbsent;
    entry.icon = attendee.bAbsent != 0 ? PaneIcon::kAttendeeAbsent : PaneIcon::kAttendee;
    return entry;
}

class EntryBuilder {
public:
    EntryBuilder(const MeetingDatabase& database, const AddressBook& book)
        : database_(database), book_(book), index_(book) {}

    void Add(const MeetingItem& item) {
        VisitItem(database_, item,
                  ItemVisitor{[&](const Agenda& agenda, const MeetingItem&) { Push(AgendaEntry(agenda), item); },
                              [&](const ToDo& toDo, const MeetingItem&) { Push(ToDoEntry(toDo), item); },
                              [&](const Note& note, const MeetingItem&) { Push(NoteEntry(note), item); },
                              [&](const Sketch& sketch, const MeetingItem&) { Push(SketchEntry(sketch), item); },
                              [&](const Attendee& attendee, const MeetingItem&) { AddAttendee(attendee, item); }});
    }

    [[nodiscard]] bool Full() const { return entries_.size() >= static_cast<std::size_t>(kMaxItemEntries); }
    std::vector<MeetingItemEntry> Take() { return std::move(entries_); }

private:
    void AddAttendee(const Attendee& attendee, const MeetingItem& item) {
        const auto matches = index_.Matches(attendee.dwAddressID);
        if (matches.empty()) {
            MeetingItemEntry entry = AttendeeEntry(attendee);
            SetTexts(entry, AttendeeStoredName(attendee.szText));
            Push(std::move(entry), item);
            return;
        }
        for (const auto& [id, position] : matches) {
            MeetingItemEntry entry = AttendeeEntry(attendee);
            entry.foundInAddressBook = true;
            entry.addressIndex = position;
            SetTexts(entry, AddressBookName(book_.At(position)));
            Push(std::move(entry), item);
        }
    }

    void Push(MeetingItemEntry entry, const MeetingItem& item) {
        if (Full()) return;
        entry.item = item;
        entries_.push_back(std::move(entry));
    }

    const MeetingDatabase& database_;
    const AddressBook& book_;
    AddressIndex index_;
    std::vector<MeetingItemEntry> entries_;
};

}  // namespace

std::vector<MeetingItemEntry> BuildMeetingItemEntries(const MeetingDatabase& database, const AddressBook& book,
                                                      std::int32_t meetingIndex) {
    const Meeting* meeting = database.MeetingAt(meetingIndex);
    if (meeting == nullptr) return {};
    EntryBuilder builder(database, book);
    for (const MeetingItem& item : database.ItemsOf(meeting->dwDBID)) {
        if (builder.Full()) break;
        builder.Add(item);
    }
    return builder.Take();
}

std::vector<PaneRow> ItemRows(std::span<const MeetingItemEntry> entries) {
    std::vector<PaneRow> rows;
    rows.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        PaneRow row;
        row.texts[0] = entries[i].displayText;
        row.icon = entries[i].icon;
        row.parameter = static_cast<std::int64_t>(i);
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace tavolex
