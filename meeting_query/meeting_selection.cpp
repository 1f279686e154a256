#include "meeting_query/meeting_selection.h"

#include "address_book/address_book.h"
#include "meeting_query/text_match.h"
#include "platform/platform.h"
#include "views/meeting_items.h"
#include "views/meeting_listing.h"

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

bool IsIsoDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    int year = 0;
    int month = 0;
    int day = 0;
    const auto number = [&](std::size_t at, std::size_t length, int& value) {
        const auto [end, ec] = std::from_chars(text.data() + at, text.data() + at + length, value);
        return ec == std::errc() && end == text.data() + at + length;
    };
    if (!number(0, 4, year) || !number(5, 2, month) || !number(8, 2, day)) return false;
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1]) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return !(month == 2 && day == 29 && !leap);
}

SelectedMeetings SelectMeetings(const MeetingDatabase& store, const AddressBook& book, const MeetingSelection& selection) {
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
    const std::optional<TextMatch> category =
        selection.category ? std::optional<TextMatch>(std::in_place, *selection.category) : std::nullopt;
    const std::optional<TextMatch> attendee =
        selection.attendee ? std::optional<TextMatch>(std::in_place, *selection.attendee) : std::nullopt;
    for (std::int32_t i = 0; i < count; ++i) {
        if (!chosen[static_cast<std::size_t>(i)]) continue;
        const Meeting& m = *store.MeetingAt(i);
        if (selection.since || selection.until) {
            const std::string date = IsoDate(m.date);
            if (selection.since && date < *selection.since) continue;
            if (selection.until && date > *selection.until) continue;
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
        std::stable_sort(indexes.begin(), indexes.end(), [&](std::int32_t a, std::int32_t b) { return key(a) < key(b); });
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
