#pragma once
// Palm Desktop's address book of the current Palm user, read whole so that attendees can be shown
// with their full entry: an attendee is matched by its address record id. The file is Palm
// Desktop's own; the book only reads it.

#include "address_book/address.h"
#include "address_book/address_category_list.h"
#include "address_book/address_file_reader.h"
#include "address_book/movable_memory.h"
#include "base/status.h"

#include <cassert>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

namespace tavolex {

// The book has no path to read.
inline constexpr LoadStatus kStatusNoPath = 4379;

class AddressBook {
public:
    // An empty book reading path; the memory is where the reader's texts are kept.
    explicit AddressBook(std::filesystem::path path = {}, MovableMemory& memory = DefaultMovableMemory());
    // Deletes the records, tracing each as a reload does.
    ~AddressBook();
    AddressBook(const AddressBook&) = delete;
    AddressBook& operator=(const AddressBook&) = delete;

    // Where Palm Desktop keeps the address book in a Palm user's folder: "address/address.dat".
    [[nodiscard]] static std::filesystem::path PathInUserFolder(const std::filesystem::path& userFolder);

    void SetPath(std::filesystem::path path) { path_ = std::move(path); }
    [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

    // Deletes every record and reads the file again; returns the number of records now held.
    // A missing file leaves the book empty; a malformed one keeps the records before the first
    // bad entry. LastLoadStatus tells which.
    std::int32_t Reload();
    // kStatusOk, kStatusNoPath, kStatusCannotOpen, kStatusReadFailure, or ReadAddressFile's
    // statuses; kStatusOk before the first reload.
    [[nodiscard]] LoadStatus LastLoadStatus() const { return lastStatus_; }

    [[nodiscard]] std::int32_t Count() const { return static_cast<std::int32_t>(contents_.addresses.size()); }
    // Records in file order; index must be 0 ... Count() - 1.
    [[nodiscard]] const Address& At(std::int32_t index) const {
        assert(index >= 0 && index < Count());
        return *contents_.addresses[static_cast<std::size_t>(index)];
    }
    [[nodiscard]] std::span<const std::unique_ptr<Address>> Addresses() const { return contents_.addresses; }
    // The first record, in file order, whose record id is addressId; null when there is none.
    [[nodiscard]] const Address* FindAddress(std::uint32_t addressId) const;

    // The last reload's category list; null when it did not get that far.
    [[nodiscard]] const AddressCategoryList* Categories() const { return contents_.categories.get(); }
    [[nodiscard]] const AddressSchema& Schema() const { return contents_.schema; }

private:
    void DeleteAll();
    [[nodiscard]] LoadStatus Load();

    std::filesystem::path path_;
    MovableMemory* memory_;
    AddressFileContents contents_;
    LoadStatus lastStatus_ = kStatusOk;
};

// An attendee's name from its address-book record: szLastName, one space, szFirstName.
[[nodiscard]] std::string AddressBookName(const Address& address);

}  // namespace tavolex
