#include "views/meeting_listing.h"

#include "meeting_store/date_format.h"
#include "meeting_store/item_walk.h"
#include "platform/platform.h"

#include <cstdio>

namespace tavolex {
namespace {

std::string U8(std::string_view cp932) { return platform::Cp932ToUtf8(cp932); }

}  // namespace

const char* ItemKindWord(ItemKind kind) {
    switch (kind) {
        case ItemKind::kAgenda: return "agenda";
        case ItemKind::kNote: return "note";
        case ItemKind::kToDo: return "todo";
        case ItemKind::kSketch: return "sketch";
        case ItemKind::kAttendee: return "attendee";
    }
    return "item";
}

MeetingListing ListMeeting(const MeetingDatabase& store, std::int32_t meetingIndex) {
    MeetingListing row;
    const Meeting* m = store.MeetingAt(meetingIndex);
    if (m == nullptr) return row;
    row.number = meetingIndex + 1;
    row.id = m->dwDBID;
    row.title = U8(m->szTitle);
    row.location = U8(m->szLocation);
    row.category = U8(m->szCategory);
    row.date = ValidIsoDate(m->date);
    row.start = ValidIsoTime(m->startHour, m->startMinute);
    if (row.start) row.end = ValidIsoTime(m->endHour, m->endMinute);
    row.dateText = U8(m->szDate);
    row.timeText = U8(m->szTime);
    return row;
}

std::vector<ItemListing> ListItems(const MeetingDatabase& store, const std::vector<MeetingItemEntry>& entries) {
    std::vector<ItemListing> rows;
    rows.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const MeetingItemEntry& e = entries[i];
        ItemListing row;
        row.number = static_cast<std::int32_t>(i + 1);
        row.kind = e.kind;
        row.displayText = U8(e.displayText);
        row.text = row.displayText;
        VisitItem(store, e.item,
                  ItemVisitor{[&](const Agenda& a, const MeetingItem&) {
                                  row.id = a.dwDBID;
                                  row.text = U8(a.szText);
                                  row.discussed = e.discussed == 1;
                              },
                              [&](const Note& n, const MeetingItem&) {
                                  row.id = n.dwDBID;
                                  row.text = U8(n.szText);
                              },
                              [&](const ToDo& t, const MeetingItem&) {
                                  row.id = t.dwDBID;
                                  row.text = U8(t.szText);
                                  row.completed = e.bCompleted == 1;
                                  row.priority = e.nPriority;
                                  row.dueDate = ValidIsoDueDate(t.dueDate);
                                  row.dueTime = ValidIsoTime(t.dueHour, t.dueMinute);
                                  row.dueDateText = U8(t.szDueDate);
                                  row.dueTimeText = U8(t.szDueTime);
                              },
                              [&](const Sketch& s, const MeetingItem&) {
                                  row.id = s.dwDBID;
                                  row.text = U8(s.szTitle);
                              },
                              [&](const Attendee& p, const MeetingItem&) {
                                  row.id = p.dwDBID;
                                  row.absent = e.bAbsent != 0;
                                  row.inAddressBook = e.foundInAddressBook;
                              }});
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<ItemListing> ListItems(const MeetingDatabase& store, const AddressBook& book, std::int32_t meetingIndex) {
    return ListItems(store, BuildMeetingItemEntries(store, book, meetingIndex));
}

}  // namespace tavolex
