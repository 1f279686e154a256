#include "meeting_query/across_meetings.h"

#include "address_book/address_book.h"
#include "base/attendee_name.h"
#include "meeting_query/text_match.h"
#include "meeting_store/date_format.h"
#include "meeting_store/item_walk.h"
#include "platform/platform.h"

#include <algorithm>
#include <unordered_map>

namespace tavolex {
namespace {

std::string U8(std::string_view cp932) { return platform::Cp932ToUtf8(cp932); }

// An attendee's own name as the address book orders one: last name, one space, first name; the
// company alone when it has neither.
std::string OwnName(const AttendeeName& name) {
    if (!name.lastName.empty() && !name.firstName.empty()) return name.lastName + " " + name.firstName;
    if (!name.lastName.empty() || !name.firstName.empty()) return name.lastName + name.firstName;
    return std::string(name.ShownCompany());
}

// Dates first, in calendar order (their ISO texts sort so); none last.
int CompareDue(const std::optional<std::string>& a, const std::optional<std::string>& b) {
    if (a.has_value() != b.has_value()) return a ? -1 : 1;
    return a ? a->compare(*b) : 0;
}

}  // namespace

std::vector<ToDoRow> CollectToDos(const MeetingDatabase& store, const std::vector<std::int32_t>& indexes) {
    std::vector<ToDoRow> rows;
    for (const std::int32_t index : indexes) {
        const Meeting* meeting = store.MeetingAt(index);
        if (meeting == nullptr) continue;
        const std::optional<std::string> date = ValidIsoDate(meeting->date);
        const std::string title = U8(meeting->szTitle);
        const std::size_t from = rows.size();
        for (const MeetingItem& item : store.ItemsOf(meeting->dwDBID, ChildType::kToDo)) {
            const ToDo* t = store.ToDoOf(item);
            if (t == nullptr) continue;
            rows.push_back({index, meeting->dwDBID, date, title, item, t->dwDBID, ValidIsoDueDate(t->dueDate),
                            ValidIsoTime(t->dueHour, t->dueMinute), t->nPriority, t->bCompleted == 1, U8(t->szText)});
        }
        // The per-type map lists a meeting's to-dos in map order; the meeting's own order is the link's.
        std::stable_sort(rows.begin() + static_cast<std::ptrdiff_t>(from), rows.end(),
                         [](const ToDoRow& a, const ToDoRow& b) { return a.item.linkMapIndex < b.item.linkMapIndex; });
    }
    return rows;
}

void SortToDos(std::vector<ToDoRow>& rows, ToDoOrder order) {
    const auto less = [order](const ToDoRow& a, const ToDoRow& b) {
        switch (order) {
            case ToDoOrder::kOpenFirst:
                if (a.done != b.done) return !a.done;
                return CompareDue(a.dueDate, b.dueDate) < 0;
            case ToDoOrder::kDue: return CompareDue(a.dueDate, b.dueDate) < 0;
            case ToDoOrder::kPriority:
                if (a.priority != b.priority) return a.priority < b.priority;
                return CompareDue(a.dueDate, b.dueDate) < 0;
            case ToDoOrder::kMeeting: return false;
        }
        return false;
    };
    std::stable_sort(rows.begin(), rows.end(), less);
}

std::vector<Person> CollectPeople(const MeetingDatabase& store, const AddressBook& book,
                                  const std::vector<std::int32_t>& indexes) {
    std::vector<Person> people;
    std::vector<std::u16string> keys;  // each person's name folded, for the order
    std::unordered_map<std::uint32_t, std::size_t> byAddress;
    std::unordered_map<std::u16string, std::size_t> byName;
    std::unordered_map<std::string, std::u16string> folded;  // stored texts met before, folded once
    const auto fold = [&](const std::string& cp932) -> const std::u16string& {
        auto it = folded.find(cp932);
        if (it == folded.end()) it = folded.emplace(cp932, FoldedText(cp932)).first;
        return it->second;
    };
    const auto add = [&](std::string name, std::string_view company, std::optional<std::uint32_t> addressId) {
        keys.push_back(fold(name));
        people.push_back({U8(name), U8(company), addressId, {}, 0, 0, {}, {}});
        return people.size() - 1;
    };
    // First the linked attendees, so that an unlinked spelling met earlier still finds its person.
    for (int pass = 0; pass < 2; ++pass) {
        for (const std::int32_t index : indexes) {
            const Meeting* meeting = store.MeetingAt(index);
            if (meeting == nullptr) continue;
            const std::optional<std::string> date = ValidIsoDate(meeting->date);
            for (const MeetingItem& item : store.ItemsOf(meeting->dwDBID, ChildType::kAttendee)) {
                const Attendee* a = store.AttendeeOf(item);
                if (a == nullptr) continue;
                const Address* address = book.FindAddress(a->dwAddressID);
                const AttendeeName parts = SplitAttendeeText(a->szText);
                const std::string stored = OwnName(parts);
                std::size_t who = 0;
                if (pass == 0) {
                    if (address == nullptr) continue;
                    const auto [it, added] = byAddress.try_emplace(a->dwAddressID, people.size());
                    if (added) add(AddressBookName(*address), address->Company(), a->dwAddressID);
                    if (!stored.empty()) byName.try_emplace(fold(stored), it->second);
                    continue;
                }
                if (address != nullptr) {
                    who = byAddress.at(a->dwAddressID);
                } else {
                    const auto [it, added] = byName.try_emplace(fold(stored), people.size());
                    if (added) add(stored, parts.ShownCompany(), std::nullopt);
                    who = it->second;
                }
                Person& p = people[who];
                const bool absent = a->bAbsent != 0;
                if (!p.meetings.empty() && p.meetings.back().meetingIndex == index) {
                    if (p.meetings.back().absent && !absent) p.meetings.back().absent = false, --p.absent, ++p.attended;
                    continue;
                }
                p.meetings.push_back({index, absent});
                ++(absent ? p.absent : p.attended);
                if (date && (!p.first || *date < *p.first)) p.first = date;
                if (date && (!p.last || *date > *p.last)) p.last = date;
            }
        }
    }
    std::vector<std::size_t> order(people.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    std::vector<Person> sorted;
    sorted.reserve(people.size());
    for (const std::size_t i : order) {
        if (!people[i].meetings.empty()) sorted.push_back(std::move(people[i]));
    }
    return sorted;
}

std::vector<Person> PeopleMatching(std::vector<Person> people, std::string_view utf8) {
    const TextMatch match(utf8);
    std::erase_if(people, [&](const Person& p) { return !match.Matches(platform::Utf8ToCp932(p.name)); });
    return people;
}

}  // namespace tavolex
