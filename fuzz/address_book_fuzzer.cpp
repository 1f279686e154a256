// Palm Desktop's address.dat: the book reloads it and every entry and category is read back.

#include "fuzz/fuzz_support.h"

using namespace tavolex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::QuietTrace();
    const auto path = fuzz::ScratchFolder() / "address.dat";
    fuzz::WriteFileBytes(path, fuzz::AsText(data, size));
    AddressBook book(path);
    const std::int32_t count = book.Reload();
    if (count != book.Count()) std::abort();
    std::size_t checked = 0;
    for (const auto& address : book.Addresses()) {
        if (++checked > 64) break;
        if (book.FindAddress(static_cast<std::uint32_t>(address->RecordId())) == nullptr) std::abort();
        if (address->LastName().size() + address->Note().size() + address->Custom(0).size() > size) std::abort();
    }
    (void)book.FindAddress(0x123);
    return 0;
}
