#include "tests/support/address_book_writer.h"

#include "tests/support/temp_dir.h"

#include <algorithm>

namespace tavolex::test {

constexpr std::int32_t kFieldsPerRecord = 30;

std::vector<std::uint16_t> StandardAddressFieldTypes() {
    std::vector<std::uint16_t> types(kFieldsPerRecord, 5);
    for (const int position : {0, 1, 2, 7, 9, 11, 13, 15, 24, 29}) types[position] = 1;
    types[23] = 6;  // private flag
    return types;
}

AddressFileBuilder& AddressFileBuilder::U8(std::uint8_t value) { return Raw(std::string(1, static_cast<char>(value))); }

AddressFileBuilder& AddressFileBuilder::U16(std::uint16_t value) {
    return U8(static_cast<std::uint8_t>(value)).U8(static_cast<std::uint8_t>(value >> 8));
}

AddressFileBuilder& AddressFileBuilder::I32(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    return U16(static_cast<std::uint16_t>(bits)).U16(static_cast<std::uint16_t>(bits >> 16));
}

AddressFileBuilder& AddressFileBuilder::Raw(std::string_view bytes) {
    bytes_.append(bytes);
    return *this;
}

AddressFileBuilder& AddressFileBuilder::LengthText(std::string_view text) {
    text = text.substr(0, 0xFFFF);
    if (text.size() >= 255) return U8(255).U16(static_cast<std::uint16_t>(text.size())).Raw(text);
    return U8(static_cast<std::uint8_t>(text.size())).Raw(text);
}

AddressFileBuilder& AddressFileBuilder::Header(std::string_view fileName) { return I32(0x42410100).LengthText(fileName).LengthText(""); }

AddressFileBuilder& AddressFileBuilder::Categories(const std::vector<AddressBookCategory>& categories) {
    std::int32_t nextFreeId = 1;
    for (const AddressBookCategory& category : categories) nextFreeId = std::max(nextFreeId, category.id + 1);
    I32(nextFreeId).I32(static_cast<std::int32_t>(categories.size()));
    for (const AddressBookCategory& category : categories) {
        I32(category.index).I32(category.id).I32(category.dirty ? 1 : 0);
        LengthText(category.shortName).LengthText(category.longName);
    }
    return *this;
}

AddressFileBuilder& AddressFileBuilder::Schema(std::int32_t fieldsPerRecord, const std::vector<std::uint16_t>& types) {
    // The resource id, then the positions of the record id, status and placement.
    I32(128).I32(fieldsPerRecord).I32(0).I32(1).I32(2).U16(static_cast<std::uint16_t>(types.size()));
    for (const std::uint16_t type : types) U16(type);
    return *this;
}

AddressFileBuilder& AddressFileBuilder::IntegerEntry(std::int32_t value, std::int32_t type) { return I32(type).I32(value); }

AddressFileBuilder& AddressFileBuilder::TextEntry(std::string_view text, std::int32_t type) { return I32(type).I32(0).LengthText(text); }

AddressFileBuilder& AddressFileBuilder::Person(const AddressBookPerson& p) {
    IntegerEntry(p.recordId).IntegerEntry(p.status).IntegerEntry(p.placement);
    TextEntry(p.lastName).TextEntry(p.firstName).TextEntry(p.title).TextEntry(p.company);
    for (const AddressBookPhone& phone : p.phones) IntegerEntry(phone.label).TextEntry(phone.number);
    TextEntry(p.address).TextEntry(p.city).TextEntry(p.state).TextEntry(p.zip).TextEntry(p.country).TextEntry(p.note);
    IntegerEntry(p.isPrivate ? 1 : 0, 6).IntegerEntry(p.categoryId);
    for (const std::string& custom : p.custom) TextEntry(custom);
    return IntegerEntry(p.displayPhone);
}

std::string AddressBookBytes(const std::vector<AddressBookPerson>& people, const std::vector<AddressBookCategory>& categories) {
    AddressFileBuilder builder;
    builder.Header()
        .Categories(categories)
        .Schema(kFieldsPerRecord, StandardAddressFieldTypes())
        .EntryCount(static_cast<std::int32_t>(people.size()) * kFieldsPerRecord);
    for (const AddressBookPerson& person : people) builder.Person(person);
    return builder.Bytes();
}

void WriteAddressBook(const std::filesystem::path& path, const std::vector<AddressBookPerson>& people,
                      const std::vector<AddressBookCategory>& categories) {
    WriteFileBytes(path, AddressBookBytes(people, categories));
}

}  // namespace tavolex::test
