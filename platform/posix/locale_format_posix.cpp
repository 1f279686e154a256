#include "platform/platform.h"

#include <unicode/datefmt.h>
#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <cstdlib>
#include <memory>

namespace tavolex::platform {
namespace {

// The user's locale as the C library sees it: LC_ALL, then LC_TIME, then LANG.
std::string UserLocaleName() {
    for (const char* name : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return value;
    }
    return "C";
}

// "ja_JP.UTF-8" -> "ja_JP"; "C" and "POSIX" -> "en_US_POSIX".
std::string IcuLocaleId(const std::string& posixName) {
    std::string id = posixName.substr(0, posixName.find_first_of(".@"));
    if (id.empty() || id == "C" || id == "POSIX") return "en_US_POSIX";
    return id;
}

// The locale's short date with a two-digit year written with four digits; quoted literals stay.
void WidenTwoDigitYear(icu::SimpleDateFormat& format) {
    icu::UnicodeString pattern;
    format.toPattern(pattern);
    icu::UnicodeString widened;
    bool quoted = false;
    for (int32_t i = 0; i < pattern.length();) {
        const char16_t c = pattern.charAt(i);
        if (c == u'\'') quoted = !quoted;
        if (quoted || c != u'y') {
            widened.append(c);
            ++i;
            continue;
        }
        int32_t run = 0;
        while (i + run < pattern.length() && pattern.charAt(i + run) == u'y') ++run;
        widened.append(icu::UnicodeString(run == 2 ? u"yyyy" : icu::UnicodeString(run, u'y', run)));
        i += run;
    }
    format.applyPattern(widened);
}

struct Formatters {
    std::string localeName;
    std::unique_ptr<icu::DateFormat> date;
    std::unique_ptr<icu::DateFormat> time;
};

std::unique_ptr<icu::DateFormat> MakeFormatter(bool date, const icu::Locale& locale) {
    std::unique_ptr<icu::DateFormat> format(date
                                                ? icu::DateFormat::createDateInstance(icu::DateFormat::kShort, locale)
                                                : icu::DateFormat::createTimeInstance(icu::DateFormat::kShort, locale));
    if (!format) return nullptr;
    // Handheld dates and times are plain calendar values: no time zone, Gregorian calendar.
    UErrorCode status = U_ZERO_ERROR;
    auto calendar = std::make_unique<icu::GregorianCalendar>(icu::TimeZone::getGMT()->clone(), locale, status);
    if (U_SUCCESS(status)) format->adoptCalendar(calendar.release());
    if (date) {
        if (auto* simple = dynamic_cast<icu::SimpleDateFormat*>(format.get())) WidenTwoDigitYear(*simple);
    }
    return format;
}

// Formatters are built once per locale and thread (an ICU formatter is not to be shared between
// threads): a reload formats a date for every record.
Formatters& CurrentFormatters() {
    thread_local Formatters cache;
    const std::string name = UserLocaleName();
    if (cache.localeName != name || !cache.date) {
        const icu::Locale locale(IcuLocaleId(name).c_str());
        cache.localeName = name;
        cache.date = MakeFormatter(true, locale);
        cache.time = MakeFormatter(false, locale);
    }
    return cache;
}

std::string Format(icu::DateFormat* format, int year, int month, int day, int hour, int minute, int second) {
    if (format == nullptr) return {};
    icu::Calendar* calendar = format->getCalendar()->clone();
    if (calendar == nullptr) return {};
    std::unique_ptr<icu::Calendar> owned(calendar);
    calendar->clear();
    calendar->set(year, month - 1, day, hour, minute, second);
    UErrorCode status = U_ZERO_ERROR;
    const UDate when = calendar->getTime(status);
    if (U_FAILURE(status)) return {};
    icu::UnicodeString text;
    format->format(when, text);
    std::u16string wide(text.getBuffer(), static_cast<std::size_t>(text.length()));
    // ICU puts no-break and narrow no-break spaces where the user sees a blank.
    for (char16_t& c : wide) {
        if (c == 0x00A0 || c == 0x202F || c == 0x2009 || c == 0x2007) c = u' ';
    }
    return Utf16ToCp932(wide);
}

}  // namespace

std::string FormatShortDate(int year, int month, int day) {
    return Format(CurrentFormatters().date.get(), year, month, day, 12, 0, 0);
}

std::string FormatTimeOfDay(int hour, int minute, int second) {
    return Format(CurrentFormatters().time.get(), 2000, 1, 1, hour, minute, second);
}

}  // namespace tavolex::platform
