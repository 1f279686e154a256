#include "meeting_query/meeting_selection.h"

#include "address_book/address_book.h"
#include "base/attendee_name.h"
#include "base/calendar_date.h"
#include "meeting_store/date_format.h"
#include "meeting_query/text_match.h"
#include "platform/platform.h"

#include <algorithm>
#include <charconv>

namespace tavolex {
namespace {

bool ParseNumber(std::string_view text, std::int32_t& number) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    return ec == std::errc() && end == text.data() + text.size() && number >= 1;
}

bool AttendeeMatches(const MeetingDatabase& store, const AddressBook& book, const Meeting& meeting,
                     const TextMatch& match) {
    for (const MeetingItem& item : store.ItemsOf(meeting.dwDBID, ChildType::kAttendee)) {
        const Attendee* attendee = store.AttendeeOf(item);
        if (attendee == nullptr) continue;
        if (match.Matches(AttendeeStoredName(attendee->szText))) return true;
        if (const Address* address = book.FindAddress(attendee->dwAddressID)) {
            if (match.Matches(AddressBookName(*address))) return true;
        }
    }
    return false;
}

}  // namespace

bool ParseMeetingNumbers(std::string_view text, std::vector<MeetingRange>& ranges, std::string& error) {
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = text.find(',', start);
        const std::string_view part = text.substr(start, comma == std::string_view::npos ? text.npos : comma - start);
        const std::size_t dash = part.find('-');
        MeetingRange range;
        const bool ok = dash == std::string_view::npos
                            ? ParseNumber(part, range.first) && ParseNumber(part, range.last)
                            : ParseNumber(part.substr(0, dash), range.first) &&
                                  ParseNumber(part.substr(dash + 1), range.last) && range.first <= range.last;
        if (!ok) {
            error = "\"" + std::string(part) + "\" is not a meeting number or range (as in 3 or 1-5,8)";
            return false;
        }
        ranges.push_back(range);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return true;
}

bool IsIsoDate(std::string_view text) { return ParseIsoDate(text).has_value(); }

SelectedMeetings SelectMeetings(const MeetingDatabase& store, const AddressBook& book,
                                const MeetingSelection& selection) {
    SelectedMeetings result;
    const std::int32_t count = store.MeetingCount();
    std::vector<bool> chosen(static_cast<std::size_t>(count), selection.ranges.empty());
    for (const MeetingRange& range : selection.ranges) {
        if (range.last > count) {
            result.missingNumber = std::max(range.first, count + 1);
            return result;
        }
        for (std::int32_t n = range.first; n <= range.last; ++n) chosen[static_cast<std::size_t>(n - 1)] = true;
    }
    const std::optional<CalendarDate> since = selection.since ? ParseIsoDate(*selection.since) : std::nullopt;
    const std::optional<CalendarDate> until = selection.until ? ParseIsoDate(*selection.until) : std::nullopt;
    const std::optional<TextMatch> category =
        selection.category ? std::optional<TextMatch>(std::in_place, *selection.category) : std::nullopt;
    const std::optional<TextMatch> attendee =
        selection.attendee ? std::optional<TextMatch>(std::in_place, *selection.attendee) : std::nullopt;
    for (std::int32_t i = 0; i < count; ++i) {
        if (!chosen[static_cast<std::size_t>(i)]) continue;
        const Meeting& m = *store.MeetingAt(i);
        if (selection.since || selection.until) {
            // In calendar order, a damaged date too, as it lies among the real ones.
            const CalendarDate date = UnpackHandheldDate(m.date);
            if (since && date < *since) continue;
            if (until && date > *until) continue;
        }
        if (category && !category->Equals(m.szCategory)) continue;
        if (attendee && !AttendeeMatches(store, book, m, *attendee)) continue;
        result.indexes.push_back(i);
    }
    return result;
}

void SortMeetings(const MeetingDatabase& store, std::vector<std::int32_t>& indexes, MeetingOrder order) {
    if (order == MeetingOrder::kNumber) {
        std::sort(indexes.begin(), indexes.end());
        return;
    }
    if (order == MeetingOrder::kDate) {
        // Packed dates order as dates do; a meeting without a time (hour 255) sorts before those with one.
        const auto key = [&](std::int32_t i) {
            const Meeting& m = *store.MeetingAt(i);
            const std::uint32_t hour = m.startHour == 255 ? 0 : m.startHour + 1u;
            return (std::uint32_t{m.date} << 16) | (hour << 8) | m.startMinute;
        };
        std::stable_sort(indexes.begin(), indexes.end(),
                         [&](std::int32_t a, std::int32_t b) { return key(a) < key(b); });
        return;
    }
    std::vector<std::pair<std::u16string, std::int32_t>> keyed;
    keyed.reserve(indexes.size());
    for (const std::int32_t i : indexes) {
        keyed.emplace_back(platform::FoldForSearch(platform::Cp932ToUtf16(store.MeetingAt(i)->szTitle)), i);
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t k = 0; k < keyed.size(); ++k) indexes[k] = keyed[k].second;
}

}  // namespace tavolex
