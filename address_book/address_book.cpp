#include "address_book/address_book.h"

#include "base/trace.h"

#include <fstream>
#include <new>
#include <system_error>
#include <vector>

namespace tavolex {
namespace {

// The whole file: kStatusCannotOpen when it is missing or no file, kStatusReadFailure when
// reading breaks off.
LoadStatus ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return kStatusCannotOpen;
    std::ifstream in(path, std::ios::binary);
    if (!in) return kStatusCannotOpen;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error) bytes.reserve(static_cast<std::size_t>(size));
    char chunk[1 << 16];
    while (in) {
        in.read(chunk, sizeof chunk);
        bytes.insert(bytes.end(), chunk, chunk + in.gcount());
    }
    return in.bad() ? kStatusReadFailure : kStatusOk;
}

}  // namespace

AddressBook::AddressBook(std::filesystem::path path, MovableMemory& memory)
    : path_(std::move(path)), memory_(&memory) {}

AddressBook::~AddressBook() { DeleteAll(); }

std::filesystem::path AddressBook::PathInUserFolder(const std::filesystem::path& userFolder) {
    return userFolder / "address" / "address.dat";
}

std::int32_t AddressBook::Reload() {
    DeleteAll();
    contents_.categories.reset();
    contents_.schema = AddressSchema();
    lastStatus_ = Load();
    return Count();
}

const Address* AddressBook::FindAddress(std::uint32_t addressId) const {
    for (const std::unique_ptr<Address>& address : contents_.addresses) {
        if (static_cast<std::uint32_t>(address->dwRecordID) == addressId) return address.get();
    }
    return nullptr;
}

void AddressBook::DeleteAll() {
    for (std::size_t i = 0; i < contents_.addresses.size(); ++i) {
        Trace("DELETED Address[%i] = " TAVOLEX_TRACE_PTR, static_cast<int>(i),
              TraceAddress(contents_.addresses[i].get()));
        contents_.addresses[i].reset();
    }
    contents_.addresses.clear();
}

LoadStatus AddressBook::Load() {
    if (path_.empty()) return kStatusNoPath;
    try {
        std::vector<std::uint8_t> bytes;
        if (const LoadStatus status = ReadWholeFile(path_, bytes); status != kStatusOk) return status;
        return ReadAddressFile(bytes, contents_, *memory_);
    } catch (const std::bad_alloc&) {
        return kStatusOutOfMemory;
    }
}

std::string AddressBookName(const Address& address) {
    std::string name(address.LastName());
    name += ' ';
    name += address.FirstName();
    return name;
}

}  // namespace tavolex
