// Every export of a store, read back by independent readers: the JSON dump is compared with the
// store here, and check_exports.py (Debian's /usr/bin/python3 with python3-icalendar,
// python3-vobject and sqlite3, tidy and headless Chromium) compares every other file with the
// dump. Inputs: both sample users and a damaged store (texts that are not Shift-JIS, dates and
// times the calendar does not have, control characters, a cut link file).
#include "address_book/address_book.h"
#include "base/fnv1a.h"
#include "export/archive_writer.h"
#include "export/document_split.h"
#include "export/every_user_export.h"
#include "export/exporters.h"
#include "export/icalendar_writer.h"
#include "export/json_dump.h"
#include "export/markdown_vault.h"
#include "export/sqlite_export.h"
#include "export/vcard_writer.h"
#include "meeting_query/across_meetings.h"
#include "meeting_store/meeting_database.h"
#include "meeting_store/sketch_files.h"
#include "platform/platform.h"
#include "report/report_folder.h"
#include "report_files/report_writer.h"
#include "tests/support/address_book_writer.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/palm_bitmap_writer.h"
#include "tests/support/palm_database_writer.h"
#include "tests/support/recording_user_interaction.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace tavolex {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// Damage of every kind the exporters must carry through: lone lead bytes and bytes Shift-JIS does
// not have, the separators of both line formats, control characters, a long Japanese note that
// folds many times, a February 30th, hour 30, a due date of month 0, and a link file cut short.
// Texts written to break a line: an address-book e-mail and a title holding CR LF and the next
// line, an attendee name with every separator of a parameter. Texts that are Markdown, HTML and
// notes apps' markup, and items whose line breaks would end them. Ids that repeat: a meeting's, an
// address's.
void WriteDamagedUser(const fs::path& user) {
    test::PalmUserSpec store;
    // Nine pixels wide in more colours than four bits hold: a PNG of one byte a pixel.
    test::PalmBitmapSpec colours{.width = 9, .height = 4, .depth = 8};
    for (std::uint16_t i = 0; i < 36; ++i) colours.pixels.push_back(static_cast<std::uint16_t>(i * 7));
    store.categories = {"Unfiled", "\x89\xef\x8b\x63\x81"};  // 会議 and a lone lead byte
    std::string longNote;
    for (int i = 0; i < 300; ++i) longNote += "\x89\xbf\x8a\x69\x82\xcc\x8c\x9f\x93\xa2,;\\\r\n";  // 価格の検討
    store.meetings.push_back(
        {.title = "\x89\xbf\x8a\x69\xa0\xfd\xff end\x81",
         .location = "a;b,c\\d\x01\x7f",
         .date = test::HandheldDay(2027, 2, 30),
         .start = {30, 0},
         .end = {9, 99},
         .category = 1,
         .items = {
             test::NoteSpec{.text = longNote},
             test::ToDoSpec{.text = "\x82\xa0\x85\x40",
                            .priority = 0xFF,
                            .dueDate = static_cast<std::uint16_t>((100 << 9) | (0 << 5) | 4),
                            .due = {9, 0}},
             test::AttendeeSpec{.nameParts = {"\x91\xbe\x98\x59", "\x93\x63\x92\x86\"q\"", "Co\x01X"}, .addressId = 77, .absent = true},
             test::SketchSpec{.title = "\x83\x58\x83\x50\x83\x62\x83\x60", .bitmap = {0, 200, 0, 200, 0, 1}}}});
    store.meetings.push_back(
        {.title = "plain",
         .location = std::string(12, '\xdf'),  // half-width semi-voiced marks, one column each
         .date = test::HandheldDay(1999, 12, 31),
         .start = {23, 59},
         .end = {0, 0},
         .items = {test::AgendaSpec{.text = "", .status = 9}, test::AttendeeSpec{.nameParts = {"a;b,c", "\"Q\":\\x\r\ny"}, .addressId = 78},
                   test::AttendeeSpec{.nameParts = {"u"}, .addressId = 79},
                   test::NoteSpec{.text = "<script>document.title='PWNED'</script>"
                                          "<img src=x onerror=\"document.title='PWNED'\">"}}});
    store.meetings.push_back(
        {.title = "# *md*",
         .date = test::HandheldDay(2001, 1, 1),
         .items = {test::NoteSpec{.text = "# h\n- l\n1. o\n2) p\n> q\n    code\n***\n\n*b* _i_ [l](x) `c` |t| <b>x</b> $m$ "
                                          "[[w]] #tag ==h== %%c%% a\\\n---\n===\n+ s\n<!-- c -->\n&amp;\n\n\n"},
                   test::AgendaSpec{.text = "one\r\n- [x] fake\r\n\r\n## not a heading\r\n  \tindented", .status = 1},
                   test::ToDoSpec{.text = "due\n\n- [ ] fake", .priority = 1, .dueDate = test::HandheldDay(2024, 5, 20)},
                   test::AttendeeSpec{.nameParts = {""}}, test::AttendeeSpec{.nameParts = {"[[p]] ^b #t"}},
                   test::SketchSpec{.bitmap = test::WritePalmBitmap(colours)}}});
    store.meetings.push_back(
        {.title = "x\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nUID:x", .date = test::HandheldDay(2000, 1, 1), .id = 0x1001});  // plain's id
    test::PalmUserDatabases databases = test::BuildPalmUserDatabases(store);
    databases.note.records.push_back({.body = test::NoteBody({.text = "no meeting names me"}), .uniqueId = 0x7777});
    const std::string linkBytes = test::DatabaseBytes(databases.link);
    test::WritePalmUserDatabases(user / "Tavolex", databases);
    test::WriteFileBytes(user / "Tavolex" / "link.dat", linkBytes.substr(0, linkBytes.size() - 3));
    test::AddressBookPerson person{.recordId = 77, .lastName = "\x93\x63\x92\x86\xfd", .firstName = "a,b;c", .categoryId = 3};
    person.phones = {{{4, "taro@example.jp"}, {7, "090-1234"}, {2, "\x81"}, {3, {}}, {0, "03;1"}}};
    person.note = "line1\r\nline2\x02";
    person.custom = {"c1", {}, "\x89\xbf", "c4"};
    test::AddressBookPerson hostile{.recordId = 78, .lastName = "h"};
    hostile.phones[4].number = "e@x.jp\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nUID:e";
    test::AddressBookPerson japanese{.recordId = 79, .lastName = "j"};
    japanese.phones[4].number = " \x93\x63\x92\x86+\x89\xef\x8b\x63@\x97\xe1\x82\xa6.jp";  // 田中+会議@例え.jp
    test::WriteAddressBook(user / "address" / "address.dat",
                           {person, hostile, japanese, test::AddressBookPerson{.recordId = 79, .lastName = "again"}},
                           {{.index = 1, .id = 3, .shortName = "a", .longName = "\x8e\xe6\x88\xf8\x90\xe6"}});  // 取引先
}

// More meetings than the index shows on a page, over three years; only the oldest mentions 最古.
void WriteLargeUser(const fs::path& user) {
    test::PalmUserSpec store;
    for (int i = 0; i < 230; ++i) {
        const std::string title = "meeting " + std::to_string(i) + (i == 7 ? " \x8d\xc5\x8c\xc3" : "");
        store.meetings.push_back({.title = title,
                                  .date = test::HandheldDay(2003 + (i % 3), 1 + (i % 12), 1 + (i % 28)),
                                  .start = {static_cast<std::uint8_t>(9 + i % 8), 0},
                                  .end = {18, 0},
                                  .items = {test::NoteSpec{.text = "note " + std::to_string(i)}}});
    }
    store.meetings[7].date = test::HandheldDay(2002, 1, 1);
    store.meetings[0].items.push_back(test::ToDoSpec{.text = "todo", .priority = 1});
    store.meetings[0].items.push_back(test::AttendeeSpec{.nameParts = {"Taro", "Sato"}, .addressId = 5});
    test::WritePalmUserFolder(user / "Tavolex", store);
    test::WriteAddressBook(user / "address" / "address.dat", {test::AddressBookPerson{.recordId = 5, .lastName = "Sato"}});
}

struct StoreCase {
    const char* name;                     // a sample user's folder, or the one that write makes
    void (*write)(const fs::path& user);  // null for a sample user
    const char* query;                    // UTF-8; the archive is searched for it
    const char* trigram;                  // UTF-8; the SQLite search table is searched for it
};

void PrintTo(const StoreCase& c, std::ostream* os) { *os << c.name; }

class ExportReadersTest : public testing::TestWithParam<StoreCase> {
protected:
    void SetUp() override {
        user_ = GetParam().write ? dir_ / GetParam().name : fs::path(TAVOLEX_SAMPLE_PALM_DIR) / GetParam().name;
        if (GetParam().write) GetParam().write(user_);
        store_.SetFolder(user_ / "Tavolex");
        store_.ReloadAll();
        book_.SetPath(AddressBook::PathInUserFolder(user_));
        book_.Reload();
        options_.templateFolder = dir_ / "templates";
        reports_.SetClock(test::FixedReportTime);
        writer_.SetOptionsSource([this] { return options_; });
    }

    // One exporter's request for every meeting of the store.
    ExportRequest Request(const fs::path& target) {
        return {.store = &store_,
                .book = &book_,
                .userFolder = user_,
                .reports = &writer_,
                .meetings = AllMeetings(store_),
                .target = target,
                .archive = {.reportOptions = options_},
                .dump = {dir_ / "out" / "pictures"},
                .now = 1'800'000'000};
    }

    // The dump's meetings against the store: ids, texts, ISO dates, items in handheld order.
    void ExpectDumpEqualsStore(const json& dump) {
        ASSERT_EQ(dump["meetings"].size(), static_cast<std::size_t>(store_.MeetingCount()));
        for (std::int32_t i = 0; i < store_.MeetingCount(); ++i) {
            const Meeting& m = *store_.MeetingAt(i);
            const json& d = dump["meetings"][static_cast<std::size_t>(i)];
            EXPECT_EQ(d["id"], m.dwDBID);
            EXPECT_EQ(d["packedDate"], m.date);
            EXPECT_EQ(d["title"], platform::Cp932ToUtf8(m.szTitle));
            EXPECT_EQ(d["location"], platform::Cp932ToUtf8(m.szLocation));
            EXPECT_EQ(d["date"].is_null() ? std::string() : d["date"].get<std::string>(), ValidIsoDate(m.date).value_or(""));
            const std::vector<MeetingItem> items = store_.ItemsOf(m.dwDBID);
            ASSERT_EQ(d["items"].size(), items.size());
            for (std::size_t k = 0; k < items.size(); ++k) {
                const json& item = d["items"][k];
                if (const Note* n = store_.NoteOf(items[k])) {
                    EXPECT_EQ(item["text"], platform::Cp932ToUtf8(n->szText));
                } else if (const ToDo* t = store_.ToDoOf(items[k])) {
                    EXPECT_EQ(item["priority"], t->nPriority);
                    EXPECT_EQ(item["done"], t->bCompleted == 1);
                } else if (const Attendee* a = store_.AttendeeOf(items[k])) {
                    EXPECT_EQ(item["absent"], a->bAbsent != 0);
                } else if (const Agenda* g = store_.AgendaOf(items[k])) {
                    EXPECT_EQ(std::make_tuple(item["status"], item["discussed"]), std::make_tuple(json(g->nStatus), json(g->nStatus == 1)));
                }
            }
        }
        EXPECT_EQ(dump["addressBook"].size(), static_cast<std::size_t>(book_.Count()));
        // Every record is in the dump once: under the meetings that name it, or as unlinked.
        std::set<std::pair<ChildType, std::int32_t>> named;
        for (const auto& m : store_.Meetings()) {
            for (const MeetingItem& item : store_.ItemsOf(m->dwDBID)) named.insert({item.type, item.recordIndex});
        }
        EXPECT_EQ(named.size() + dump["unlinked"].size(),
                  static_cast<std::size_t>(store_.AgendaCount() + store_.NoteCount() + store_.ToDoCount() + store_.SketchCount() +
                                           store_.AttendeeCount()));
    }

    test::TempDir dir_;
    fs::path user_;
    MeetingDatabase store_{{}};
    AddressBook book_;
    test::RecordingUserInteraction ui_;
    ReportOptions options_;
    ReportFolder reports_{store_, book_};
    ReportWriter writer_{reports_, ui_};
};

TEST_P(ExportReadersTest, IndependentReadersReadBackEveryFile) {
    const fs::path out = dir_ / "out";
    fs::create_directories(out / "pictures");
    ExportSummary summaries[7];
    ExportText texts[7];

    // Every row of the exporter table, through its one job.
    const std::pair<std::string_view, fs::path> targets[7] = {{"dump", out / "dump.json"},        {"calendar", out / "calendar.ics"},
                                                              {"contacts", out / "contacts.vcf"}, {"sqlite", out / "store.sqlite"},
                                                              {"archive", out / "archive"},       {"markdown", out / "vault"},
                                                              {"xlsx", out / "minutes.xlsx"}};
    ASSERT_EQ(Exporters().size(), 7U);
    for (int i = 0; i < 7; ++i) {
        const Exporter& exporter = *FindExporter(targets[i].first);
        const ExportRequest request = Request(targets[i].second);
        const std::string document = exporter.job(request, texts[i], summaries[i]);
        ASSERT_TRUE(summaries[i].Ok()) << summaries[i].error;
        if (exporter.kind == ExportWrites::kDocument) test::WriteFileBytes(targets[i].second, document);
    }
    // The workbook's people sheet holds the rows of the people listing.
    json people = json::array();
    for (const Person& p : CollectPeople(store_, book_, AllMeetings(store_))) {
        people.push_back({p.name, p.company, p.attended, p.absent, p.first.value_or(""), p.last.value_or("")});
    }
    test::WriteFileBytes(out / "people.json", people.dump());
    ExpectDumpEqualsStore(json::parse(test::ReadFileBytes(out / "dump.json")));
    // The calendar by year and a card per file as --split writes them, the cards naming their
    // category (only the damaged book has one), for the readers to read file by file.
    ExportRequest categorized = Request({});
    categorized.cardCategories = true;
    ExportText names;
    ExportSummary cards;
    const std::pair<const char*, std::vector<SplitFile>> splits[] = {
        {"calendar-split", SplitCalendarByYear(test::ReadFileBytes(out / "calendar.ics"))},
        {"contacts-split", SplitVCards(FindExporter("contacts")->job(categorized, names, cards), names)}};
    std::string allCards;
    for (const auto& [folder, files] : splits) {
        for (const SplitFile& file : files) {
            test::WriteFileBytes(out / folder / fs::path(std::u8string(file.name.begin(), file.name.end())), file.document);
            if (file.name.ends_with(".vcf")) allCards += file.document;
        }
    }
    EXPECT_EQ(allCards.find("CATEGORIES:\xe5\x8f\x96\xe5\xbc\x95\xe5\x85\x88\r\n") != std::string::npos,
              std::string(GetParam().name) == "damaged");
    // The desktop's closing message: the contacts report only the address book, the archive no address.
    const std::vector<ExportCountValue> contacts = ReportedCounts(*FindExporter("contacts"), summaries[2]);
    ASSERT_EQ(contacts.size(), 1U);
    EXPECT_EQ(contacts[0].count, kCountAddresses);
    EXPECT_EQ(ReportedCounts(*FindExporter("archive"), summaries[4]).size(), 6U);

    // The dump, the calendar and the database hold every text once or more: each saw the damage.
    const bool damaged = std::string(GetParam().name) == "damaged";
    for (const int i : {0, 1, 3, 4, 5, 6}) EXPECT_EQ(summaries[i].replacements > 0, damaged) << i;

    // The archive's reports are the bytes the report command writes, with the policy after <head>.
    for (std::int32_t i = 0; i < store_.MeetingCount(); ++i) {
        const Meeting& m = *store_.MeetingAt(i);
        options_.outputFolder = out / "single";
        fs::create_directories(options_.outputFolder);
        ASSERT_TRUE(writer_.WriteBuiltInReport(out / "single" / "r.htm", m, ReportKind::kExecutive));
        const bool repeated = std::ranges::count(store_.Meetings(), m.dwDBID, [](const auto& other) { return other->dwDBID; }) > 1;
        std::string single = test::ReadFileBytes(out / "single" / "r.htm");
        single.insert(single.find("<head>") + 6,
                      "\r\n<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; img-src 'self'; "
                      "style-src 'self' 'unsafe-inline'; base-uri 'none'; form-action 'none'\">");
        EXPECT_EQ(test::ReadFileBytes(out / "archive" / ArchiveReportName(m, i, repeated, ".htm")), single) << i;
    }

    // The pixels each sketch's PNG must decode to.
    fs::create_directories(out / "rgb");
    for (std::int32_t i = 0; i < store_.SketchCount(); ++i) {
        const std::vector<std::uint8_t> rgb = store_.SketchAt(i)->image.Rgb();
        const std::string name = SketchFileName(*store_.SketchAt(i));
        test::WriteFileBytes(out / "rgb" / (name.substr(0, name.size() - 4) + ".rgb"), std::string(rgb.begin(), rgb.end()));
    }

    const std::string command = std::string("/usr/bin/python3 ") + TAVOLEX_EXPORT_CHECK + " " + out.string() + " --query '" +
                                GetParam().query + "' --trigram '" + GetParam().trigram + "' --user " + user_.filename().string();
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

// Every exporter that reports progress reports each meeting done out of the selection, and stops
// at the meeting after which the callback says to: nothing later is counted or reported.
TEST_P(ExportReadersTest, ProgressCountsEachMeetingAndStopsOnCancel) {
    const auto total = static_cast<std::int64_t>(store_.MeetingCount());
    const std::int64_t stopAt = std::min<std::int64_t>(2, total);
    fs::create_directories(dir_ / "cancel");
    for (const std::string_view name : {"dump", "calendar", "sqlite", "archive", "markdown", "xlsx"}) {
        std::vector<std::pair<std::int64_t, std::int64_t>> calls;
        ExportRequest request = Request(dir_ / "cancel" / std::string(name));
        request.dump = {};
        request.jobs = 2;
        request.progress = [&](std::int64_t done, std::int64_t of) {
            calls.emplace_back(done, of);
            return done < stopAt;
        };
        ExportText text;
        ExportSummary summary;
        (void)FindExporter(name)->job(request, text, summary);
        EXPECT_TRUE(summary.cancelled) << name;
        std::vector<std::pair<std::int64_t, std::int64_t>> expected;
        for (std::int64_t done = 1; done <= stopAt; ++done) expected.emplace_back(done, total);
        EXPECT_EQ(calls, expected) << name;
    }
}

// The sample user TanakaT's store and address book, and a vault folder beside them.
class SampleVaultTest : public ::testing::Test {
protected:
    SampleVaultTest() {
        store.SetFolder(user / "Tavolex");
        store.ReloadAll();
        book.Reload();
    }

    test::TempDir dir;
    const fs::path user = fs::path(TAVOLEX_SAMPLE_PALM_DIR) / "TanakaT";
    MeetingDatabase store{{}};
    AddressBook book{AddressBook::PathInUserFolder(user)};
    const fs::path vault = dir / "vault";
};

// An export of several users keeps each user's folder inside the target, whatever directory the
// user list gives: its last part names the folder, and one without a name leaves the user out.
TEST_F(SampleVaultTest, EveryUsersFolderStaysInsideTheTarget) {
    const std::pair<std::string, std::string> cases[] = {{"a", "a"}, {"../../escaped", "escaped"}, {"/abs/b", "b"}, {"..", ""}, {"", ""}};
    EveryUserExport run{.exporter = FindExporter("markdown"), .users = {}, .target = vault};
    for (const auto& c : cases) run.users.push_back(c.first);
    run.open = [this](const std::string& user, UserExportPart& part) {
        part.directory = user;
        part.request = {.store = &store, .book = &book, .meetings = AllMeetings(store)};
        return PartOpened::kOpened;
    };
    run.mayReplace = [](const fs::path&) { return false; };
    EveryUserSummary result;
    (void)ExportEveryUser(run, result);
    ASSERT_TRUE(result.summary.Ok()) << result.summary.error;
    EXPECT_EQ(result.written, (std::vector<std::string>{"a", "../../escaped", "/abs/b"}));
    EXPECT_EQ(result.leftOut, (std::vector<std::string>{"..", ""}));
    for (const auto& [directory, folder] : cases) {
        if (!folder.empty()) {
            EXPECT_TRUE(fs::is_regular_file(vault / folder / "index.md")) << directory;
        }
    }
    EXPECT_FALSE(fs::exists(dir / "escaped"));
    EXPECT_NE(test::ReadFileBytes(vault / "index.md").find("escaped/"), std::string::npos);
}

// A vault written again into its folder: a note the user edited stays as edited and is reported;
// the unchanged note of a meeting no longer exported goes (the manifest read with CR LF line ends),
// and a file the vault never wrote stays (an edited note of a meeting no longer exported:
// VaultRefreshTest.NamesFollowTheirMeetings). A folder holding other files is asked about; an
// earlier vault is not.
TEST_F(SampleVaultTest, RefreshKeepsWhatTheUserEdited) {
    test::WriteFileBytes(vault / "mine.txt", "x");
    const MeetingIndexes all = AllMeetings(store);
    ASSERT_GE(all.size(), 4U);
    EXPECT_EQ(VaultFilesToReplace(store, book, all, vault), std::vector<fs::path>{vault});
    ExportText text;
    ExportSummary first;
    ASSERT_TRUE(WriteMarkdownVault(store, book, all, vault, text, first)) << first.error;
    EXPECT_TRUE(VaultFilesToReplace(store, book, all, vault).empty());
    const auto noteOf = [&](std::int32_t index) {
        const std::string id = "\nid: " + std::to_string(store.MeetingAt(index)->dwDBID) + "\n";
        for (const fs::path& f : first.files) {
            if (f.parent_path() == vault && test::ReadFileBytes(f).find(id) != std::string::npos) return f;
        }
        return fs::path();
    };
    const fs::path edited = noteOf(0), gone = noteOf(1);
    test::WriteFileBytes(edited, test::ReadFileBytes(edited) + "my words\n");
    // The manifest with CR LF line ends, as a checkout with automatic line ends leaves it.
    std::string manifest = test::ReadFileBytes(vault / ".tavolex-vault");
    for (std::size_t at = manifest.find('\n'); at != std::string::npos; at = manifest.find('\n', at + 2)) manifest.insert(at, "\r");
    test::WriteFileBytes(vault / ".tavolex-vault", manifest);
    EXPECT_TRUE(VaultFilesToReplace(store, book, all, vault).empty());
    MeetingIndexes fewer = {all[0]};
    fewer.insert(fewer.end(), all.begin() + 2, all.end());
    ExportSummary second;
    ASSERT_TRUE(WriteMarkdownVault(store, book, fewer, vault, text, second)) << second.error;
    EXPECT_EQ(second.kept, std::vector<fs::path>{edited});
    EXPECT_TRUE(test::ReadFileBytes(edited).ends_with("my words\n"));
    EXPECT_FALSE(fs::exists(gone));
    EXPECT_EQ(test::ReadFileBytes(vault / "mine.txt"), "x");
}

// A manifest that is not the vault's own never leads outside the vault nor to a user's file: a
// linked sub-folder is refused by name, and only files of the vault's own shapes are removed.
TEST_F(SampleVaultTest, AManifestNeverLeadsOutOfTheVault) {
    const fs::path pictures = dir / "Pictures";
    const MeetingIndexes all = AllMeetings(store);
    ExportText text;
    ExportSummary first;
    ASSERT_TRUE(WriteMarkdownVault(store, book, all, vault, text, first)) << first.error;
    test::WriteFileBytes(pictures / "victim.txt", "the user's picture notes");
    test::WriteFileBytes(vault / "README.md", "the user's readme");
    std::string manifest = test::ReadFileBytes(vault / ".tavolex-vault");
    for (const char* name : {"README.md", "attachments/victim.txt", "../Pictures/victim.txt"}) {
        const std::string bytes = test::ReadFileBytes(std::string(name) == "README.md" ? vault / name : pictures / "victim.txt");
        char hash[17];
        std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv1a64(bytes)));
        manifest += std::string(hash) + " " + name + "\n";
    }
    test::WriteFileBytes(vault / ".tavolex-vault", manifest);
    ExportSummary second;
    ASSERT_TRUE(WriteMarkdownVault(store, book, all, vault, text, second)) << second.error;
    EXPECT_EQ(test::ReadFileBytes(vault / "README.md"), "the user's readme");

    fs::remove_all(vault / "attachments");
    fs::create_directory_symlink(pictures, vault / "attachments");
    ExportSummary third;
    EXPECT_FALSE(WriteMarkdownVault(store, book, all, vault, text, third));
    EXPECT_EQ(third.error, "cannot write into the folder " + (vault / "attachments").string() + ": it is a link to another folder");
    EXPECT_EQ(std::distance(fs::directory_iterator(pictures), fs::directory_iterator()), 1);
    EXPECT_EQ(test::ReadFileBytes(pictures / "victim.txt"), "the user's picture notes");
}

INSTANTIATE_TEST_SUITE_P(Stores, ExportReadersTest,
                         testing::Values(StoreCase{"TanakaT", nullptr, "価格", "競合製品"},
                                         StoreCase{"SuzukiH", nullptr, "ﾐｰﾃｨﾝｸﾞ", "休暇予定"},
                                         StoreCase{"damaged", WriteDamagedUser, "価格の検討", "価格の"},
                                         StoreCase{"large", WriteLargeUser, "最古", "meeting 7"}),
                         [](const testing::TestParamInfo<StoreCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavolex
