#include "session/user_stores.h"

namespace tavolex {

UserStores LoadUserStores(const std::filesystem::path& dataFolder, const std::filesystem::path& addressBook) {
    UserStores stores;
    stores.book = std::make_unique<AddressBook>(addressBook);
    stores.book->Reload();
    stores.meetings = std::make_unique<MeetingDatabase>(dataFolder);
    stores.meetings->ReloadAll();
    return stores;
}

}  // namespace tavolex
