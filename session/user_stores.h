#pragma once
// A Palm user's two stores, loaded the one way every front end loads them: the address book, then
// the meeting store. Each front end chooses the folders (the desktop its stored data folder, the
// command line the folder it found) and keeps the stores for its session.

#include "address_book/address_book.h"
#include "meeting_store/meeting_database.h"

#include <filesystem>
#include <memory>

namespace tavolex {

struct UserStores {
    std::unique_ptr<MeetingDatabase> meetings;
    std::unique_ptr<AddressBook> book;
};

// A file that cannot be read leaves its part empty; the stores are always made.
UserStores LoadUserStores(const std::filesystem::path& dataFolder, const std::filesystem::path& addressBook);

}  // namespace tavolex
