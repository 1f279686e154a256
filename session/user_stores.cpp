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

bool StoreLoadIsNoticeable(const std::filesystem::path& dataFolder) {
    std::error_code error;
    std::uintmax_t total = 0;
    for (std::filesystem::directory_iterator it(dataFolder, error), end; !error && it != end; it.increment(error)) {
        std::error_code sizeError;
        if (!it->is_regular_file(sizeError)) continue;
        const std::uintmax_t size = it->file_size(sizeError);
        if (!sizeError) total += size;
        if (total > kNoticeableStoreBytes) return true;
    }
    return false;
}

}  // namespace tavolex
