#include "session/user_stores.h"

namespace tavolex {

void LoadAddressBook(AddressBook& book, const std::filesystem::path& file) {
    book.SetPath(file);
    book.Reload();
}

void LoadMeetingStore(MeetingDatabase& meetings, const std::filesystem::path& dataFolder) {
    meetings.SetFolder(dataFolder);
    meetings.ReloadAll();
}

UserStores LoadUserStores(const std::filesystem::path& dataFolder, const std::filesystem::path& addressBook) {
    UserStores stores;
    stores.book = std::make_unique<AddressBook>();
    LoadAddressBook(*stores.book, addressBook);
    stores.meetings = std::make_unique<MeetingDatabase>(dataFolder);
    LoadMeetingStore(*stores.meetings, dataFolder);
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
