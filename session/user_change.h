#pragma once
// The change of Palm user and the reload request, as operations of the core: the frame (or the
// command-line tool) hands in what its windows and stores do as callbacks. An empty callback is
// skipped.

#include "settings/application_settings.h"
#include "session/palm_user_list.h"
#include "session/user_place.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>

namespace tavolex {

class AddressBook;
class MeetingDatabase;

struct UserChangeCallbacks {
    std::function<void()> clearCurrentMeeting;  // the current meeting becomes none (-1)
    ViewApplier applyViews;
    std::function<void(const std::filesystem::path& addressBookFile)> reloadAddressBook;
    std::function<void(const std::filesystem::path& databaseFolder)> reloadMeetingStore;
    // Called before the meeting store of the folder is loaded (a window may say it is loading).
    std::function<void(const std::filesystem::path& databaseFolder)> loadingMeetingStore;
    std::function<void(std::string_view cp932)> setQuickViewText;
    std::function<void()> refillLists;  // meeting, report and item lists, no selection
    std::function<void()> repaintFrame;
    std::function<void(int index)> setUserBoxSelection;  // reload request: -1 = no selection
};

// The user box's selection changed to entry selection: mark it, select that user (writing the user
// defaults first when its output or data folder is not set), make it the place's current user,
// reload the address book and the meeting store from the place's folders, then refill and repaint.
void ChangeUser(int selection, PalmUserList& users, UserPlace& place, ApplicationSettings& settings,
                const ShellEnvironment& env, const UserChangeCallbacks& callbacks);

// The reload request another process sends: select the last user again ("LastUsername", or for a
// folder's users the one last chosen among them) and reload its address book and meeting store
// from the place, which for a folder's users is the folder, never Palm Desktop.
void ReloadLastUser(PalmUserList& users, UserPlace& place, ApplicationSettings& settings,
                    const UserChangeCallbacks& callbacks);

// The same over the program's stores: the address book and the meeting store are given the new
// user's paths and reloaded whole, before the reload callbacks (if any) are called.
void ChangeUser(int selection, PalmUserList& users, UserPlace& place, ApplicationSettings& settings,
                const ShellEnvironment& env, AddressBook& addressBook, MeetingDatabase& meetings,
                const UserChangeCallbacks& callbacks);
void ReloadLastUser(PalmUserList& users, UserPlace& place, ApplicationSettings& settings, AddressBook& addressBook,
                    MeetingDatabase& meetings, const UserChangeCallbacks& callbacks);

// The frame window's screen rectangle at shutdown.
struct WindowRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// The writes of shutdown: views and placement to the user key, and the current user (every
// entry marked current, in order) to the application key.
void SaveShutdownSettings(ApplicationSettings& settings, const WindowRect& frame, const PalmUserList& users);

}  // namespace tavolex
