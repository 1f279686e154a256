#include "fuzz/rich_user.h"

#include "tests/support/palm_bitmap_writer.h"

#include <cstdint>

namespace tavolex::fuzz {

namespace {

std::vector<std::uint8_t> Bitmap(int width, int height, int depth, test::PalmCompression compression) {
    test::PalmBitmapSpec bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.depth = depth;
    bitmap.compression = compression;
    const std::uint16_t top = static_cast<std::uint16_t>((1 << depth) - 1);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) bitmap.pixels.push_back(static_cast<std::uint16_t>((x * 7 + y * 3) % (top + 1)));
    }
    return test::WritePalmBitmap(bitmap);
}

}  // namespace

test::PalmUserSpec RichUser() {
    using namespace test;
    PalmUserSpec user;
    // 表 and ソ end in '\'; 日本 is plain double-byte text.
    user.categories = {"Unfiled", "Business", "\x93\xfa\x96\x7b"};
    MeetingSpec first;
    first.title = "Kickoff \x95\x5c \x83\x5c{x}";
    first.location = "Room <1> & \"2\"";
    first.date = HandheldDay(2004, 5, 17);
    first.start = {9, 30};
    first.end = {11, 0};
    first.category = 1;
    first.items = {
        AgendaSpec{.text = "Budget\nline two\ttab", .status = 1},
        NoteSpec{.text = "Note \x95\x5c\r\nsecond line\nthird"},
        ToDoSpec{.text = "Send minutes", .priority = 2, .dueDate = HandheldDay(2004, 5, 20), .due = {17, 5}},
        SketchSpec{.title = "Plan", .bitmap = Bitmap(12, 9, 2, PalmCompression::kScanLine)},
        AttendeeSpec{.nameParts = {"Taro", "Yamada", "Brenmark"}, .addressId = 0x123},
        AttendeeSpec{.nameParts = {"Hanako", "", "Guest Co"}, .addressId = 0x999, .absent = true},
        AgendaSpec{.text = "Schedule {ITEM}", .status = 0},
        ToDoSpec{.text = "Book room", .priority = 0xFF, .completed = 1},
        SketchSpec{.title = "\x83\x5c", .bitmap = Bitmap(5, 4, 8, PalmCompression::kRunLength)},
        NoteSpec{.text = ""},
    };
    user.meetings.push_back(first);
    MeetingSpec second;
    second.title = "Empty";
    second.date = HandheldDay(2004, 6, 1);
    second.category = 2;
    user.meetings.push_back(second);
    return user;
}

std::vector<test::AddressBookPerson> RichAddressBook() {
    test::AddressBookPerson taro;
    taro.recordId = 0x123;
    taro.lastName = "Yamada";
    taro.firstName = "Taro";
    taro.title = "Manager";
    taro.company = "Brenmark \x95\x5c";
    taro.phones[0].number = "03-1234-5678";
    taro.note = "note\nlines";
    test::AddressBookPerson other;
    other.recordId = 0x456;
    other.lastName = "Suzuki";
    return {taro, other};
}

}  // namespace tavolex::fuzz
