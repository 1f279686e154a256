#include "base/attendee_name.h"

#include <gtest/gtest.h>

namespace tavolex {
namespace {

// The shown name joins the non-empty parts; the company the exports keep runs to the end.
TEST(AttendeeNameTest, PartsJoinedWithSpaceAndComma) {
    const std::pair<const char*, const char*> table[] = {
        {"A\x01\x01" "C", "A, C"}, {"Taro\x01Yamada\x01" "Co", "Taro Yamada, Co"}, {"Taro\x01Yamada", "Taro Yamada"},
        {"Taro", "Taro"}, {"A\x01" "B\x01" "C\x01" "D", "A B, C"}, {"", ""}, {"\x01\x01", ""},
        {"\x01Yamada", "Yamada"}, {"\x01Yamada\x01" "Co", "Yamada, Co"}, {"\x01\x01" "Co", "Co"},
    };
    for (const auto& [stored, shown] : table) EXPECT_EQ(AttendeeStoredName(stored), shown) << stored;
    EXPECT_EQ(SplitAttendeeText("A\x01" "B\x01" "C\x01" "D").company, "C\x01" "D");
}

}  // namespace
}  // namespace tavolex
