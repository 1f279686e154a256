#include "session/user_change.h"

#include "address_book/address_book.h"
#include "meeting_store/meeting_database.h"
#include "session/user_folders.h"
#include "session/user_place.h"
#include "session/user_stores.h"
#include "settings/settings_key.h"
#include "settings/settings_text.h"
#include "settings/program_strings.h"

#include <string>

namespace tavolex {
namespace {

template <typename Callback, typename... Args>
void Call(const Callback& callback, Args&&... args) {
    if (callback) callback(std::forward<Args>(args)...);
}

// The settings take the place's folders of the current user.
void UsePlaceFolders(ApplicationSettings& s, const UserPlace& place) {
    s.databaseFolder = place.dataFolder;
    s.outputFolder = place.reportFolder;
}

void RefreshWindows(const UserChangeCallbacks& callbacks) {
    Call(callbacks.refillLists);
    Call(callbacks.repaintFrame);
}

UserChangeCallbacks WithStores(AddressBook& addressBook, MeetingDatabase& meetings, UserChangeCallbacks callbacks) {
    callbacks.reloadAddressBook = [&addressBook,
                                   then = std::move(callbacks.reloadAddressBook)](const std::filesystem::path& file) {
        LoadAddressBook(addressBook, file);
        Call(then, file);
    };
    callbacks.reloadMeetingStore = [&meetings, before = callbacks.loadingMeetingStore,
                                    then =
                                        std::move(callbacks.reloadMeetingStore)](const std::filesystem::path& folder) {
        Call(before, folder);
        LoadMeetingStore(meetings, folder);
        Call(then, folder);
    };
    return callbacks;
}

}  // namespace

void ChangeUser(int selection, PalmUserList& users, UserPlace& place, ApplicationSettings& s,
                const ShellEnvironment& env, const UserChangeCallbacks& callbacks) {
    Call(callbacks.clearCurrentMeeting);
    PalmUserEntry* entry = users.Entry(selection);
    if (entry == nullptr) return;
    users.ClearCurrentMarks();
    entry->current = 1;
    // A copy: selecting reads the library into the list's buffers.
    const std::string name = entry->name;
    users.SelectUserByName(name, s, callbacks.applyViews);
    const int index = IndexOfUser(place, name);
    if (index >= 0) Call(callbacks.reloadAddressBook, place.users[static_cast<std::size_t>(index)].folders.addressBook);

    SettingsKey& user = s.userKey;
    user.OpenUserKey(s.userDirectory);
    s.meetingView = user.ReadDword("MeetingView");
    s.reportView = user.ReadDword("ReportView");
    if (user.ReadString("OutputPath", kPathBufferSize).empty() ||
        user.ReadString("DatabasePath", kPathBufferSize).empty())
        user.WriteUserDefaults(s.userDirectory, s.authorName, env.screenSize());
    SelectPlaceUser(place, index, PlaceSource::kOption, s);
    UsePlaceFolders(s, place);
    Call(callbacks.setQuickViewText, std::string_view(kQuickViewTitle));
    Call(callbacks.reloadMeetingStore, s.databaseFolder);
    RefreshWindows(callbacks);
}

void ReloadLastUser(PalmUserList& users, UserPlace& place, ApplicationSettings& s,
                    const UserChangeCallbacks& callbacks) {
    const std::string name = users.LastUserName(s.appKey);
    const int index = users.SelectUserByName(name, s, callbacks.applyViews);
    Call(callbacks.setUserBoxSelection, index);
    if (name.empty()) return;

    users.CountAndClearCurrent();
    if (const int found = IndexOfUser(place, name); found >= 0) {
        SelectPlaceUser(place, found, PlaceSource::kSetting, s);
        UsePlaceFolders(s, place);
        Call(callbacks.reloadAddressBook, place.addressBook);
        Call(callbacks.reloadMeetingStore, place.dataFolder);
        s.userDirectory = place.users[static_cast<std::size_t>(found)].directory + kFolderSeparator;
    }
    Call(callbacks.setQuickViewText, std::string_view(kQuickViewTitle));
    Call(callbacks.clearCurrentMeeting);
    RefreshWindows(callbacks);
}

void ChangeUser(int selection, PalmUserList& users, UserPlace& place, ApplicationSettings& settings,
                const ShellEnvironment& env, AddressBook& addressBook, MeetingDatabase& meetings,
                const UserChangeCallbacks& callbacks) {
    ChangeUser(selection, users, place, settings, env, WithStores(addressBook, meetings, callbacks));
}

void ReloadLastUser(PalmUserList& users, UserPlace& place, ApplicationSettings& settings, AddressBook& addressBook,
                    MeetingDatabase& meetings, const UserChangeCallbacks& callbacks) {
    ReloadLastUser(users, place, settings, WithStores(addressBook, meetings, callbacks));
}

void SaveShutdownSettings(ApplicationSettings& s, const WindowRect& frame, const PalmUserList& users) {
    SettingsKey& user = s.userKey;
    user.OpenUserKey(s.userDirectory);
    user.WriteDword("MeetingView", s.meetingView);
    user.WriteDword("ReportView", s.reportView);
    user.WriteDword("x", static_cast<std::uint32_t>(frame.left));
    user.WriteDword("y", static_cast<std::uint32_t>(frame.top));
    // Differences taken as 32-bit values, as the store keeps them.
    user.WriteDword("w", static_cast<std::uint32_t>(frame.right) - static_cast<std::uint32_t>(frame.left));
    user.WriteDword("h", static_cast<std::uint32_t>(frame.bottom) - static_cast<std::uint32_t>(frame.top));
    for (const auto& entry : users.Entries()) {
        if (entry->current != 0) users.RememberCurrentUser(s.appKey, *entry);
    }
}

}  // namespace tavolex
