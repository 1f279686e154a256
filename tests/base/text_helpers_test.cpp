#include "base/ascii.h"
#include "base/calendar_date.h"
#include "base/shift_jis.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tavolex {
namespace {

// A cut never ends inside a double-byte character; after a stray lead byte the panes' and paths'
// reading keeps a byte that cannot end a character (here '/' and '\n') as a character of its own.
TEST(ShiftJisTest, FitLengthEndsOnACharacter) {
    struct Row {
        std::string_view text;
        std::size_t maxBytes;
        std::size_t any;
        std::size_t trailOnly;
    };
    const Row table[] = {
        {"ab", 5, 2, 2},          {"\x93\xfa\x96\x7b", 3, 2, 2}, {"a\x93\xfa", 2, 1, 1},
        {"\x93/a", 1, 0, 1},      {"\x93\na", 2, 2, 2},          {"\x93\n", 1, 0, 1},
        {"a\x93", 1, 1, 1},       {"\x81\x7f", 1, 0, 1},         {"", 0, 0, 0},
    };
    for (const Row& r : table) {
        EXPECT_EQ(Cp932FitLength(r.text, r.maxBytes), r.any) << r.text;
        EXPECT_EQ(Cp932FitLength(r.text, r.maxBytes, TrailRule::kTrailByteOnly), r.trailOnly) << r.text;
    }
    EXPECT_EQ(Cp932CharOffset("\x93\xfa" "a", 1), 2u);
    EXPECT_EQ(Cp932CharOffset("a", 3), 1u);
}

// Only ASCII letters fold; the bytes of Shift-JIS and Latin-1 letters pass through.
TEST(AsciiTest, OnlyAsciiLettersFold) {
    EXPECT_EQ(LowerAsciiText("Tavolex.HTM \x82\x60"), "tavolex.htm \x82\x60");
    EXPECT_EQ(UpperAscii('z'), 'Z');
    EXPECT_EQ(UpperAscii('\xE0'), '\xE0');
    EXPECT_TRUE(EqualsIgnoringAsciiCase("Address.DAT", "address.dat"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("address.da", "address.dat"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC1", "\xE1"));
}

// One validity for every ISO text: a date the calendar does not have gives none, and a parsed
// text must be a real date in the YYYY-MM-DD form.
TEST(CalendarDateTest, OnlyRealDatesAndTimesHaveIsoTexts) {
    const std::pair<CalendarDate, std::optional<std::string>> dates[] = {
        {{2026, 11, 2}, "2026-11-02"}, {{2024, 2, 29}, "2024-02-29"}, {{2000, 2, 29}, "2000-02-29"},
        {{1904, 1, 31}, "1904-01-31"}, {{1900, 2, 29}, std::nullopt}, {{2027, 2, 29}, std::nullopt},
        {{2027, 2, 30}, std::nullopt}, {{2026, 4, 31}, std::nullopt}, {{2026, 0, 1}, std::nullopt},
        {{2026, 13, 1}, std::nullopt}, {{2026, 1, 0}, std::nullopt},
    };
    for (const auto& [date, iso] : dates) {
        EXPECT_EQ(IsoDateText(date), iso) << date.year << '-' << date.month << '-' << date.day;
        EXPECT_EQ(ParseIsoDate(iso.value_or("")), iso ? std::optional<CalendarDate>(date) : std::nullopt);
    }
    for (const char* text : {"2026-1-02", "2026/11/02", "-001-01-01", "2026-11-0x", "2026-11-02 "}) {
        EXPECT_EQ(ParseIsoDate(text), std::nullopt) << text;
    }
    EXPECT_LT((CalendarDate{2027, 2, 30}), (CalendarDate{2027, 3, 1}));
    EXPECT_EQ(IsoTimeText(9, 5), "09:05");
    EXPECT_EQ(IsoTimeText(23, 59), "23:59");
    EXPECT_EQ(IsoTimeText(24, 0), std::nullopt);
    EXPECT_EQ(IsoTimeText(12, 60), std::nullopt);
    EXPECT_EQ(IsoTimeText(255, 0), std::nullopt);
}

}  // namespace
}  // namespace tavolex
