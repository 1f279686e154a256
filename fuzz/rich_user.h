#pragma once
// A Palm user with every kind of item, Shift-JIS texts whose second bytes are '\' and '{', several
// lines, a to-do with and without a due date, sketches of two depths, attendees found in the
// address book and one that isn't: the fixed meeting the template fuzzers expand, and the source of
// the seed inputs of the store fuzzers.

#include "tests/support/address_book_writer.h"
#include "tests/support/palm_database_writer.h"

#include <vector>

namespace tavolex::fuzz {

test::PalmUserSpec RichUser();
std::vector<test::AddressBookPerson> RichAddressBook();

}  // namespace tavolex::fuzz
