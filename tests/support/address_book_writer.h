#pragma once
// Builds Palm Desktop address book files (address.dat) for tests: whole books from a list of
// people and categories, and, for malformed files, the pieces one at a time. Texts are CP932
// bytes as they go into the file.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tavolex::test {

struct AddressBookPhone {
    std::int32_t label = 0;  // label index 0 ... 7
    std::string number;
};

struct AddressBookPerson {
    std::int32_t recordId = 0;
    std::int32_t status = 0;
    std::int32_t placement = 0;
    std::string lastName{}, firstName{}, title{}, company{};
    std::array<AddressBookPhone, 5> phones{{{0, {}}, {1, {}}, {2, {}}, {3, {}}, {4, {}}}};
    std::string address{}, city{}, state{}, zip{}, country{}, note{};
    bool isPrivate = false;
    std::int32_t categoryId = 0;
    std::array<std::string, 4> custom{};
    std::int32_t displayPhone = 0;
};

struct AddressBookCategory {
    std::int32_t index = 0;
    std::int32_t id = 0;
    bool dirty = false;
    std::string shortName{}, longName{};
};

// The field types Palm Desktop gives the 30 positions of a record: 1 integer, 5 text, 6 flag.
std::vector<std::uint16_t> StandardAddressFieldTypes();

// The file's pieces, little-endian, in the order they are added.
class AddressFileBuilder {
public:
    AddressFileBuilder& U8(std::uint8_t value);
    AddressFileBuilder& U16(std::uint16_t value);
    AddressFileBuilder& I32(std::int32_t value);
    AddressFileBuilder& Raw(std::string_view bytes);
    // One length byte, or from 255 bytes on 255 and a 2-byte length (texts are cut to 65,535).
    AddressFileBuilder& LengthText(std::string_view text);

    // File tag, file name and label table.
    AddressFileBuilder& Header(std::string_view fileName = "address.dat");
    // Next free id, count and the categories; "Unfiled" is not in the file.
    AddressFileBuilder& Categories(const std::vector<AddressBookCategory>& categories);
    AddressFileBuilder& Schema(std::int32_t fieldsPerRecord, const std::vector<std::uint16_t>& types);
    AddressFileBuilder& EntryCount(std::int32_t entries) { return I32(entries); }
    AddressFileBuilder& IntegerEntry(std::int32_t value, std::int32_t type = 1);
    AddressFileBuilder& TextEntry(std::string_view text, std::int32_t type = 5);
    // The 30 entries of one person, types as StandardAddressFieldTypes.
    AddressFileBuilder& Person(const AddressBookPerson& person);

    [[nodiscard]] const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
};

// A whole book: header, categories, the standard schema, and the people in order.
std::string AddressBookBytes(const std::vector<AddressBookPerson>& people, const std::vector<AddressBookCategory>& categories = {});
// Writes AddressBookBytes to path, making its folders.
void WriteAddressBook(const std::filesystem::path& path, const std::vector<AddressBookPerson>& people,
                      const std::vector<AddressBookCategory>& categories = {});

}  // namespace tavolex::test
