// Cut address books: the reader keeps only the records read whole (damaged and random books are the
// address-book fuzzer's).

#include "address_book/address_file_reader.h"

#include "tests/support/address_book_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavolex {
namespace {

std::string SampleBook() {
    std::vector<test::AddressBookPerson> people;
    for (int i = 0; i < 4; ++i) {
        test::AddressBookPerson p;
        p.recordId = 100 + i;
        p.lastName = "Last\x01yomi" + std::to_string(i);
        p.company = "\x82\xa0\x82\xa2";
        p.phones[i].number = std::string(70, '5');
        p.note = std::string(i == 2 ? 300 : 20, 'n');  // one length past the one-byte form
        p.custom[3] = "custom";
        people.push_back(p);
    }
    return test::AddressBookBytes(people, {{1, 10, true, "Work", "Work"}, {2, 11, false, "Home", "Home"}});
}

struct Result {
    LoadStatus status;
    std::vector<std::int32_t> ids;
};

Result Read(const std::string& bytes) {
    AddressFileContents contents;
    const LoadStatus status = ReadAddressFile(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), contents, DefaultMovableMemory());
    Result result{status, {}};
    for (const auto& address : contents.addresses) result.ids.push_back(address->dwRecordID);
    return result;
}

TEST(AddressFileRobustnessTest, EveryCutKeepsAPrefixOfTheRecordsAndFails) {
    const std::string whole = SampleBook();
    const Result full = Read(whole);
    ASSERT_EQ(full.status, kStatusOk);
    ASSERT_EQ(full.ids.size(), 4u);
    for (std::size_t size = 1; size < whole.size(); ++size) {
        const Result cut = Read(whole.substr(0, size));
        ASSERT_NE(cut.status, kStatusOk) << size;
        ASSERT_LT(cut.ids.size(), full.ids.size()) << size;
        ASSERT_TRUE(std::equal(cut.ids.begin(), cut.ids.end(), full.ids.begin())) << size;
    }
}

}  // namespace
}  // namespace tavolex
