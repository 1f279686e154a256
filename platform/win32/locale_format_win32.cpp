#include "platform/platform.h"

#include <windows.h>

namespace tavolex::platform {
namespace {

// The system formatter is given room for 255 characters including the NUL.
constexpr int kFormatRoom = 255;

std::string ToCp932(const wchar_t* text, int length) {
    if (length <= 1) return {};
    const std::u16string wide(text, text + length - 1);
    return Utf16ToCp932(wide);
}

}  // namespace

std::string FormatShortDate(int year, int month, int day) {
    SYSTEMTIME when{};
    when.wYear = static_cast<WORD>(year);
    when.wMonth = static_cast<WORD>(month);
    when.wDay = static_cast<WORD>(day);
    wchar_t text[kFormatRoom] = {};
    const int n = GetDateFormatW(LOCALE_USER_DEFAULT, 0, &when, nullptr, text, kFormatRoom);
    return ToCp932(text, n);
}

std::string FormatTimeOfDay(int hour, int minute, int second) {
    SYSTEMTIME when{};
    when.wYear = 2000;
    when.wMonth = 1;
    when.wDay = 1;
    when.wHour = static_cast<WORD>(hour);
    when.wMinute = static_cast<WORD>(minute);
    when.wSecond = static_cast<WORD>(second);
    wchar_t text[kFormatRoom] = {};
    const int n = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &when, nullptr, text, kFormatRoom);
    return ToCp932(text, n);
}

}  // namespace tavolex::platform
