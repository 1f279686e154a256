// Writes the seed corpus of every fuzz target into the folder given (one sub-folder per target):
//   make_fuzz_seeds <corpus folder> <template folder>
// The seeds are small, well-formed inputs built with the test writers, plus a damaged variant or
// two, so that each fuzzer starts from files the readers accept.

#include "fuzz/fuzz_support.h"
#include "tests/support/palm_bitmap_writer.h"

#include <cstdio>

using namespace tavolex;

namespace {

std::filesystem::path gCorpus;

void Seed(const char* target, const std::string& name, std::string_view bytes) {
    fuzz::WriteFileBytes(gCorpus / target / name, bytes);
}

// The seven files in load order joined by the part separator.
std::string Packed(const test::PalmUserDatabases& databases) {
    std::string packed;
    for (const auto& [name, database] : test::kPalmUserFiles) {
        if (!packed.empty()) packed += fuzz::kPartSeparator;
        packed += test::DatabaseBytes(databases.*database);
    }
    return packed;
}

void StoreSeeds(const test::PalmUserDatabases& databases, const std::string& book) {
    for (std::size_t i = 0; i < std::size(test::kPalmUserFiles); ++i) {
        const auto& [name, database] = test::kPalmUserFiles[i];
        Seed("database_file", name, static_cast<char>(i) + test::DatabaseBytes(databases.*database));
    }
    // A record count past the records and a body offset past the record.
    test::RawDatabase note = databases.note;
    note.recordCount = 40;
    if (!note.records.empty()) note.records[0].bodyOffset = 400;
    Seed("database_file", "damaged-note.dat", std::string(1, 2) + test::DatabaseBytes(note));

    Seed("user_folder", "rich", Packed(databases));
    test::PalmUserDatabases damaged = databases;
    damaged.link.records.push_back({.body = test::LinkBody(0x1000, {0x07000000 | 0x1000, 0x05FFFFFF}), .uniqueId = 0x2001});
    damaged.attendee.appInfoSize = 9999;
    Seed("user_folder", "damaged", Packed(damaged));
    Seed("report_store", "rich", Packed(databases) + std::string(fuzz::kPartSeparator) + book);
    Seed("report_store", "no-book", Packed(databases));
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
            const std::vector<std::uint8_t> bytes = test::WritePalmBitmap(bitmap);
            Seed("sketch", "bitmap-" + std::to_string(n++), std::string(bytes.begin(), bytes.end()));
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
    const std::string book =
        test::AddressBookBytes(fuzz::RichAddressBook(), {{.index = 1, .id = 1, .shortName = "Biz", .longName = "Business"}});
    StoreSeeds(test::BuildPalmUserDatabases(fuzz::RichUser()), book);
    SketchSeeds();
    TemplateSeeds(argv[2]);
    OtherSeeds(book);
    return 0;
}
