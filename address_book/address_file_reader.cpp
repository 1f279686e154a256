#include "address_book/address_file_reader.h"

#include "base/shift_jis.h"
#include "address_book/global_string.h"
#include "base/byte_reader.h"
#include "resources/string_table.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>

namespace tavolex {
namespace {

constexpr std::size_t kMaxCategoryName = 256;
constexpr std::uint8_t kLongTextMark = 255;
constexpr char kNameEndMark = '\x01';
// The smallest entry: a type and an integer value.
constexpr std::int64_t kMinEntryBytes = 8;

enum class FieldKind : std::uint8_t { Integer, Text };

constexpr FieldKind I = FieldKind::Integer;
constexpr FieldKind T = FieldKind::Text;
constexpr std::array<FieldKind, kAddressPositionCount> kPositionKinds = {
    I, I, I, T, T, T, T,           // record id, status, placement, last, first, title, company
    I, T, I, T, I, T, I, T, I, T,  // five phones: label index, number
    T, T, T, T, T, T,              // address, city, state, zip, country, note
    I, I,                          // private flag, category id
    T, T, T, T,                    // customs 1 ... 4
    I,                             // display phone
};

// A ByteReader that turns the first read past the data into the read status a file read gives:
// end of file when no byte was left, a short read when some were.
class AddressFileCursor {
public:
    explicit AddressFileCursor(std::span<const std::uint8_t> bytes) : reader_(bytes) {}

    [[nodiscard]] LoadStatus Status() const { return status_; }
    [[nodiscard]] std::size_t Remaining() const { return reader_.Remaining(); }

    std::int32_t I32() { return Fits(4) ? reader_.I32Le() : 0; }
    std::uint16_t U16() { return Fits(2) ? reader_.U16Le() : 0; }
    void Skip(std::size_t n) {
        if (Fits(n)) reader_.Skip(n);
    }

    // A length-prefixed text: one length byte, or 255 and a 2-byte length; then the bytes.
    std::string_view LengthText() {
        std::size_t length = Fits(1) ? reader_.U8() : 0;
        if (length == kLongTextMark) length = Fits(2) ? reader_.U16Le() : 0;
        if (!Fits(length)) return {};
        const std::span<const std::uint8_t> text = reader_.Sub(length).Rest();
        return {reinterpret_cast<const char*>(text.data()), text.size()};
    }

private:
    bool Fits(std::size_t n) {
        if (status_ != kStatusOk) return false;
        if (n <= reader_.Remaining()) return true;
        status_ = reader_.Remaining() == 0 ? kStatusEndOfFile : kStatusShortRead;
        return false;
    }

    ByteReader reader_;
    LoadStatus status_ = kStatusOk;
};

// Copies text into a field, cut at the first mark byte when asked and to the field at a
// character boundary; always NUL-terminated.
template <std::size_t N>
void CopyField(char (&field)[N], std::string_view text, bool cutAtMark = false) {
    if (cutAtMark) text = text.substr(0, text.find(kNameEndMark));
    const std::size_t kept = Cp932FitLength(text, N - 1);
    std::memcpy(field, text.data(), kept);
    field[kept] = '\0';
}

LoadStatus CopyText(GlobalString& target, std::string_view text) {
    const auto length = static_cast<std::int32_t>(text.size());  // at most 65,535
    if (const int result = target.Reserve(length + 1); result != kGlobalStringOk) return result;
    char* buffer = target.GetBuffer(length + 1);
    if (buffer == nullptr) return kGlobalStringNoMemory;
    std::memcpy(buffer, text.data(), text.size());
    buffer[length] = '\0';
    return target.ReleaseBuffer(-1);
}

bool IsIntegerType(std::int32_t type) { return type == kFieldTypeInteger || type == kFieldTypeFlag; }

LoadStatus ReadHeader(AddressFileCursor& cursor, MovableMemory& memory) {
    GlobalString fileName(memory);
    const std::string_view name = cursor.LengthText();
    if (cursor.Status() != kStatusOk) return cursor.Status();
    if (const LoadStatus status = CopyText(fileName, name); status != kStatusOk) return status;
    (void)cursor.LengthText();  // label table
    return cursor.Status();
}

LoadStatus ReadCategoryName(AddressFileCursor& cursor, std::string_view& name) {
    name = cursor.LengthText();
    if (cursor.Status() != kStatusOk) return cursor.Status();
    return name.size() > kMaxCategoryName ? kStatusTextTooLong : kStatusOk;
}

LoadStatus ReadCategories(AddressFileCursor& cursor, AddressFileContents& contents) {
    contents.categories.reset(new (std::nothrow) AddressCategoryList);
    if (!contents.categories) return kStatusOutOfMemory;
    AddressCategoryList& list = *contents.categories;
    list.SetNextFreeId(cursor.I32());
    const std::int32_t count = cursor.I32() & 0xFFFF;
    if (cursor.Status() != kStatusOk) return cursor.Status();

    AddressCategory unfiled;
    CopyField(unfiled.szShortName, "Unfiled");
    CopyField(unfiled.szLongName, "Unfiled");
    (void)list.Add(unfiled);  // the first of an empty list always fits

    for (std::int32_t i = 0; i < count; ++i) {
        AddressCategory category;
        category.index = cursor.I32();
        category.id = cursor.I32();
        category.dirty = cursor.I32() != 0;
        std::string_view name;
        if (const LoadStatus status = ReadCategoryName(cursor, name); status != kStatusOk) return status;
        CopyField(category.szShortName, name);
        if (const LoadStatus status = ReadCategoryName(cursor, name); status != kStatusOk) return status;
        CopyField(category.szLongName, name);
        if (const LoadStatus status = list.Add(category); status != kStatusOk) return status;
    }
    return kStatusOk;
}

LoadStatus ReadSchema(AddressFileCursor& cursor, AddressSchema& schema) {
    schema = AddressSchema();
    (void)cursor.I32();  // resource id
    schema.fieldsPerRecord = cursor.I32();
    cursor.Skip(12);  // record id, status and placement positions
    const std::uint16_t typeCount = cursor.U16();
    for (std::uint16_t i = 0; i < typeCount && cursor.Status() == kStatusOk; ++i) {
        const std::uint16_t type = cursor.U16();
        if (i < AddressSchema::kMaxFieldTypes) schema.fieldTypes[i] = type;
    }
    schema.fieldTypeCount = std::min<std::int32_t>(typeCount, AddressSchema::kMaxFieldTypes);
    return cursor.Status();
}

// The values of the record being read, by position.
struct RecordFields {
    explicit RecordFields(MovableMemory& memory) {
        texts.reserve(kAddressPositionCount);
        for (std::int32_t i = 0; i < kAddressPositionCount; ++i) texts.emplace_back(memory);
    }

    std::array<std::int32_t, kAddressPositionCount> integers{};
    std::vector<GlobalString> texts;
};

LoadStatus ReadEntryType(AddressFileCursor& cursor, std::uint16_t schemaType, std::int32_t& type) {
    type = cursor.I32();
    if (cursor.Status() != kStatusOk) return cursor.Status();
    return type == schemaType ? kStatusOk : kStatusCannotOpen;
}

LoadStatus ReadIntegerEntry(AddressFileCursor& cursor, std::uint16_t schemaType, std::int32_t& value) {
    std::int32_t type = 0;
    if (const LoadStatus status = ReadEntryType(cursor, schemaType, type); status != kStatusOk) return status;
    if (!IsIntegerType(type)) return kStatusCannotOpen;
    value = cursor.I32();
    return cursor.Status();
}

LoadStatus ReadTextEntry(AddressFileCursor& cursor, std::uint16_t schemaType, GlobalString& text) {
    text.Empty();
    std::int32_t type = 0;
    if (const LoadStatus status = ReadEntryType(cursor, schemaType, type); status != kStatusOk) return status;
    if (type != kFieldTypeText) return kStatusCannotOpen;
    cursor.Skip(4);
    const std::string_view bytes = cursor.LengthText();
    if (cursor.Status() != kStatusOk) return cursor.Status();
    return CopyText(text, bytes);
}

// Positions past the ones an Address keeps: their entries are walked over, so that the next
// record starts where it should.
LoadStatus SkipEntry(AddressFileCursor& cursor, std::uint16_t schemaType) {
    std::int32_t type = 0;
    if (const LoadStatus status = ReadEntryType(cursor, schemaType, type); status != kStatusOk) return status;
    if (IsIntegerType(type)) {
        cursor.Skip(4);
    } else if (type == kFieldTypeText) {
        cursor.Skip(4);
        (void)cursor.LengthText();
    } else {
        return kStatusCannotOpen;
    }
    return cursor.Status();
}

LoadStatus ReadRecord(AddressFileCursor& cursor, const AddressSchema& schema, RecordFields& fields) {
    for (std::int32_t position = 0; position < schema.fieldsPerRecord; ++position) {
        const std::uint16_t schemaType = schema.TypeAt(position);
        LoadStatus status = kStatusOk;
        if (position >= kAddressPositionCount) {
            status = SkipEntry(cursor, schemaType);
        } else if (kPositionKinds[static_cast<std::size_t>(position)] == FieldKind::Integer) {
            status = ReadIntegerEntry(cursor, schemaType, fields.integers[static_cast<std::size_t>(position)]);
        } else {
            status = ReadTextEntry(cursor, schemaType, fields.texts[static_cast<std::size_t>(position)]);
        }
        if (status != kStatusOk) return status;
    }
    return kStatusOk;
}

// The label text of a phone's label index; none for an index outside the eight labels or a
// label position the record does not have.
void SetPhoneLabel(char (&label)[64], const RecordFields& fields, std::int32_t position, std::int32_t fieldsPerRecord) {
    const std::int32_t index = fields.integers[static_cast<std::size_t>(position)];
    if (position >= fieldsPerRecord || index < 0 || index >= kPhoneLabelCount) {
        label[0] = '\0';
        return;
    }
    CopyField(label, StringTableText(kIdsPhoneWork + index));
}

void ConvertRecord(const RecordFields& fields, std::int32_t fieldsPerRecord, Address& address) {
    const auto text = [&fields](std::int32_t position) {
        return fields.texts[static_cast<std::size_t>(position)].View();
    };
    address.dwRecordID = fields.integers[kPosRecordId];
    address.dwCategoryID = fields.integers[kPosCategory];
    CopyField(address.szLastName, text(kPosLastName), true);
    CopyField(address.szFirstName, text(kPosFirstName), true);
    CopyField(address.szTitle, text(kPosTitle));
    CopyField(address.szCompany, text(kPosCompany), true);
    for (std::int32_t phone = 0; phone < kAddressPhoneCount; ++phone) {
        const std::int32_t labelPosition = kPosPhone1Label + 2 * phone;
        SetPhoneLabel(address.phones[phone].szPhoneLabel, fields, labelPosition, fieldsPerRecord);
        CopyField(address.phones[phone].szPhone, text(labelPosition + 1));
    }
    CopyField(address.szAddress, text(kPosAddress));
    CopyField(address.szCity, text(kPosCity));
    CopyField(address.szState, text(kPosState));
    CopyField(address.szZip, text(kPosZip));
    CopyField(address.szCountry, text(kPosCountry));
    CopyField(address.szNote, text(kPosNote));
    for (std::int32_t custom = 0; custom < kAddressCustomCount; ++custom) {
        CopyField(address.szCustom[custom], text(kPosCustom1 + custom));
    }
}

LoadStatus ReadRecords(AddressFileCursor& cursor, AddressFileContents& contents, MovableMemory& memory) {
    const std::int32_t entryCount = cursor.I32();
    if (cursor.Status() != kStatusOk) return cursor.Status();
    const std::int64_t fieldsPerRecord = contents.schema.fieldsPerRecord;
    // A schema without fields describes no record, whatever the entry count says.
    if (fieldsPerRecord <= 0 || entryCount <= 0) return kStatusOk;
    const std::int64_t records = entryCount / fieldsPerRecord;
    const std::int64_t room = kMaxRecords - static_cast<std::int64_t>(contents.addresses.size());
    const std::int64_t present = static_cast<std::int64_t>(cursor.Remaining()) / (kMinEntryBytes * fieldsPerRecord);
    contents.addresses.reserve(contents.addresses.size() +
                               static_cast<std::size_t>(std::min({records, room, present})));

    RecordFields fields(memory);
    // Records past the 65,520 a book holds are not read.
    for (std::int64_t record = 0; record < records && record < room; ++record) {
        if (const LoadStatus status = ReadRecord(cursor, contents.schema, fields); status != kStatusOk) return status;
        std::unique_ptr<Address> address(new (std::nothrow) Address{});
        if (!address) return kStatusOutOfMemory;
        ConvertRecord(fields, contents.schema.fieldsPerRecord, *address);
        contents.addresses.push_back(std::move(address));
    }
    return kStatusOk;
}

}  // namespace

LoadStatus ReadAddressFile(std::span<const std::uint8_t> bytes, AddressFileContents& contents, MovableMemory& memory) {
    if (bytes.empty()) return kStatusOk;
    AddressFileCursor cursor(bytes);
    (void)cursor.I32();  // file tag, not checked
    if (cursor.Status() != kStatusOk) return kStatusBadHeader;
    if (const LoadStatus status = ReadHeader(cursor, memory); status != kStatusOk) return status;
    if (const LoadStatus status = ReadCategories(cursor, contents); status != kStatusOk) return status;
    if (const LoadStatus status = ReadSchema(cursor, contents.schema); status != kStatusOk) return status;
    return ReadRecords(cursor, contents, memory);
}

}  // namespace tavolex
