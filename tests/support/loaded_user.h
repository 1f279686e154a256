#pragma once
// A Palm user in a temporary folder, loaded as the program loads one: its database folder
// (dir/Tavolex) and an address book (dir/address.dat, empty unless people are given). For the
// test programs that link the meeting store and the address book.

#include "address_book/address_book.h"
#include "meeting_store/meeting_database.h"
#include "tests/support/address_book_writer.h"
#include "tests/support/palm_database_writer.h"
#include "tests/support/temp_dir.h"

namespace tavolex::test {

struct LoadedUser {
    explicit LoadedUser(const PalmUserSpec& user, const std::vector<AddressBookPerson>& people = {})
        : store(dir / "Tavolex"), book(dir / "address.dat") {
        WritePalmUserFolder(dir / "Tavolex", user);
        WriteAddressBook(dir / "address.dat", people);
        store.ReloadAll();
        book.Reload();
    }
    const Meeting& M(int index) const { return *store.Meetings().at(static_cast<std::size_t>(index)); }

    TempDir dir;
    MeetingDatabase store;
    AddressBook book;
};

}  // namespace tavolex::test
