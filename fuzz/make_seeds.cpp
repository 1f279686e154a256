// Writes the seed corpus of every fuzz target into the folder given (one sub-folder per target):
//   make_fuzz_seeds <corpus folder> <template folder>
// The seeds are small, well-formed inputs built with the test writers, plus a damaged variant or
// two, so that each fuzzer starts from files the readers accept.

#include "fuzz/fuzz_support.h"
#include "fuzz/rich_user.h"
#include "fuzz/user_folder.h"
#include "tests/support/address_book_writer.h"
#include "tests/support/palm_bitmap_writer.h"
#include "tests/support/palm_database_writer.h"

#include <cstdio>
#include <string>

using namespace tavolex;

namespace {

std::filesystem::path gCorpus;

void Seed(const char* target, const std::string& name, std::string_view bytes) {
    const auto folder = gCorpus / target;
    std::filesystem::create_directories(folder);
    fuzz::WriteFileBytes(folder / name, bytes);
}

std::string Bytes(const std::vector<std::uint8_t>& v) { return {v.begin(), v.end()}; }

void DatabaseSeeds(const test::PalmUserDatabases& databases) {
    const test::RawDatabase* files[7] = {&databases.meeting, &databases.link,   &databases.note,    &databases.toDo,
                                         &databases.agenda,  &databases.sketch, &databases.attendee};
    for (std::size_t i = 0; i < 7; ++i) {
        std::string bytes(1, static_cast<char>(i));
        bytes += test::DatabaseBytes(*files[i]);
        std::string name = fuzz::kUserFolderFiles[i];
        Seed("database_file", name, bytes);
    }
    // A record count past the records and a body offset past the record.
    test::RawDatabase damaged = databases.note;
    damaged.recordCount = 40;
    if (!damaged.records.empty()) damaged.records[0].bodyOffset = 400;
    Seed("database_file", "damaged-note.dat", std::string(1, 2) + test::DatabaseBytes(damaged));
}

void UserFolderSeeds(const test::PalmUserDatabases& databases, const std::string& book) {
    const std::string packed = fuzz::PackUserFolder(databases);
    Seed("user_folder", "rich", packed);
    test::PalmUserDatabases damaged = databases;
    damaged.link.records.push_back({.body = test::LinkBody(0x1000, {0x07000000 | 0x1000, 0x05FFFFFF}), .uniqueId = 0x2001});
    damaged.attendee.appInfoSize = 9999;
    Seed("user_folder", "damaged", fuzz::PackUserFolder(damaged));
    Seed("report_store", "rich", packed + std::string(fuzz::kPartSeparator) + book);
    Seed("report_store", "no-book", packed);
}

void SketchSeeds() {
    using test::PalmCompression;
    int n = 0;
    for (int depth : {1, 2, 4, 8, 16}) {
        for (PalmCompression compression :
             {PalmCompression::kNone, PalmCompression::kScanLine, PalmCompression::kRunLength, PalmCompression::kPackBits}) {
            if (depth == 16 && compression != PalmCompression::kNone) continue;
            test::PalmBitmapSpec bitmap{.width = 9, .height = 5, .depth = depth, .compression = compression};
            for (int p = 0; p < 45; ++p) bitmap.pixels.push_back(static_cast<std::uint16_t>((p * 37) & ((1 << depth) - 1)));
            if (depth == 8 && compression == PalmCompression::kNone) bitmap.colourTableEntries = 4;
            Seed("sketch", "bitmap-" + std::to_string(n++), Bytes(test::WritePalmBitmap(bitmap)));
        }
    }
}

void TemplateSeeds(const std::filesystem::path& templateFolder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(templateFolder, error)) {
        const auto extension = entry.path().extension();
        if (extension != ".htm" && extension != ".rtf") continue;
        const std::string mode(1, extension == ".rtf" ? '\x01' : '\x00');
        // Named by position: the shipped names are Shift-JIS, not for a corpus folder.
        Seed("template", "shipped-" + std::to_string(entry.path().filename().string().size()) + extension.string(),
             mode + test::ReadFileBytes(entry.path()));
    }
    Seed("template", "every-section",
         std::string(1, '\x00') +
             "{TITLE}{DATE}{TIME}{AUTHOR}{REPORT_DATE}{REPORT_TIME}{SWAP_COLORS}\n"
             "{HANDHELD_ORDER_BEGIN}{COUNT}{NOTE}{TODO}{AGENDA}{SKETCH_FILENAME}{NEXT_ITEM}{HANDHELD_ORDER_END}\n"
             "{NOTES_PROLOG}<ul>{NOTES_BEGIN}<li>{COUNT} {NOTE_FIRST_LINE}|{NOTE_BODY}{NOTES_END}</ul>{NOTES_EPILOG}\n"
             "{TODOS_PROLOG}{TODOS_BEGIN}{PRIORITY} {DUE_DATE} {DUE_TIME} {TODO}{TODOS_END}{TODOS_EPILOG}\n"
             "{SKETCHES_PROLOG}{SKETCHES_BEGIN}<img src=\"{SKETCH_FILENAME}\">{SKETCH_TITLE}{SKETCHES_END}{SKETCHES_EPILOG}\n"
             "{AGENDAS_PROLOG}{AGENDAS_BEGIN}{AGENDA_FIRST_LINE}{AGENDA_BODY}{AGENDAS_END}{AGENDAS_EPILOG}\n"
             "{ATTENDEES_PROLOG}{ATTENDEES_BEGIN}{FIRST_NAME} {LAST_NAME} {SALUTATION} {COMPANY} {ADDRESS} {CITY} "
             "{STATE} {ZIPCODE} {COUNTRY}{ATTENDEES_END}{ATTENDEES_EPILOG}\n");
    Seed("template", "rtf", std::string(1, '\x01') + "{\\rtf1 {\\b {TITLE}}\\par {NOTES_BEGIN}{NOTE}\\par {NOTES_END}}");
}

void OtherSeeds(const std::string& book) {
    Seed("address_book", "rich", book);
    Seed("address_book", "empty", test::AddressBookBytes({}));
    Seed("pictures", "report",
         "<html><body background=\"img/a%20b.png\"><img src=\"logo.gif\"><img src=\"\x95\x5c.gif\">"
         "<img src=\"C:\\pics\\x.jpg\"><img src=\"sketch1.jpg\"><img src=\"logo.gif\"></body></html>");
    Seed("pictures", "odd", "src=\"a/..\" src=\"/\" background=\"\x95\x5c\" src=\"x%20\"");
    Seed("settings_file", "settings",
         "[Software\\Brenmark\\Tavolex]\nLastUser=\"User%20A\"\n\n[Software\\Brenmark\\Tavolex\\UserA]\n"
         "OutputPath=\"/home/me/Reports/\"\nMeetingView=dword:00000002\ncAuthor=\"\xe5\xb1\xb1\xe7\x94\xb0\"\n");
    Seed("settings_file", "damaged", "[A/B]\nx=\"unterminated\n=dword:zz\n[\n");
    Seed("text", "names", "Report \x95\x5c:\\/*?\"<>| \x83\x5c\r\nline\tnext");
    Seed("text", "stray", "\x81\n\xfc\x7f abc \x82\xa0 /dir\\file \xa0\xdf");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_fuzz_seeds <corpus folder> <template folder>\n");
        return 2;
    }
    fuzz::QuietTrace();
    gCorpus = argv[1];
    const test::PalmUserDatabases databases = test::BuildPalmUserDatabases(fuzz::RichUser());
    const std::string book = test::AddressBookBytes(fuzz::RichAddressBook(), {{.index = 1, .id = 1, .shortName = "Biz", .longName = "Business"}});
    DatabaseSeeds(databases);
    UserFolderSeeds(databases, book);
    SketchSeeds();
    TemplateSeeds(argv[2]);
    OtherSeeds(book);
    return 0;
}
