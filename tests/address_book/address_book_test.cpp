#include "address_book/address_book.h"

#include "address_book/global_string.h"
#include "platform/platform.h"
#include "base/trace.h"
#include "tests/support/address_book_writer.h"
#include "tests/support/recording_debug_channel.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace tavolex {
namespace {

using namespace test;

std::string Cp932(const char* utf8) { return platform::Utf8ToCp932(utf8); }

AddressBookPerson Person(std::int32_t id, std::string name) { return {.recordId = id, .lastName = std::move(name)}; }

std::vector<AddressBookCategory> NumberedCategories(int count, std::int32_t firstId = 1) {
    std::vector<AddressBookCategory> categories;
    for (int i = 0; i < count; ++i) {
        categories.push_back({i + 1, firstId + i, false, "C" + std::to_string(i), "Category " + std::to_string(i)});
    }
    return categories;
}

// Header, no categories, the schema and the entry count; the caller adds the entries.
AddressFileBuilder Prefix(std::int32_t fields, std::int32_t entries,
                          const std::vector<std::uint16_t>& types = test::StandardAddressFieldTypes()) {
    AddressFileBuilder builder;
    builder.Header().Categories({}).Schema(fields, types).EntryCount(entries);
    return builder;
}

class AddressBookTest : public ::testing::Test {
protected:
    // Writes bytes as the book's file and reloads it.
    std::int32_t Load(const std::string& bytes) {
        test::WriteFileBytes(path, bytes);
        return book.Reload();
    }

    test::TempDir dir;
    std::filesystem::path path = AddressBook::PathInUserFolder(dir.Path());
    AddressBook book{path};
};

// The texts of the eight phone label indexes.
const std::string kPhoneLabels[] = {"\x89\xef\x8e\xd0\x93\x64\x98\x62",
                                    "\x8e\xa9\x91\xee\x93\x64\x98\x62",
                                    "Fax\x94\xd4\x8d\x86",
                                    "\x82\xbb\x82\xcc\x91\xbc",
                                    "E-mail",
                                    "\x83\x81\x83\x43\x83\x93",
                                    "\x83\x7c\x83\x50\x83\x78\x83\x8b",
                                    "\x83\x82\x83\x6f\x83\x43\x83\x8b"};

TEST_F(AddressBookTest, AFullPersonRoundTrips) {
    AddressBookPerson p{.recordId = 0x123456,
                        .lastName = Cp932("山田"),
                        .firstName = Cp932("太郎"),
                        .title = "Manager",
                        .company = "Tavolex",
                        .address = "1-2-3",
                        .city = "Chiyoda",
                        .state = "Tokyo",
                        .zip = "100-0001",
                        .country = "Japan",
                        .note = "note",
                        .custom = {"c1", "c2", "c3", "c4"}};
    for (int i = 0; i < 5; ++i) p.phones[i] = {7 - i, "03-" + std::to_string(i)};
    ASSERT_EQ(Load(test::AddressBookBytes({p})), 1);
    const Address& a = book.At(0);
    EXPECT_EQ(a.RecordId(), 0x123456);
    EXPECT_EQ((std::vector<std::string_view>{a.LastName(), a.FirstName(), a.Title(), a.Company(), a.Street(), a.City(), a.State(), a.Zip(),
                                             a.Country(), a.Note(), a.Custom(1), a.Custom(4)}),
              (std::vector<std::string_view>{Cp932("山田"), Cp932("太郎"), "Manager", "Tavolex", "1-2-3", "Chiyoda", "Tokyo", "100-0001",
                                             "Japan", "note", "c1", "c4"}));
    for (int n = 1; n <= 5; ++n) EXPECT_EQ(a.Phone(n), "03-" + std::to_string(n - 1)) << n;
}

// Numbers past either end give nothing, never the neighbouring field's text.
TEST(AddressTest, FieldNumbersOutsideTheirRangeGiveNothing) {
    Address a;
    std::memset(a.szCompany, 'c', sizeof a.szCompany - 1);
    std::memset(a.szAddress, 'a', sizeof a.szAddress - 1);
    std::memset(a.szNote, 'n', sizeof a.szNote - 1);
    EXPECT_EQ((std::vector<std::string_view>{a.Phone(0), a.PhoneLabel(0), a.Phone(6), a.PhoneLabel(6), a.Custom(0)}),
              (std::vector<std::string_view>(5, "")));
}

TEST_F(AddressBookTest, PhoneLabelIndexesOutsideTheEightGiveNoLabel) {
    std::vector<AddressBookPerson> people;
    for (int label = -1; label <= 8; ++label) {
        AddressBookPerson p = Person(label, "");
        p.phones[1] = {label, "x"};
        people.push_back(p);
    }
    ASSERT_EQ(Load(test::AddressBookBytes(people)), 10);
    for (int label = -1; label <= 8; ++label) {
        const Address& a = book.At(label + 1);
        EXPECT_EQ(a.PhoneLabel(2), label >= 0 && label < 8 ? kPhoneLabels[label] : "") << label;
        EXPECT_EQ(a.Phone(2), "x");
    }
}

TEST_F(AddressBookTest, TextsAreCutAtTheFirstMarkOrTheFieldAtACharacterBoundary) {
    AddressBookPerson marked = Person(1, Cp932("山田") + "\x01yomi\x01more");
    marked.firstName = "\x01hidden";
    marked.company =
        "Co\x01"
        "Kana";
    marked.title = "Ti\x01tle";
    AddressBookPerson longer = Person(2, std::string(300, 'L'));
    longer.phones[0].number = std::string(100, '9');
    longer.phones[1].number = Cp932("あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみ");  // 64 bytes
    longer.note = std::string(70000, 'n');  // more than a length can say: the writer keeps 65,535
    ASSERT_EQ(Load(test::AddressBookBytes({marked, longer})), 2);
    EXPECT_EQ(book.LastLoadStatus(), kStatusOk);
    const Address& m = book.At(0);
    EXPECT_EQ((std::vector<std::string_view>{m.LastName(), m.FirstName(), m.Company(), m.Title()}),
              (std::vector<std::string_view>{Cp932("山田"), "", "Co", "Ti\x01tle"}));
    const Address& a = book.At(1);
    EXPECT_EQ(a.LastName(), std::string(255, 'L'));
    EXPECT_EQ(a.Phone(1), std::string(63, '9'));
    EXPECT_EQ(a.Phone(2).size(), 62u);  // 31 whole characters; a 63-byte cut would split the 32nd
    EXPECT_EQ(a.Note(), std::string(4095, 'n'));
}

// Files whose counts, schema or entry types disagree: how many records load and the status.
TEST_F(AddressBookTest, CountsSchemasAndEntryTypes) {
    struct Case {
        std::string name;
        std::string bytes;
        std::int32_t records;
        LoadStatus status;
    };
    std::vector<Case> cases;
    // Records are the entries divided by the fields per record.
    for (const auto& [entries, records] : {std::pair{90, 3}, {91, 3}, {89, 2}, {29, 0}, {-30, 0}}) {
        AddressFileBuilder builder = Prefix(30, entries);
        for (int i = 0; i < 4; ++i) builder.Person(Person(i, "P"));
        cases.push_back({"entries " + std::to_string(entries), builder.Bytes(), records, kStatusOk});
    }
    // An integer entry at a text position.
    cases.push_back({"integer as text", Prefix(30, 30).IntegerEntry(1).IntegerEntry(0).IntegerEntry(0).IntegerEntry(5, 1).Bytes(), 0,
                     kStatusCannotOpen});
    // A schema type 1 at position 23 where the file writes a flag, and a text position whose schema
    // type is not text even when the entry says text.
    for (const std::size_t position : {23u, 5u}) {
        std::vector<std::uint16_t> types = test::StandardAddressFieldTypes();
        types[position] = 1;
        cases.push_back({"schema " + std::to_string(position), Prefix(30, 30, types).Person(Person(1, "A")).Bytes(), 0, kStatusCannotOpen});
    }
    // No fields per record: no records, whatever the entry count.
    cases.push_back({"no fields", Prefix(0, 1000, {}).IntegerEntry(1).Bytes(), 0, kStatusOk});
    // Fewer types than fields: a position without a type ends the load.
    std::vector<std::uint16_t> few = test::StandardAddressFieldTypes();
    few.resize(10);
    cases.push_back({"10 types", Prefix(30, 30, few).Person(Person(5, "five")).Bytes(), 0, kStatusCannotOpen});
    // Category lists: at most 15 in the file besides "Unfiled", ids unique and not 0, names fit.
    std::vector<AddressBookCategory> repeated = NumberedCategories(3);
    repeated[2].id = repeated[0].id;
    std::vector<AddressBookCategory> longName = NumberedCategories(1);
    longName[0].longName = std::string(257, 'y');
    for (const auto& [name, categories, status] : {std::tuple{"16 categories", NumberedCategories(16), kStatusCategoryListFull},
                                                   {"category id 0", NumberedCategories(1, 0), kStatusDuplicateCategoryId},
                                                   {"repeated id", repeated, kStatusDuplicateCategoryId},
                                                   {"long name", longName, kStatusTextTooLong}}) {
        cases.push_back({name, test::AddressBookBytes({Person(1, "A")}, categories), 0, status});
    }
    // At most 65,520 records are read.
    AddressFileBuilder most = Prefix(1, kMaxRecords + 1, {1});
    for (std::int32_t i = 0; i <= kMaxRecords; ++i) most.IntegerEntry(i);
    cases.push_back({"65,521 records", most.Bytes(), kMaxRecords, kStatusOk});
    // No bytes, and a header cut short.
    cases.push_back({"empty", "", 0, kStatusOk});
    cases.push_back({"short header", "\x01\x02\x03", 0, kStatusBadHeader});
    // The entry count has a fixed size, so the third record starts where a two-person file ends.
    const std::string whole = test::AddressBookBytes({Person(1, "one"), Person(2, "two"), Person(3, "three")});
    const std::size_t third = test::AddressBookBytes({Person(1, "one"), Person(2, "two")}).size();
    cases.push_back({"cut before the third", whole.substr(0, third), 2, kStatusEndOfFile});
    cases.push_back({"last byte missing", whole.substr(0, whole.size() - 1), 2, kStatusShortRead});
    for (const Case& c : cases) {
        EXPECT_EQ(Load(c.bytes), c.records) << c.name;
        EXPECT_EQ(book.LastLoadStatus(), c.status) << c.name;
    }
    EXPECT_EQ(book.At(1).LastName(), "two");
}

// Fields past the 30 an address keeps are walked over, and fewer fields than an address has leave
// the rest empty, without phone labels.
TEST_F(AddressBookTest, WideAndNarrowSchemas) {
    std::vector<std::uint16_t> types = test::StandardAddressFieldTypes();
    types.push_back(1);
    types.push_back(5);
    AddressFileBuilder wide = Prefix(32, 64, types);
    wide.Person(Person(1, "one")).IntegerEntry(99).TextEntry("extra");
    wide.Person(Person(2, "two")).IntegerEntry(99).TextEntry("extra");
    EXPECT_EQ(Load(wide.Bytes()), 2);
    EXPECT_EQ(book.At(1).LastName(), "two");

    ASSERT_EQ(Load(Prefix(5, 5).IntegerEntry(3).IntegerEntry(0).IntegerEntry(0).TextEntry("last").TextEntry("first").Bytes()), 1);
    EXPECT_EQ(book.At(0).FirstName(), "first");
    EXPECT_EQ(book.At(0).PhoneLabel(1), "");
}

TEST_F(AddressBookTest, MissingFileOrFolderInItsPlace) {
    AddressBook noPath;
    EXPECT_EQ(noPath.Reload(), 0);
    EXPECT_EQ(noPath.LastLoadStatus(), kStatusNoPath);
    EXPECT_EQ(book.Reload(), 0);  // no file yet
    EXPECT_EQ(book.LastLoadStatus(), kStatusCannotOpen);
    std::filesystem::create_directories(path);
    EXPECT_EQ(book.Reload(), 0);
    EXPECT_EQ(book.LastLoadStatus(), kStatusCannotOpen);
}

TEST_F(AddressBookTest, LookUpGivesTheFirstMatchInFileOrder) {
    ASSERT_EQ(Load(test::AddressBookBytes({Person(7, "first"), Person(8, "other"), Person(7, "second")})), 3);
    ASSERT_NE(book.FindAddress(7), nullptr);
    EXPECT_EQ(book.FindAddress(7)->LastName(), "first");
    EXPECT_EQ(book.FindAddress(8)->LastName(), "other");
    EXPECT_EQ(book.FindAddress(9), nullptr);
}

TEST_F(AddressBookTest, CategoryNamesAndSlots) {
    ASSERT_EQ(Load(test::AddressBookBytes({Person(1, "A")})), 1);
    ASSERT_NE(book.Categories(), nullptr);
    EXPECT_STREQ(book.Categories()->Slot(0)->szShortName, "Unfiled");
    EXPECT_EQ(Load(test::AddressBookBytes({Person(1, "A")}, NumberedCategories(15))), 1);
    EXPECT_EQ(book.Categories()->Count(), 16);
    EXPECT_STREQ(book.Categories()->Slot(15)->szLongName, "Category 14");

    std::vector<AddressBookCategory> categories = NumberedCategories(3);
    categories[0].shortName = "abcdefghijklmn" + Cp932("あ");  // 14 + 2 bytes: the character doesn't fit
    categories[0].longName = std::string(256, 'x');
    categories[1].index = 16;  // outside the slots: first free slot
    categories[2].index = 1;   // slot taken: first free slot
    ASSERT_EQ(Load(test::AddressBookBytes({Person(1, "A")}, categories)), 1);
    const AddressCategoryList& list = *book.Categories();
    EXPECT_STREQ(list.Slot(1)->szShortName, "abcdefghijklmn");
    EXPECT_EQ(std::string(list.Slot(1)->szLongName), std::string(255, 'x'));
    EXPECT_EQ(list.Slot(2)->index, 16);
    EXPECT_EQ(list.Slot(3)->id, categories[2].id);
    EXPECT_EQ(list.FindId(categories[1].id), list.Slot(2));
}

TEST_F(AddressBookTest, ReloadReplacesAndTracesEachDeletedRecord) {
    test::RecordingDebugChannel debug;
    SetTraceTargets({nullptr, nullptr, &debug});
    ASSERT_EQ(Load(test::AddressBookBytes({Person(1, "A"), Person(2, "B")})), 2);
    char expected[2][64];
    for (int i = 0; i < 2; ++i) {
        std::snprintf(expected[i], sizeof expected[i], "DELETED Address[%d] = 0x%08" PRIxPTR, i, TraceAddress(&book.At(i)));
    }
    test::WriteFileBytes(path, test::AddressBookBytes({Person(3, "C")}));
    EXPECT_EQ(book.Reload(), 1);
    SetTraceTargets(CommandLineTraceTargets());
    EXPECT_EQ(debug.Text(), std::string(expected[0]) + "\n" + expected[1] + "\n");
    EXPECT_EQ(book.At(0).RecordId(), 3);
}

// Movable memory whose blocks can't grow past a size.
class SmallMemory : public MovableMemory {
public:
    bool Reallocate(Handle block, std::size_t size) override { return size <= 1000 && MovableMemory::Reallocate(block, size); }
};

TEST_F(AddressBookTest, AStringFailureEndsTheLoadWithItsCode) {
    AddressBookPerson big = Person(2, "big");
    big.note = std::string(2000, 'n');
    test::WriteAddressBook(path, {Person(1, "small"), big, Person(3, "after")});
    SmallMemory memory;
    AddressBook small(path, memory);
    EXPECT_EQ(small.Reload(), 1);
    EXPECT_EQ(small.LastLoadStatus(), kGlobalStringNoMemory);
}

}  // namespace
}  // namespace tavolex
