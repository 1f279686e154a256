#pragma once
// The Palm users of Palm Desktop, the entries of the user box, and the selection of the current
// user.

#include "platform/platform.h"
#include "session/folder_users.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tavolex {

class SettingsKey;
struct ApplicationSettings;

struct PalmUserEntry {
    std::int32_t index = 0;    // position in the library's list
    std::uint32_t userId = 0;  // as the library reports it
    std::uint8_t current = 0;  // 1 = the current user
    std::string name;          // CP932
    std::string directory;     // folder relative to the Palm Desktop folder + separator, CP932
};

// Applies the view codes of the selected user to the lists that exist (1 details, 2 large
// icons, 3 small icons, 4 list, anything else changes nothing).
using ViewApplier = std::function<void(std::uint32_t meetingView, std::uint32_t reportView)>;

class PalmUserList {
public:
    // The user box holds this many entries; further users are left out.
    static constexpr int kMaxEntries = 256;

    // A list over the library (none: no users); fromFolder: the users of a folder a person named,
    // not Palm Desktop's.
    explicit PalmUserList(std::unique_ptr<platform::PalmUserLibrary> library, bool fromFolder = false);

    [[nodiscard]] bool HasLibrary() const { return library_ != nullptr; }
    [[nodiscard]] bool FromFolder() const { return fromFolder_; }

    // The number of users, 0 to kMaxEntries.
    int UserCount();
    // UserCount, and every entry loses its current mark.
    int CountAndClearCurrent();
    std::uint32_t UserId(int index);
    const std::string& UserName(int index, std::uint32_t userId);
    // The user's directory with the separator appended.
    const std::string& UserDirectory(std::uint32_t userId);

    // Creates one entry per user and marks the current one: the user named by "LastUsername"
    // of the application key (for a folder's users, "FolderUsername" when it names one of them), and entry 0, which stays marked also when a later user matches.
    // Returns the index to select in the user box, -1 when there are no users.
    int FillEntries(SettingsKey& appKey);

    // The last user chosen: "LastUsername", or for a folder's users "FolderUsername" where it names
    // one of them.
    std::string LastUserName(SettingsKey& appKey);
    // Stores the entry as the last user: Palm Desktop's users as "LastUser", "LastUsername" and
    // "UserPath"; a folder's users as "FolderUsername" alone, so Palm Desktop's last user stays.
    void RememberCurrentUser(SettingsKey& appKey, const PalmUserEntry& entry) const;

    // Marks the user of that exact name (byte for byte) current, stores it as the last user,
    // makes it the current user of the settings and reads its folders and views. Returns its
    // index, or -1 (every mark cleared) when no user has that name.
    int SelectUserByName(std::string_view name, ApplicationSettings& settings, const ViewApplier& applyViews);

    const std::vector<std::unique_ptr<PalmUserEntry>>& Entries() const { return entries_; }
    // How many entries carry the current mark (entry 0 can carry it beside the user chosen).
    [[nodiscard]] int CurrentCount() const {
        int count = 0;
        for (const auto& entry : entries_) count += entry->current != 0 ? 1 : 0;
        return count;
    }
    PalmUserEntry* Entry(int index);
    void ClearCurrentMarks();
    // The entries end with the user box.
    void FreeEntries();

private:
    std::unique_ptr<platform::PalmUserLibrary> library_;
    bool fromFolder_ = false;
    std::string nameBuffer_;
    std::string directoryBuffer_;
    std::vector<std::unique_ptr<PalmUserEntry>> entries_;
};

}  // namespace tavolex
