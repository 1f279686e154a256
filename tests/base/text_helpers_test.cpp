#include "base/ascii.h"
#include "base/attendee_name.h"
#include "base/byte_reader.h"
#include "base/calendar_date.h"
#include "base/fnv1a.h"
#include "base/shift_jis.h"

#include <gtest/gtest.h>

#include <string>

namespace tavolex {
namespace {

// Texts are cut to their field, never read past the data (the byte after the span is not the text's),
// and the first read that does not fit fails every later one.
TEST(ByteReaderTest, TextsStayInTheirFieldAndTheData) {
    const std::string data = std::string("ab\0", 3) + "wxyz" + "!";
    ByteReader reader(std::span(reinterpret_cast<const std::uint8_t*>(data.data()), data.size() - 1));
    char field[4];
    std::string grown;
    EXPECT_EQ(reader.CString(field), 2u);
    EXPECT_STREQ(field, "ab");
    EXPECT_EQ(reader.CString(grown, 4), 4u);  // runs to the end of the data: cut to 3
    EXPECT_EQ(grown, "wxy");
    ByteReader rest(std::span(reinterpret_cast<const std::uint8_t*>(data.data() + 3), 4));
    char wide[6];
    EXPECT_EQ(rest.CString(wide), 4u);
    EXPECT_STREQ(wide, "wxyz");
    ByteReader numbers(std::span(reinterpret_cast<const std::uint8_t*>("\x01\x02\x03\x04\x05"), 5));
    EXPECT_EQ(numbers.U16Le(), 0x0201);
    EXPECT_EQ(numbers.U16Be(), 0x0304);
    EXPECT_EQ(numbers.U16Le(), 0);  // one byte left
    EXPECT_FALSE(numbers.Ok());
    EXPECT_EQ(numbers.U8(), 0);
    EXPECT_EQ(numbers.CString(field), 0u);  // nor a text after the failure
    EXPECT_STREQ(field, "");
}

// A cut never ends inside a double-byte character; after a stray lead byte the panes' and paths'
// reading keeps a byte that cannot end a character ('/', '\n', 0x7F) as a character of its own.
// clang-format off
TEST(ShiftJisTest, FitLengthEndsOnACharacter) {
    const std::tuple<std::string_view, std::size_t, std::size_t, std::size_t> table[] = {
        {"ab", 5, 2, 2}, {"\x93\xfa\x96\x7b", 3, 2, 2}, {"a\x93\xfa", 2, 1, 1}, {"\x93/a", 1, 0, 1},
        {"\x93\na", 2, 2, 2}, {"a\x93", 1, 1, 1}, {"\x81\x7f", 1, 0, 1}, {"", 0, 0, 0}, {"\x81\xfc", 1, 0, 0}};
    for (const auto& [text, maxBytes, any, trailOnly] : table) {
        EXPECT_EQ(Cp932FitLength(text, maxBytes), any) << text;
        EXPECT_EQ(Cp932FitLength(text, maxBytes, TrailRule::kTrailByteOnly), trailOnly) << text;
    }
    EXPECT_EQ(Cp932CharOffset("\x93\xfa" "a", 1), 2u);
}
// clang-format on

// Only ASCII letters fold; the bytes of Shift-JIS and Latin-1 letters pass through.
TEST(AsciiTest, OnlyAsciiLettersFold) {
    EXPECT_EQ(LowerAsciiText("Tavolex.HTM \x82\x60"), "tavolex.htm \x82\x60");
    EXPECT_EQ(UpperAscii('z'), 'Z');
    EXPECT_TRUE(EqualsIgnoringAsciiCase("Address.DAT", "address.dat"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC1", "\xE1"));
}

// One validity for every ISO text: a date or time the calendar or clock does not have gives none.
// The published FNV-1a values, so a stored name and a table slot stay the same everywhere.
TEST(Fnv1aTest, PublishedValues) {
    // "\xff": a byte above 0x7F counts as unsigned.
    EXPECT_EQ(std::make_tuple(Fnv1a32(""), Fnv1a32("a"), Fnv1a32("foobar"), Fnv1a32("\xff")),
              std::make_tuple(0x811c9dc5u, 0xe40c292cu, 0xbf9cf968u, 0x7a0b824eu));
    EXPECT_EQ(std::make_tuple(Fnv1a64(""), Fnv1a64("a"), Fnv1a64("foobar")),
              std::make_tuple(0xcbf29ce484222325ull, 0xaf63dc4c8601ec8cull, 0x85944171f73967e8ull));
}

TEST(CalendarDateTest, OnlyRealDatesAndTimesHaveIsoTexts) {
    const std::pair<CalendarDate, std::optional<std::string>> dates[] = {
        {{2026, 11, 2}, "2026-11-02"}, {{2024, 2, 29}, "2024-02-29"}, {{2000, 2, 29}, "2000-02-29"},
        {{1900, 2, 29}, std::nullopt}, {{2027, 2, 30}, std::nullopt}, {{2026, 4, 31}, std::nullopt},
        {{2026, 0, 1}, std::nullopt},  {{2026, 13, 1}, std::nullopt}, {{2026, 1, 0}, std::nullopt}};
    for (const auto& [date, iso] : dates) {
        EXPECT_EQ(IsoDateText(date), iso) << iso.value_or("none");
        EXPECT_EQ(ParseIsoDate(iso.value_or("")), iso ? std::optional<CalendarDate>(date) : std::nullopt);
    }
    for (const char* text : {"2026-1-02", "2026/11/02", "-001-01-01", "2027-02-29"}) EXPECT_FALSE(ParseIsoDate(text)) << text;
    EXPECT_LT((CalendarDate{2027, 2, 30}), (CalendarDate{2027, 3, 1}));
    EXPECT_EQ(IsoTimeText(9, 5), "09:05");
    EXPECT_FALSE(IsoTimeText(24, 0) || IsoTimeText(12, 60) || IsoTimeText(255, 0));
}

// The shown name joins the non-empty parts; the company the exports keep runs to the end.
// clang-format off
TEST(AttendeeNameTest, PartsJoinedWithSpaceAndComma) {
    const std::pair<const char*, const char*> table[] = {
        {"A\x01\x01" "C", "A, C"}, {"Taro\x01Yamada\x01" "Co", "Taro Yamada, Co"}, {"Taro\x01Yamada", "Taro Yamada"},
        {"Taro", "Taro"}, {"A\x01" "B\x01" "C\x01" "D", "A B, C"}, {"", ""}, {"\x01\x01", ""},
        {"\x01Yamada", "Yamada"}, {"\x01Yamada\x01" "Co", "Yamada, Co"}, {"\x01\x01" "Co", "Co"},
    };
    for (const auto& [stored, shown] : table) EXPECT_EQ(AttendeeStoredName(stored), shown) << stored;
    EXPECT_EQ(SplitAttendeeText("A\x01" "B\x01" "C\x01" "D").company, "C\x01" "D");
}
// clang-format on

}  // namespace
}  // namespace tavolex
