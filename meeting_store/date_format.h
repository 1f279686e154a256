#pragma once
// Handheld dates and times as the desktop user's short date and time texts (CP932 bytes).
// Every result is at most kMaxFormattedText bytes and never fails: values the system formatter
// rejects get a plain numeric text.

#include "base/calendar_date.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tavolex {

// 16-bit packed date: year - 1904 in bits 15..9, month in bits 8..5, day in bits 4..0.
using HandheldDate = std::uint16_t;

// The hour byte that means "no time".
inline constexpr std::uint8_t kNoTime = 255;

inline constexpr std::size_t kMaxFormattedText = 254;

[[nodiscard]] CalendarDate UnpackHandheldDate(HandheldDate date);

// "2026-11-02"; nothing for a date the calendar does not have (a damaged record).
[[nodiscard]] std::optional<std::string> ValidIsoDate(HandheldDate packed);
// "09:05"; nothing for hour 255 (no time) or a time the clock does not have.
[[nodiscard]] std::optional<std::string> ValidIsoTime(std::uint8_t hour, std::uint8_t minute);
// The due date of a to-do: nothing when the year field is 127 (no due date) or the date is not one.
[[nodiscard]] std::optional<std::string> ValidIsoDueDate(HandheldDate packed);

std::string FormatMeetingDate(HandheldDate date);
// As FormatMeetingDate; empty when the year field is 127 (no due date).
std::string FormatDueDate(HandheldDate date);
// "start - end"; empty when the start hour is 255; only the start when the end hour is 255.
std::string FormatTimeRange(std::uint8_t startHour, std::uint8_t startMinute, std::uint8_t endHour,
                            std::uint8_t endMinute);
// Empty when the hour is 255.
std::string FormatDueTime(std::uint8_t hour, std::uint8_t minute);

// Removes the second ':' and the (up to) two bytes after it: "9:05:00 AM" -> "9:05 AM".
void StripSeconds(std::string& text);
// The same on a NUL-terminated buffer, in place.
void StripSeconds(char* text);

}  // namespace tavolex
