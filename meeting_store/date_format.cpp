#include "meeting_store/date_format.h"

#include "base/shift_jis.h"
#include "platform/platform.h"

#include <cstdio>
#include <cstring>

namespace tavolex {
namespace {

// Cuts to kMaxFormattedText bytes without splitting a double-byte character.
void Limit(std::string& text) {
    if (text.size() <= kMaxFormattedText) return;
    text.resize(Cp932FitLength(text, kMaxFormattedText));
}

std::string Numeric(const char* format, int a, int b, int c = 0) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

std::string FormatDate(const CalendarDate& d) {
    // The system formatters disagree on impossible dates (Windows refuses them, ICU rolls them
    // over into the next month), so they only ever see valid ones.
    std::string text = IsValidDate(d) ? platform::FormatShortDate(d.year, d.month, d.day) : std::string();
    if (text.empty()) text = Numeric("%04d/%02d/%02d", d.year, d.month, d.day);
    Limit(text);
    return text;
}

std::string FormatTime(int hour, int minute) {
    std::string text = IsValidTime(hour, minute) ? platform::FormatTimeOfDay(hour, minute, 0) : std::string();
    if (text.empty()) return Numeric("%d:%02d", hour, minute);
    StripSeconds(text);
    Limit(text);
    return text;
}

}  // namespace

CalendarDate UnpackHandheldDate(HandheldDate date) { return {(date >> 9) + 1904, (date >> 5) & 15, date & 31}; }

std::string FormatMeetingDate(HandheldDate date) { return FormatDate(UnpackHandheldDate(date)); }

std::string FormatDueDate(HandheldDate date) {
    if ((date >> 9) == 127) return {};
    return FormatDate(UnpackHandheldDate(date));
}

std::string FormatTimeRange(std::uint8_t startHour, std::uint8_t startMinute, std::uint8_t endHour,
                            std::uint8_t endMinute) {
    if (startHour == kNoTime) return {};
    std::string text = FormatTime(startHour, startMinute);
    if (endHour == kNoTime) return text;
    text += " - ";
    text += FormatTime(endHour, endMinute);
    Limit(text);
    return text;
}

std::string FormatDueTime(std::uint8_t hour, std::uint8_t minute) {
    if (hour == kNoTime) return {};
    return FormatTime(hour, minute);
}

void StripSeconds(std::string& text) {
    const std::size_t first = text.find(':');
    if (first == std::string::npos) return;
    const std::size_t second = text.find(':', first + 1);
    if (second == std::string::npos) return;
    text.erase(second, 3);
}

void StripSeconds(char* text) {
    char* first = std::strchr(text, ':');
    if (first == nullptr) return;
    char* second = std::strchr(first + 1, ':');
    if (second == nullptr) return;
    std::size_t removed = 1;
    while (removed < 3 && second[removed] != '\0') ++removed;
    std::memmove(second, second + removed, std::strlen(second + removed) + 1);
}

std::optional<std::string> ValidIsoDate(HandheldDate packed) { return IsoDateText(UnpackHandheldDate(packed)); }

std::optional<std::string> ValidIsoTime(std::uint8_t hour, std::uint8_t minute) { return IsoTimeText(hour, minute); }

std::optional<std::string> ValidIsoDueDate(HandheldDate packed) {
    if ((packed >> 9) == 127) return std::nullopt;
    return ValidIsoDate(packed);
}

}  // namespace tavolex
