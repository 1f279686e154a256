// Palm Desktop's address.dat: the book reloads it and every entry and category is read back.

#include "fuzz/fuzz_support.h"

using namespace tavolex;

void fuzz::FuzzOne(std::string_view input) {
    const auto path = fuzz::ScratchFolder() / "address.dat";
    test::WriteFileBytes(path, input);
    AddressBook book(path);
    const std::int32_t count = book.Reload();
    if (count != book.Count()) std::abort();
    std::size_t checked = 0;
    for (const auto& address : book.Addresses()) {
        if (++checked > 64) break;
        if (book.FindAddress(static_cast<std::uint32_t>(address->RecordId())) == nullptr) std::abort();
        if (address->LastName().size() + address->Note().size() + address->Custom(0).size() > input.size()) std::abort();
    }
    (void)book.FindAddress(0x123);
}
