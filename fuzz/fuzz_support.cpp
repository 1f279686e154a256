#include "fuzz/fuzz_support.h"

#include "meeting_store/item_walk.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/palm_bitmap_writer.h"

#include <cstdio>

namespace tavolex::fuzz {
namespace {

std::vector<std::uint8_t> Bitmap(int width, int height, int depth, test::PalmCompression compression) {
    test::PalmBitmapSpec bitmap{.width = width, .height = height, .depth = depth, .compression = compression};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) bitmap.pixels.push_back(static_cast<std::uint16_t>((x * 7 + y * 3) % (1 << depth)));
    }
    return test::WritePalmBitmap(bitmap);
}

}  // namespace

const std::filesystem::path& ScratchFolder() {
    std::error_code error;
    static const test::TempDir folder(std::filesystem::is_directory("/dev/shm", error) ? "/dev/shm"
                                                                                       : std::filesystem::temp_directory_path());
    return folder.Path();
}

std::vector<std::string_view> SplitParts(std::string_view input, std::size_t maxParts) {
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < maxParts) {
        const std::size_t at = input.find(kPartSeparator);
        if (at == std::string_view::npos) break;
        parts.push_back(input.substr(0, at));
        input.remove_prefix(at + kPartSeparator.size());
    }
    parts.push_back(input);
    return parts;
}

void UnpackUserFolder(const std::vector<std::string_view>& parts, const std::filesystem::path& folder) {
    for (std::size_t i = 0; i < std::size(test::kPalmUserFiles); ++i) {
        const auto path = folder / test::kPalmUserFiles[i].first;
        std::filesystem::remove(path);
        if (i < parts.size()) test::WriteFileBytes(path, parts[i]);
    }
}

test::PalmUserSpec RichUser() {
    using namespace test;
    const MeetingSpec first{.title = "Kickoff \x95\x5c \x83\x5c{x}",
                            .location = "Room <1> & \"2\"",
                            .date = HandheldDay(2004, 5, 17),
                            .start = {9, 30},
                            .end = {11, 0},
                            .category = 1,
                            .items = {
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
                            }};
    // 表 and ソ end in '\'; 日本 is plain double-byte text.
    return {.categories = {"Unfiled", "Business", "\x93\xfa\x96\x7b"},
            .meetings = {first, {.title = "Empty", .date = HandheldDay(2004, 6, 1), .category = 2}}};
}

std::vector<test::AddressBookPerson> RichAddressBook() {
    test::AddressBookPerson taro{.recordId = 0x123,
                                 .lastName = "Yamada",
                                 .firstName = "Taro",
                                 .title = "Manager",
                                 .company = "Brenmark \x95\x5c",
                                 .note = "note\nlines"};
    taro.phones[0].number = "03-1234-5678";
    return {taro, {.recordId = 0x456, .lastName = "Suzuki"}};
}

void WalkStore(const MeetingDatabase& store) {
    static volatile std::size_t sink;
    const auto touch = [](const std::string& text) {
        sink = sink + text.size() + (text.empty() ? 0 : static_cast<unsigned char>(text.back()));
    };
    for (const auto& meeting : store.Meetings()) {
        for (const std::string* text :
             {&meeting->szDate, &meeting->szTime, &meeting->szTitle, &meeting->szCategory, &meeting->szLocation}) {
            touch(*text);
        }
        ForEachItem(store, meeting->dwDBID,
                    ItemVisitor{[&](const Sketch& s, const MeetingItem&) { touch(s.szTitle); },
                                [&](const auto& r, const MeetingItem&) { touch(r.szText); }});
        for (ChildType type : {ChildType::kNote, ChildType::kSketch, ChildType::kToDo, ChildType::kAttendee, ChildType::kAgenda}) {
            for (const MeetingItem& item : store.ItemsOf(meeting->dwDBID, type)) {
                if (item.type != type) std::abort();
            }
        }
    }
    for (const auto& toDo : store.ToDos()) touch(toDo->szText);
    for (const auto& sketch : store.Sketches()) {
        const auto& image = sketch->image;
        if (image.HasPixels() && static_cast<std::int64_t>(image.Width()) * image.Height() <= 320 * 480) {
            sink = sink + image.Rgb().size();
        }
    }
}

std::vector<TemplateFile> TemplateFiles(const std::filesystem::path& folder) {
    std::vector<TemplateFile> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const auto extension = entry.path().extension();
        if (extension != ".htm" && extension != ".rtf") continue;
        files.push_back({entry.path(), test::ReadFileBytes(entry.path()), extension == ".rtf" ? ExpansionMode::Rtf : ExpansionMode::Html});
    }
    if (files.empty()) {
        std::fprintf(stderr, "no templates in %s\n", folder.c_str());
        std::abort();
    }
    return files;
}

void WriteTemplatePictures(const std::filesystem::path& templateFolder) {
    test::WriteFileBytes(templateFolder / "logo.gif", "GIF89a");
    test::WriteFileBytes(templateFolder / "img" / "a b.png", "png");
    test::WriteFileBytes(templateFolder / "\x95\x5c.gif", "sjis");
}

void EmptyFolder(const std::filesystem::path& folder) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
}

ReportFixture::ReportFixture(const char* name)
    : userFolder(ScratchFolder() / name / "user"), addressPath(ScratchFolder() / name / "address.dat") {
    test::WritePalmUserFolder(userFolder, RichUser());
    test::WriteAddressBook(addressPath, RichAddressBook());
    options.author = "Suzuki \x95\x5c";
    options.outputFolder = ScratchFolder() / name / "out";
    options.templateFolder = ScratchFolder() / name / "templates";
    WriteTemplatePictures(options.templateFolder);
    store.SetFolder(userFolder);
    book.SetPath(addressPath);
    report.SetClock(test::FixedReportTime);
    store.ReloadAll();
    book.Reload();
    EmptyFolder(options.outputFolder);
}

}  // namespace tavolex::fuzz
