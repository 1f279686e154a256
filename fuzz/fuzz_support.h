#pragma once
// What the fuzz targets share: the entry point each target fills in, a private scratch folder for
// the readers that take paths, the split of one input into several files, a rich Palm user and the
// walk over a loaded store, the shipped templates, and the report generator over that user. Inputs
// are built with the tests' writers.

#include "address_book/address_book.h"
#include "meeting_store/meeting_database.h"
#include "report/report_folder.h"
#include "tests/support/address_book_writer.h"
#include "tests/support/palm_database_writer.h"
#include "tests/support/temp_dir.h"

namespace tavolex::fuzz {

// One fuzz input, defined by each target. The entry point (fuzz_entry.cpp) turns the trace off
// first: the fuzzers would otherwise spend their time writing it.
void FuzzOne(std::string_view input);

// A folder of this process only, under /dev/shm when there is one (no disk traffic per input),
// made on first use and removed at exit.
const std::filesystem::path& ScratchFolder();

// The parts of a packed input: the bytes between separators, at most maxParts (the last part keeps
// the rest, separators and all). The seed generator packs files with the same separator.
inline constexpr std::string_view kPartSeparator = "\n--tavolex-part--\n";
std::vector<std::string_view> SplitParts(std::string_view input, std::size_t maxParts);

// A Palm user folder as parts: the seven database files in load order. The first seven parts are
// written into folder; the files of missing parts are removed.
void UnpackUserFolder(const std::vector<std::string_view>& parts, const std::filesystem::path& folder);

// A Palm user with every kind of item, Shift-JIS texts whose second bytes are '\' and '{', several
// lines, a to-do with and without a due date, sketches of two depths, attendees found in the
// address book and one that isn't.
test::PalmUserSpec RichUser();
std::vector<test::AddressBookPerson> RichAddressBook();

// Reads everything a loaded store offers the views and reports; an item reached through the maps
// with no record of its kind stops the run (a null dereference under AddressSanitizer).
void WalkStore(const MeetingDatabase& store);

// The .htm and .rtf templates of a folder, in directory order; a folder without any stops the
// program (the fuzzers and the seeds would silently lose them).
struct TemplateFile {
    std::filesystem::path path;
    std::string text;
    ExpansionMode mode;
};
std::vector<TemplateFile> TemplateFiles(const std::filesystem::path& folder);

// The pictures a template folder holds: logo.gif, img/a b.png and a Shift-JIS name.
void WriteTemplatePictures(const std::filesystem::path& templateFolder);
// Removes folder with everything inside and makes it again, empty.
void EmptyFolder(const std::filesystem::path& folder);

// The report generator over the rich user and its address book in the scratch folder under name,
// with an empty output folder (EmptyFolder empties it again), a template folder holding pictures and
// a fixed clock.
class ReportFixture {
public:
    explicit ReportFixture(const char* name);

    std::filesystem::path userFolder;
    std::filesystem::path addressPath;
    MeetingDatabase store{{}};
    AddressBook book;
    ReportOptions options;
    ReportFolder report{store, book};
};

}  // namespace tavolex::fuzz
