#pragma once
// A Palm user's two stores, loaded the one way every front end loads them: the address book, then
// the meeting store. Each front end chooses the folders (the desktop its stored data folder, the
// command line the folder it found) and keeps the stores for its session.

#include "address_book/address_book.h"
#include "meeting_store/meeting_database.h"

#include <cstdint>
#include <filesystem>
#include <memory>

namespace tavolex {

struct UserStores {
    std::unique_ptr<MeetingDatabase> meetings;
    std::unique_ptr<AddressBook> book;
};

// A file that cannot be read leaves its part empty; the stores are always made.
UserStores LoadUserStores(const std::filesystem::path& dataFolder, const std::filesystem::path& addressBook);

// The same into stores the program already holds (a change of user, the reload request): each is
// given the new path and reloaded whole.
void LoadAddressBook(AddressBook& book, const std::filesystem::path& file);
void LoadMeetingStore(MeetingDatabase& meetings, const std::filesystem::path& dataFolder);

// The bytes of the data folder's files past which its load takes about half a second or more on
// the window's thread (a full store with its sketch pictures holds 185 MB), so a window should say
// it is loading rather than look hung.
inline constexpr std::uintmax_t kNoticeableStoreBytes = std::uintmax_t{24} << 20;
// Whether the files directly in the folder hold more than kNoticeableStoreBytes together; false
// for a folder that cannot be read.
[[nodiscard]] bool StoreLoadIsNoticeable(const std::filesystem::path& dataFolder);

}  // namespace tavolex
