#include "meeting_query/meeting_filter.h"
#include "meeting_query/meeting_selection.h"
#include "meeting_query/text_match.h"

#include "tests/support/loaded_user.h"
#include "views/meeting_listing.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavolex {
namespace {

// Meetings 0..4: a full-width katakana title, a location, a category, an item of each searched
// kind, and an attendee the address book names otherwise than the handheld did.
TEST(MeetingFilterTest, ShowsTheMeetingsWhoseTextsHoldTheText) {
    test::PalmUserSpec user;
    user.categories = {"Unfiled", "Business"};
    user.meetings = {
        {.title = "\x83\x4b\x83\x43\x83\x68\x89\xef\x8b\x63"},  // ガイド会議
        {.title = "Weekly", .location = "Room B"},
        {.title = "Plan", .category = 1},
        {.title = "Items",
         .items = {test::AgendaSpec{.text = "budget"}, test::NoteSpec{.text = "remember"}, test::ToDoSpec{.text = "mail all"},
                   test::SketchSpec{.title = "whiteboard"}}},
        {.title = "People", .items = {test::AttendeeSpec{.nameParts = {"Taro", "Yamada"}, .addressId = 0x42}}},
    };
    const test::LoadedUser loaded(user, {{.recordId = 0x42, .lastName = "Suzuki", .firstName = "Jiro"}});
    MeetingFilter filter(loaded.store, [&](std::int32_t index) {
        std::vector<SearchItem> items;
        for (const MeetingItemEntry& e : BuildMeetingItemEntries(loaded.store, loaded.book, index))
            items.push_back({ItemKindWord(e.kind), e.item, e.displayText});
        return items;
    });
    const struct {
        const char* text;
        std::vector<std::int32_t> shown;
    } cases[] = {
        {"", {0, 1, 2, 3, 4}}, {"ｶﾞｲﾄﾞ", {0}},  // half-width kana find the full-width title
        {"ROOM b", {1}},       {"business", {2}}, {"BUDGET", {3}},        {"member", {3}}, {"mail", {3}},
        {"board", {3}},        {"suzuki", {4}},   {"yamada", {4}},         // the names the item list shows and the handheld stored
        {"ee", {1}},           {"nowhere", {}},   {"budgetremember", {}},  // never across two texts
    };
    for (const auto& c : cases) {
        filter.SetText(c.text);
        std::vector<std::int32_t> shown;
        for (std::int32_t index = -1; index <= 5; ++index) {
            if (filter.Shows(index)) shown.push_back(index);
        }
        EXPECT_EQ(shown, c.shown) << c.text;
        EXPECT_EQ(filter.ShownCount(), static_cast<std::int32_t>(c.shown.size())) << c.text;
        EXPECT_EQ(filter.Active(), *c.text != '\0') << c.text;
    }
}

// The text around a hit: `around` characters either side of the hit where it stands in the stored
// text, whatever folding did to the lengths.
TEST(TextMatchTest, ContextIsTheTextAroundTheHitAsStored) {
    const struct {
        const char* find;
        const char* cp932;
        std::size_t around;
        const char* context;
    } cases[] = {
        {"c", "abcdefghij", 1, "…bcd…"},
        {"D", "abcdefghij", 3, "abcdefg…"},
        {"ガ", "\xb1\xb2\xb3\xb4\xb6\xde\xb7\xb8", 2, "…ｳｴｶﾞｷ…"},  // ｱｲｳｴｶﾞｷｸ: the hit is two characters here
    };
    for (const auto& c : cases) EXPECT_EQ(TextMatch(c.find).Context(c.cp932, c.around), c.context) << c.find;
}

// By title folded (letter case and width alike), ties in the order given; by date, a meeting
// without a time first on its day.
TEST(MeetingSortTest, TitlesFoldedAndDatesKeepTiesInTheirOrder) {
    const auto day = test::HandheldDay(2026, 11, 2);
    const test::LoadedUser user({.meetings = {{.title = "b", .date = day, .start = {9, 0}},
                                              {.title = "B", .date = day},
                                              {.title = "a", .date = test::HandheldDay(2026, 11, 3)},
                                              {.title = "\x82\x82", .date = day, .start = {8, 0}}}});  // ｂ full-width
    for (const auto& [order, expected] : {std::pair{MeetingOrder::kTitle, std::vector<std::int32_t>{2, 0, 1, 3}},
                                          std::pair{MeetingOrder::kDate, std::vector<std::int32_t>{1, 3, 0, 2}}}) {
        std::vector<std::int32_t> indexes = {0, 1, 2, 3};
        SortMeetings(user.store, indexes, order);
        EXPECT_EQ(indexes, expected);
    }
}

}  // namespace
}  // namespace tavolex
