// Writes the seed corpus of every fuzz target into the folder given (one sub-folder per target):
//   make_fuzz_seeds <corpus folder> <template folder>
// The seeds are small, well-formed inputs built with the test writers, plus a damaged variant or
// two, so that each fuzzer starts from files the readers accept.

#include "fuzz/fuzz_support.h"
#include "tests/support/damaged_shift_jis.h"
#include "tests/support/palm_bitmap_writer.h"

#include <cstdio>

using namespace tavolex;
using namespace std::string_literals;

namespace {

// One seed file: corpus/<target>/<name>.
struct Seed {
    std::string target;
    std::string name;
    std::string bytes;
};

// The seven files in load order joined by the part separator.
std::string Packed(const test::PalmUserDatabases& databases) {
    std::string packed;
    for (const auto& [name, database] : test::kPalmUserFiles) {
        if (!packed.empty()) packed += fuzz::kPartSeparator;
        packed += test::DatabaseBytes(databases.*database);
    }
    return packed;
}

// The database files alone (behind the byte that picks their kind) and packed into user folders,
// each with a damaged variant.
void AddStoreSeeds(std::vector<Seed>& seeds, const test::PalmUserDatabases& databases, const std::string& book) {
    for (std::size_t i = 0; i < std::size(test::kPalmUserFiles); ++i) {
        const auto& [name, database] = test::kPalmUserFiles[i];
        seeds.push_back({"database_file", name, static_cast<char>(i) + test::DatabaseBytes(databases.*database)});
    }
    // A record count past the records and a body offset past the record.
    test::RawDatabase note = databases.note;
    note.recordCount = 40;
    if (!note.records.empty()) note.records[0].bodyOffset = 400;
    test::PalmUserDatabases damaged = databases;
    damaged.link.records.push_back({.body = test::LinkBody(0x1000, {0x07000000 | 0x1000, 0x05FFFFFF}), .uniqueId = 0x2001});
    damaged.attendee.appInfoSize = 9999;
    seeds.insert(seeds.end(), {{"database_file", "damaged-note.dat", "\x02"s + test::DatabaseBytes(note)},
                               {"user_folder", "rich", Packed(databases)},
                               {"user_folder", "damaged", Packed(damaged)},
                               {"report_store", "rich", Packed(databases) + std::string(fuzz::kPartSeparator) + book},
                               {"report_store", "no-book", Packed(databases)}});
}

// Bitmaps of every depth and compression (16 bits only uncompressed), one with a colour table.
void AddSketchSeeds(std::vector<Seed>& seeds) {
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
            seeds.push_back({"sketch", "bitmap-" + std::to_string(n++), {bytes.begin(), bytes.end()}});
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_fuzz_seeds <corpus folder> <template folder>\n");
        return 2;
    }
    const std::string book =
        test::AddressBookBytes(fuzz::RichAddressBook(), {{.index = 1, .id = 1, .shortName = "Biz", .longName = "Business"}});
    std::vector<Seed> seeds;
    AddStoreSeeds(seeds, test::BuildPalmUserDatabases(fuzz::RichUser()), book);
    // Texts that try to act: a picture reference out of the folder, markup, a terminal escape, a
    // calendar line, and a meeting id given twice.
    test::PalmUserSpec hostile = fuzz::RichUser();
    hostile.meetings[0].title = "<img src=\"../../../../etc/passwd\">\x1b[2J\r\nEND:VEVENT";
    hostile.meetings[0].items.push_back(test::NoteSpec{.text = "<img src=\"budget.xlsx\"><script>alert(1)</script>"});
    hostile.meetings[0].id = 0x7777;
    hostile.meetings.push_back(hostile.meetings[0]);
    seeds.push_back({"report_store", "hostile", Packed(test::BuildPalmUserDatabases(hostile)) + std::string(fuzz::kPartSeparator) + book});
    AddSketchSeeds(seeds);
    // The shipped templates behind the byte that picks the mode, named by the length of their
    // Shift-JIS names (not for a corpus folder).
    for (const fuzz::TemplateFile& templ : fuzz::TemplateFiles(argv[2])) {
        seeds.push_back({"template", "shipped-" + std::to_string(templ.path.filename().string().size()) + templ.path.extension().string(),
                         (templ.mode == ExpansionMode::Rtf ? "\x01"s : "\0"s) + templ.text});
    }
    seeds.insert(seeds.end(),
                 {{"template", "every-section",
                   "\0{TITLE}{DATE}{TIME}{AUTHOR}{REPORT_DATE}{REPORT_TIME}{SWAP_COLORS}\n"
                   "{HANDHELD_ORDER_BEGIN}{COUNT}{NOTE}{TODO}{AGENDA}{SKETCH_FILENAME}{NEXT_ITEM}{HANDHELD_ORDER_END}\n"
                   "{NOTES_PROLOG}<ul>{NOTES_BEGIN}<li>{COUNT} {NOTE_FIRST_LINE}|{NOTE_BODY}{NOTES_END}</ul>{NOTES_EPILOG}\n"
                   "{TODOS_PROLOG}{TODOS_BEGIN}{PRIORITY} {DUE_DATE} {DUE_TIME} {TODO}{TODOS_END}{TODOS_EPILOG}\n"
                   "{SKETCHES_PROLOG}{SKETCHES_BEGIN}<img src=\"{SKETCH_FILENAME}\">{SKETCH_TITLE}{SKETCHES_END}{SKETCHES_EPILOG}\n"
                   "{AGENDAS_PROLOG}{AGENDAS_BEGIN}{AGENDA_FIRST_LINE}{AGENDA_BODY}{AGENDAS_END}{AGENDAS_EPILOG}\n"
                   "{ATTENDEES_PROLOG}{ATTENDEES_BEGIN}{FIRST_NAME} {LAST_NAME} {SALUTATION} {COMPANY} {ADDRESS} {CITY} "
                   "{STATE} {ZIPCODE} {COUNTRY}{ATTENDEES_END}{ATTENDEES_EPILOG}\n"s},
                  {"template", "rtf", "\x01{\\rtf1 {\\b {TITLE}}\\par {NOTES_BEGIN}{NOTE}\\par {NOTES_END}}"},
                  {"address_book", "rich", book},
                  {"address_book", "empty", test::AddressBookBytes({})},
                  {"pictures", "report",
                   "<html><body background=\"img/a%20b.png\"><img src=\"logo.gif\"><img src=\"\x95\x5c.gif\">"
                   "<img src=\"C:\\pics\\x.jpg\"><img src=\"sketch1.jpg\"><img src=\"logo.gif\"></body></html>"},
                  {"pictures", "odd", "src=\"a/..\" src=\"/\" background=\"\x95\x5c\" src=\"x%20\""},
                  {"settings_file", "settings",
                   "[Software\\Brenmark\\Tavolex]\nLastUser=\"User%20A\"\n\n[Software\\Brenmark\\Tavolex\\UserA]\n"
                   "OutputPath=\"/home/me/Reports/\"\nMeetingView=dword:00000002\ncAuthor=\"\xe5\xb1\xb1\xe7\x94\xb0\"\n"},
                  {"settings_file", "damaged", "[A/B]\nx=\"unterminated\n=dword:zz\n[\n"},
                  {"text", "names", "Report \x95\x5c:\\/*?\"<>| \x83\x5c\r\nline\tnext"},
                  {"text", "stray", "\x81\n\xfc\x7f abc \x82\xa0 /dir\\file \xa0\xdf"},
                  {"text", "controls", "Con.htm\x1b[2J\x7f\x01\t\xc2\x9b"}});
    int n = 0;
    for (const test::DamagedShiftJis& damaged : test::kDamagedShiftJis)
        seeds.push_back({"text", "damaged-" + std::to_string(n++), std::string(damaged.bytes)});
    for (const Seed& seed : seeds) test::WriteFileBytes(std::filesystem::path(argv[1]) / seed.target / seed.name, seed.bytes);
    return 0;
}
