#include "session/user_change.h"

#include "address_book/address_book.h"
#include "meeting_store/meeting_database.h"
#include "session/user_folders.h"
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

void ReadOutputAndDatabase(ApplicationSettings& s) {
    s.outputFolder = PathFromSettingsText(s.userKey.ReadString("OutputPath", kPathBufferSize));
    s.databaseFolder = PathFromSettingsText(s.userKey.ReadString("DatabasePath", kPathBufferSize));
}

// A user of a folder a person named: the data folder is found there, and the reports go to the
// folder the person set, else outside the copied folder, which is never written.
void UseChosenFolder(ApplicationSettings& s, std::string_view directory, std::string_view name) {
    s.databaseFolder = FindUserFolders(s.palmDesktopFolder, directory).data;
    if (!ReportFolderIsSet(s.userKey)) s.outputFolder = ChosenFolderReportFolder(name);
}

void RefreshWindows(const UserChangeCallbacks& callbacks) {
    Call(callbacks.refillLists);
    Call(callbacks.repaintFrame);
}

UserChangeCallbacks WithStores(AddressBook& addressBook, MeetingDatabase& meetings, UserChangeCallbacks callbacks) {
    callbacks.reloadAddressBook = [&addressBook,
                                   then = std::move(callbacks.reloadAddressBook)](const std::filesystem::path& file) {
        addressBook.SetPath(file);
        addressBook.Reload();
        Call(then, file);
    };
    callbacks.reloadMeetingStore = [&meetings, before = callbacks.loadingMeetingStore,
                                    then =
                                        std::move(callbacks.reloadMeetingStore)](const std::filesystem::path& folder) {
        Call(before, folder);
        meetings.SetFolder(folder);
        meetings.ReloadAll();
        Call(then, folder);
    };
    return callbacks;
}

}  // namespace

void ChangeUser(int selection, PalmUserList& users, ApplicationSettings& s, const ShellEnvironment& env,
                const UserChangeCallbacks& callbacks) {
    Call(callbacks.clearCurrentMeeting);
    PalmUserEntry* entry = users.Entry(selection);
    if (entry == nullptr) return;
    users.ClearCurrentMarks();
    entry->current = 1;
    // Copies: selecting reads the library into the list's buffers.
    const std::string name = entry->name;
    const std::string directory = entry->directory;
    users.SelectUserByName(name, s, callbacks.applyViews);

    const std::filesystem::path palmFolder =
        users.FromFolder() ? s.palmDesktopFolder
                           : PathFromSettingsText(s.appKey.ReadPalmDesktopFolder(kPathBufferSize));
    Call(callbacks.reloadAddressBook, FindUserFolders(palmFolder, directory).addressBook);

    SettingsKey& user = s.userKey;
    user.OpenUserKey(s.userDirectory);
    ReadOutputAndDatabase(s);
    s.meetingView = user.ReadDword("MeetingView");
    s.reportView = user.ReadDword("ReportView");
    if (s.outputFolder.empty() || s.databaseFolder.empty()) {
        user.WriteUserDefaults(s.userDirectory, s.authorName, env.screenSize());
        ReadOutputAndDatabase(s);
    }
    if (users.FromFolder()) UseChosenFolder(s, directory, name);
    Call(callbacks.setQuickViewText, std::string_view(kQuickViewTitle));
    Call(callbacks.reloadMeetingStore, s.databaseFolder);
    RefreshWindows(callbacks);
}

void ReloadLastUser(PalmUserList& users, ApplicationSettings& s, const UserChangeCallbacks& callbacks) {
    const std::string name = s.appKey.ReadString("LastUsername", kPathBufferSize);
    const int index = users.SelectUserByName(name, s, callbacks.applyViews);
    Call(callbacks.setUserBoxSelection, index);
    if (name.empty()) return;

    const std::filesystem::path palmFolder = PathFromSettingsText(s.appKey.ReadPalmDesktopFolder(kPathBufferSize));
    const int count = users.CountAndClearCurrent();
    for (int i = 0; i < count; ++i) {
        const PalmUserEntry* entry = users.Entry(i);
        if (entry == nullptr || entry->name != name) continue;
        const UserFolders folders = FindUserFolders(palmFolder, entry->directory);
        Call(callbacks.reloadAddressBook, folders.addressBook);
        Call(callbacks.reloadMeetingStore, folders.data);
        s.userDirectory = entry->directory;
    }
    Call(callbacks.setQuickViewText, std::string_view(kQuickViewTitle));
    Call(callbacks.clearCurrentMeeting);
    RefreshWindows(callbacks);
}

void ChangeUser(int selection, PalmUserList& users, ApplicationSettings& settings, const ShellEnvironment& env,
                AddressBook& addressBook, MeetingDatabase& meetings, const UserChangeCallbacks& callbacks) {
    ChangeUser(selection, users, settings, env, WithStores(addressBook, meetings, callbacks));
}

void ReloadLastUser(PalmUserList& users, ApplicationSettings& settings, AddressBook& addressBook,
                    MeetingDatabase& meetings, const UserChangeCallbacks& callbacks) {
    ReloadLastUser(users, settings, WithStores(addressBook, meetings, callbacks));
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
        if (entry->current == 0) continue;
        s.appKey.WriteDword("LastUser", entry->userId);
        s.appKey.WriteString("LastUsername", entry->name);
        s.appKey.WriteString("UserPath", entry->directory);
    }
}

}  // namespace tavolex
