#include "export/icalendar_writer.h"

#include "address_book/address_book.h"
#include "base/calendar_date.h"
#include "export/content_lines.h"
#include "export/progress_counter.h"
#include "meeting_store/date_format.h"
#include "meeting_store/item_walk.h"
#include "meeting_store/meeting_database.h"
#include "platform/platform.h"
#include "resources/string_table.h"

#include <cstdio>
#include <set>

namespace tavolex {
namespace {

// "20261102" from "2026-11-02".
std::string Compact(const std::string& iso) {
    std::string out;
    for (const char c : iso) {
        if (c != '-' && c != ':') out += c;
    }
    return out;
}

std::string UtcStamp(std::time_t stamp) {
    const std::tm utc = platform::UtcTime(stamp);
    char text[64];
    std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d%02dZ", utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday,
                  utc.tm_hour, utc.tm_min, utc.tm_sec);
    return text;
}

// The attendee's e-mail address from the address book: the first phone labelled E-mail.
std::string EmailOf(const AddressBook& book, std::uint32_t addressId) {
    const Address* address = book.FindAddress(addressId);
    if (address == nullptr) return {};
    for (int n = 1; n <= kAddressPhoneCount; ++n) {
        if (address->PhoneLabel(n) == StringTableText(kIdsPhoneEmail) && !address->Phone(n).empty()) {
            return std::string(address->Phone(n));
        }
    }
    return {};
}

class CalendarWriter {
public:
    CalendarWriter(const MeetingDatabase& store, const AddressBook& book, const std::filesystem::path& userFolder,
                   std::time_t stamp, ExportText& text, ExportSummary& summary)
        : store_(store),
          book_(book),
          stamp_(UtcStamp(stamp)),
          user_(UserUidPart(userFolder)),
          text_(text),
          summary_(summary) {
        std::vector<std::uint32_t> ids;
        for (const auto& meeting : store.Meetings()) ids.push_back(meeting->dwDBID);
        meetingOccurrences_ = Occurrences(ids);
        ids.clear();
        for (std::int32_t i = 0; i < store.ToDoCount(); ++i) ids.push_back(store.ToDoAt(i)->dwDBID);
        toDoOccurrences_ = Occurrences(ids);
    }

    void Begin() {
        lines_.Add("BEGIN", "VCALENDAR");
        lines_.Add("VERSION", "2.0");
        lines_.Add("PRODID", "-//Tavolex//Tavolex//JA");
        lines_.Add("CALSCALE", "GREGORIAN");
    }

    void AddMeeting(std::int32_t index) {
        const Meeting& meeting = *store_.MeetingAt(index);
        const std::optional<std::string> date = ValidIsoDate(meeting.date);
        if (!date) {
            // An event without a start is no event: the meeting is left out and counted, and its
            // to-dos stay, related to nothing.
            ++summary_.undated;
            for (const MeetingItem& item : store_.ItemsOf(meeting.dwDBID, ChildType::kToDo)) {
                if (store_.ToDoOf(item) != nullptr) AddToDo(item, nullptr);
            }
            return;
        }
        ++summary_.meetings;
        const std::string uid = RecordUid("meeting", meeting.dwDBID, meetingOccurrences_[index], user_);
        lines_.Add("BEGIN", "VEVENT");
        lines_.Add("UID", uid);
        lines_.Add("DTSTAMP", stamp_);
        AddWhen(meeting, *date);
        lines_.Add("SUMMARY", Text(meeting.szTitle));
        if (!meeting.szLocation.empty()) lines_.Add("LOCATION", Text(meeting.szLocation));
        if (!meeting.szCategory.empty()) lines_.Add("CATEGORIES", Text(meeting.szCategory));
        std::string description;
        std::vector<MeetingItem> toDos;
        // A to-do is counted where it is written: once, however many meetings share it.
        ItemCounts counts = ForEachItem(
            store_, meeting.dwDBID,
            ItemVisitor{[&](const Agenda& agenda, const MeetingItem&) { description += agenda.szText + '\n'; },
                        [&](const Note& note, const MeetingItem&) { description += note.szText + '\n'; },
                        [&](const Attendee& attendee, const MeetingItem&) { AddAttendee(attendee); },
                        [&](const ToDo&, const MeetingItem& item) { toDos.push_back(item); },
                        [](const Sketch&, const MeetingItem&) {}});
        counts.toDos = 0;
        summary_ += counts;
        if (!description.empty()) {
            description.pop_back();
            lines_.Add("DESCRIPTION", Text(description));
        }
        lines_.Add("END", "VEVENT");
        for (const MeetingItem& item : toDos) AddToDo(item, &uid);
    }

    std::string End() {
        lines_.Add("END", "VCALENDAR");
        return lines_.Take();
    }

private:
    std::string Text(std::string_view cp932) { return EscapeText(text_.Utf8(cp932)); }

    void AddWhen(const Meeting& meeting, const std::string& date) {
        const std::optional<std::string> start = ValidIsoTime(meeting.startHour, meeting.startMinute);
        if (!start) {
            // An all-day event ends at the start of the next day: some importers read an event
            // without an end as two days.
            lines_.Add("DTSTART;VALUE=DATE", Compact(date));
            if (const std::optional<CalendarDate> day = ParseIsoDate(date)) {
                lines_.Add("DTEND;VALUE=DATE", Compact(IsoDateText(NextDay(*day)).value_or(date)));
            }
            return;
        }
        lines_.Add("DTSTART", Compact(date) + "T" + Compact(*start) + "00");
        const std::optional<std::string> end = ValidIsoTime(meeting.endHour, meeting.endMinute);
        if (end && *end >= *start) lines_.Add("DTEND", Compact(date) + "T" + Compact(*end) + "00");
    }

    void AddAttendee(const Attendee& attendee) {
        const AttendeeName name = SplitAttendeeText(attendee.szText);
        // An address that is not one (a typing slip, or text made to break the line) gives way to
        // the attendee's own URN; the name stays in CN.
        const std::optional<std::string> mailto = MailtoUri(text_.Utf8(EmailOf(book_, attendee.dwAddressID)));
        const std::string address = mailto.value_or("urn:x-tavolex:attendee:" + std::to_string(attendee.dwDBID));
        std::string parameters = "ATTENDEE;CN=" + QuoteParameter(text_.Utf8(AttendeeDisplayName(name)));
        parameters += attendee.bAbsent != 0 ? ";PARTSTAT=DECLINED" : ";PARTSTAT=ACCEPTED";
        lines_.Add(parameters, address);
    }

    // `meetingUid`: the event the to-do is related to; none for a meeting left out.
    void AddToDo(const MeetingItem& item, const std::string* meetingUid) {
        const ToDo& toDo = *store_.ToDoOf(item);
        if (!toDosDone_.insert(&toDo).second) return;  // a to-do that several meetings share
        ++summary_.toDos;
        lines_.Add("BEGIN", "VTODO");
        lines_.Add("UID", RecordUid("todo", toDo.dwDBID, toDoOccurrences_[item.recordIndex], user_));
        lines_.Add("DTSTAMP", stamp_);
        lines_.Add("SUMMARY", Text(toDo.szText));
        if (const std::optional<std::string> due = ValidIsoDueDate(toDo.dueDate)) {
            const std::optional<std::string> time = ValidIsoTime(toDo.dueHour, toDo.dueMinute);
            if (time) {
                lines_.Add("DUE", Compact(*due) + "T" + Compact(*time) + "00");
            } else {
                lines_.Add("DUE;VALUE=DATE", Compact(*due));
            }
        }
        // The handheld's priorities 1 ... 5 are iCalendar's high to medium; 0 is "undefined".
        if (toDo.nPriority > 0) lines_.Add("PRIORITY", std::to_string(toDo.nPriority));
        lines_.Add("STATUS", toDo.bCompleted == 1 ? "COMPLETED" : "NEEDS-ACTION");
        if (meetingUid != nullptr) lines_.Add("RELATED-TO", *meetingUid);
        lines_.Add("END", "VTODO");
    }

    const MeetingDatabase& store_;
    const AddressBook& book_;
    std::string stamp_;
    std::string user_;
    std::vector<int> meetingOccurrences_;  // by store position
    std::vector<int> toDoOccurrences_;
    ExportText& text_;
    ExportSummary& summary_;
    ContentLines lines_;
    std::set<const ToDo*> toDosDone_;
};

}  // namespace

std::string WriteICalendar(const MeetingDatabase& store, const AddressBook& book,
                           const std::filesystem::path& userFolder, const MeetingIndexes& selection, std::time_t stamp,
                           ExportText& text, ExportSummary& summary, const ExportProgress& progress) {
    CalendarWriter writer(store, book, userFolder, stamp, text, summary);
    writer.Begin();
    ProgressCounter steps(progress, selection.size(), summary);
    for (const std::int32_t index : selection) {
        if (store.MeetingAt(index) != nullptr) writer.AddMeeting(index);
        if (!steps.Step()) return {};
    }
    summary.replacements = text.Replacements();
    return writer.End();
}

}  // namespace tavolex
