#pragma once
// Calendar dates and times of day: whether the calendar and the clock have them, and their ISO
// texts. A damaged record can hold a date such as February 30; every ISO text leaves it out.

#include <compare>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace tavolex {

struct CalendarDate {
    int year;
    int month;
    int day;
    // In calendar order, as their ISO texts sort.
    auto operator<=>(const CalendarDate&) const = default;
};

[[nodiscard]] constexpr bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

[[nodiscard]] constexpr bool IsValidDate(const CalendarDate& d) {
    constexpr int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (d.month < 1 || d.month > 12 || d.day < 1) return false;
    return d.day <= kDaysInMonth[d.month - 1] + (d.month == 2 && IsLeapYear(d.year) ? 1 : 0);
}

[[nodiscard]] constexpr bool IsValidTime(int hour, int minute) {
    return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59;
}

// "2026-11-02"; nothing for a date the calendar does not have.
[[nodiscard]] inline std::optional<std::string> IsoDateText(const CalendarDate& d) {
    if (!IsValidDate(d)) return std::nullopt;
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year, d.month, d.day);
    return std::string(text);
}

// "09:05"; nothing for a time the clock does not have (hour 255 is the handheld's "no time").
[[nodiscard]] inline std::optional<std::string> IsoTimeText(int hour, int minute) {
    if (!IsValidTime(hour, minute)) return std::nullopt;
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d", hour, minute);
    return std::string(text);
}

// The day after a date the calendar has (December 31 runs into the next year).
[[nodiscard]] constexpr CalendarDate NextDay(CalendarDate d) {
    if (IsValidDate({d.year, d.month, d.day + 1})) return {d.year, d.month, d.day + 1};
    return d.month == 12 ? CalendarDate{d.year + 1, 1, 1} : CalendarDate{d.year, d.month + 1, 1};
}

// The date of an ISO "YYYY-MM-DD" text; nothing for another text or a date the calendar does not have.
[[nodiscard]] inline std::optional<CalendarDate> ParseIsoDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    int fields[3] = {0, 0, 0};
    constexpr std::size_t kStart[] = {0, 5, 8};
    constexpr std::size_t kLength[] = {4, 2, 2};
    for (int f = 0; f < 3; ++f) {
        for (std::size_t i = kStart[f]; i < kStart[f] + kLength[f]; ++i) {
            if (text[i] < '0' || text[i] > '9') return std::nullopt;
            fields[f] = fields[f] * 10 + (text[i] - '0');
        }
    }
    const CalendarDate d{fields[0], fields[1], fields[2]};
    if (!IsValidDate(d)) return std::nullopt;
    return d;
}

}  // namespace tavolex
