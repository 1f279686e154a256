#pragma once
// The reading of address.dat, Palm Desktop's address book file, from its bytes. Numbers are
// little-endian, 4-byte values signed, 2-byte values unsigned; texts are length-prefixed.
//
// Layout: file tag; file name and label table (texts, not used); the category list; the schema
// (fields per record F and the field types); the total N of field entries, then N / F records of
// F entries each. An entry is its 4-byte type (1 or 6 integer, 5 text) and an integer value, or
// 4 unused bytes and a text.

#include "address_book/address.h"
#include "address_book/address_category_list.h"
#include "address_book/movable_memory.h"
#include "base/status.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace tavolex {

// A text longer than the 256 bytes a category name may have.
inline constexpr LoadStatus kStatusTextTooLong = 4353;

inline constexpr std::int32_t kFieldTypeInteger = 1;
inline constexpr std::int32_t kFieldTypeText = 5;
inline constexpr std::int32_t kFieldTypeFlag = 6;

// Positions of a record's fields, as Palm Desktop writes them; the table of the reader gives the
// rest (status, placement, the phones after the first, private flag, category, display phone).
inline constexpr std::int32_t kPosRecordId = 0;
inline constexpr std::int32_t kPosLastName = 3;
inline constexpr std::int32_t kPosFirstName = 4;
inline constexpr std::int32_t kPosTitle = 5;
inline constexpr std::int32_t kPosCompany = 6;
inline constexpr std::int32_t kPosPhone1Label = 7;  // each phone: label index, then number
inline constexpr std::int32_t kPosAddress = 17;
inline constexpr std::int32_t kPosCity = 18;
inline constexpr std::int32_t kPosState = 19;
inline constexpr std::int32_t kPosZip = 20;
inline constexpr std::int32_t kPosCountry = 21;
inline constexpr std::int32_t kPosNote = 22;
inline constexpr std::int32_t kPosPrivate = 23;
inline constexpr std::int32_t kPosCategory = 24;  // the category's id in the category list
inline constexpr std::int32_t kPosCustom1 = 25;   // customs 1 ... 4 in a row
inline constexpr std::int32_t kAddressPositionCount = 30;

struct AddressSchema {
    static constexpr std::int32_t kMaxFieldTypes = 33;

    std::int32_t fieldsPerRecord = 0;
    std::int32_t fieldTypeCount = 0;  // types kept: the file's first 33 at most
    std::array<std::uint16_t, kMaxFieldTypes> fieldTypes{};

    // The type the schema gives position; 0, which no entry may have, where it gives none.
    [[nodiscard]] std::uint16_t TypeAt(std::int32_t position) const {
        return position >= 0 && position < fieldTypeCount ? fieldTypes[static_cast<std::size_t>(position)] : 0;
    }
};

struct AddressFileContents {
    std::unique_ptr<AddressCategoryList> categories;
    AddressSchema schema;
    std::vector<std::unique_ptr<Address>> addresses;
};

// Reads the file's bytes into contents: the category list is replaced, the schema set and the
// records appended, up to kMaxRecords in all. Returns kStatusOk (an empty file too), the read
// statuses (end of file, short read) where the data runs out, kStatusBadHeader for a file shorter
// than its tag, kStatusTextTooLong, the category list's statuses, kStatusCannotOpen for an entry
// whose type is not the one its position needs, kStatusOutOfMemory, or a GlobalString result.
// A failure ends the reading; the records read before it stay.
[[nodiscard]] LoadStatus ReadAddressFile(std::span<const std::uint8_t> bytes, AddressFileContents& contents,
                                         MovableMemory& memory);

}  // namespace tavolex
