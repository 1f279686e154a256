#include "session/user_place.h"

#include "base/ascii.h"
#include "base/trace.h"
#include "session/folder_users.h"
#include "session/palm_user_list.h"
#include "settings/application_settings.h"
#include "settings/settings_key.h"
#include "settings/settings_text.h"

#include <algorithm>
#include <system_error>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

bool IsFolder(const fs::path& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

// The users of Palm Desktop's library, or none when it lists none.
std::vector<PlaceUser> LibraryUsers(platform::PalmUserLibrary& library) {
    std::vector<PlaceUser> users;
    const int count = std::min<int>(library.UserCount(), PalmUserList::kMaxEntries);
    for (int i = 0; i < count; ++i) {
        PlaceUser user;
        user.userId = library.UserId(i);
        user.name = library.UserName(user.userId);
        user.directory = platform::WithoutTrailingSeparators(library.UserDirectory(user.userId));
        users.push_back(std::move(user));
    }
    return users;
}

std::vector<PlaceUser> FolderPlaceUsers(FolderUsers found, fs::path& palmFolder) {
    palmFolder = found.palmFolder;
    std::vector<PlaceUser> users;
    std::uint32_t id = 0;
    for (std::string& directory : found.directories) {
        if (users.size() == static_cast<std::size_t>(PalmUserList::kMaxEntries)) break;
        PlaceUser user;
        user.userId = ++id;
        user.name = directory;
        user.directory = std::move(directory);
        users.push_back(std::move(user));
    }
    return users;
}

// A path from the user key; empty when the value is absent.
fs::path StoredPath(SettingsKey& key, std::string_view name) {
    return PathFromSettingsText(key.ReadString(name, kPathBufferSize));
}

// The place's users as a user-data library: the desktop's user box lists them as Palm Desktop's.
class PlaceUserLibrary final : public platform::PalmUserLibrary {
public:
    explicit PlaceUserLibrary(const std::vector<PlaceUser>& users) : users_(users) {}

    std::int16_t UserCount() override { return static_cast<std::int16_t>(users_.size()); }
    std::uint32_t UserId(std::int32_t index) override {
        return index >= 0 && static_cast<std::size_t>(index) < users_.size()
                   ? users_[static_cast<std::size_t>(index)].userId
                   : 0;
    }
    std::string UserName(std::uint32_t userId) override {
        const PlaceUser* user = Find(userId);
        return user != nullptr ? user->name : std::string();
    }
    std::string UserDirectory(std::uint32_t userId) override {
        const PlaceUser* user = Find(userId);
        return user != nullptr ? user->directory : std::string();
    }

private:
    const PlaceUser* Find(std::uint32_t userId) const {
        const auto it =
            std::find_if(users_.begin(), users_.end(), [&](const PlaceUser& u) { return u.userId == userId; });
        return it == users_.end() ? nullptr : &*it;
    }

    std::vector<PlaceUser> users_;
};

}  // namespace

int IndexOfUser(const UserPlace& place, std::string_view name) {
    if (name.empty()) return -1;
    const auto it =
        std::find_if(place.users.begin(), place.users.end(), [&](const PlaceUser& u) { return u.name == name; });
    return it == place.users.end() ? -1 : static_cast<int>(it - place.users.begin());
}

std::string_view PlaceSourceName(PlaceSource source) {
    switch (source) {
        case PlaceSource::kNone: return "none";
        case PlaceSource::kOption: return "option";
        case PlaceSource::kEnvironment: return "environment";
        case PlaceSource::kPalmDesktop: return "palm-desktop";
        case PlaceSource::kChosenFolder: return "chosen-folder";
        case PlaceSource::kSetting: return "setting";
        case PlaceSource::kDefault: return "default";
    }
    return "none";
}

UserPlace FindUserPlace(const PlaceRequest& request, ApplicationSettings& settings,
                        platform::PalmDesktop& palmDesktop) {
    UserPlace place;
    SettingsKey& app = settings.appKey;
    const std::string saved = app.ReadPalmDesktopFolder(kPalmFolderBufferSize);
    const fs::path savedFolder = saved.size() <= 1 ? fs::path() : PathFromSettingsText(saved);

    if (!request.palmFolder.empty()) {
        place.palmFolder = request.palmFolder;
        place.palmFolderFrom = PlaceSource::kOption;
    } else if (!request.environmentPalmFolder.empty()) {
        place.palmFolder = request.environmentPalmFolder;
        place.palmFolderFrom = PlaceSource::kEnvironment;
    } else if (!savedFolder.empty()) {
        if (auto library = palmDesktop.LoadUserLibrary(settings.hotSyncFolder, savedFolder)) {
            place.users = LibraryUsers(*library);
            if (!place.users.empty()) {
                place.palmFolder = savedFolder;
                place.palmFolderFrom = PlaceSource::kPalmDesktop;
            }
        }
    }
    if (place.palmFolderFrom == PlaceSource::kNone) {
        const fs::path chosen = PathFromSettingsText(app.ReadString(kChosenPalmFolderValue, kPathBufferSize));
        if (!chosen.empty()) {
            place.palmFolder = chosen;
            place.palmFolderFrom = PlaceSource::kChosenFolder;
        } else if (!savedFolder.empty()) {
            place.palmFolder = savedFolder;
            place.palmFolderFrom = PlaceSource::kSetting;
        }
    }
    if (place.palmFolderFrom == PlaceSource::kNone) {
        place.problem = PlaceProblem::kNoPalmFolder;
        return place;
    }
    if (place.palmFolderFrom != PlaceSource::kPalmDesktop) {
        if (!IsFolder(place.palmFolder)) {
            place.problem = PlaceProblem::kPalmFolderUnreadable;
            return place;
        }
        place.usersFromFolder = true;
        place.users = FolderPlaceUsers(FindFolderUsers(place.palmFolder), place.palmFolder);
    }
    for (PlaceUser& user : place.users) user.folders = FindUserFolders(place.palmFolder, user.directory);
    if (place.users.empty()) {
        place.problem = PlaceProblem::kNoUsers;
        return place;
    }

    int index = -1;
    PlaceSource from = PlaceSource::kNone;
    if (request.user) {
        index = IndexOfUser(place, *request.user);
        from = PlaceSource::kOption;
        if (index < 0) {
            place.problem = PlaceProblem::kNoSuchUser;
            return place;
        }
    } else {
        if (place.usersFromFolder) index = IndexOfUser(place, app.ReadString(kFolderUserValue, kNameBufferSize));
        if (index < 0) index = IndexOfUser(place, app.ReadString("LastUsername", kNameBufferSize));
        from = PlaceSource::kSetting;
        if (index < 0) {
            index = IndexOfUser(place, app.ReadPalmLastUserName(kNameBufferSize));
            from = PlaceSource::kPalmDesktop;
        }
        if (index < 0) {
            index = 0;
            from = PlaceSource::kDefault;
        }
    }
    SelectPlaceUser(place, index, from, settings, request.reportFolder);
    return place;
}

void SelectPlaceUser(UserPlace& place, int index, PlaceSource from, ApplicationSettings& settings,
                     const fs::path& namedReportFolder) {
    place.current = index;
    place.userFrom = from;
    const PlaceUser* user = place.CurrentUser();
    if (user == nullptr) {
        place.current = -1;
        place.userFrom = PlaceSource::kNone;
        return;
    }
    SettingsKey& key = settings.userKey;
    key.OpenUserKey(user->directory + kFolderSeparator);

    place.addressBook = user->folders.addressBook;
    place.dataFolder = user->folders.data;
    place.dataFolderFrom = PlaceSource::kDefault;
    // Palm Desktop's own users keep the data folder their settings name; a folder's users are
    // copies, whose folder is where they were found.
    if (!place.usersFromFolder) {
        if (const fs::path stored = StoredPath(key, "DatabasePath"); IsFolder(stored)) {
            place.dataFolder = stored;
            place.dataFolderFrom = PlaceSource::kSetting;
        }
    }
    // The setting's default is the "DatabasePath" text itself; that default, even one written from
    // another Palm folder, means this place's default.
    place.reportFolderMadeOnWrite = false;
    if (!namedReportFolder.empty()) {
        place.reportFolder = namedReportFolder;
        place.reportFolderFrom = PlaceSource::kOption;
    } else if (ReportFolderIsSet(key)) {
        place.reportFolder = StoredPath(key, "OutputPath");
        place.reportFolderFrom = PlaceSource::kSetting;
    } else if (place.usersFromFolder) {
        place.reportFolder = ChosenFolderReportFolder(user->name);
        place.reportFolderFrom = PlaceSource::kDefault;
        place.reportFolderMadeOnWrite = true;
    } else {
        place.reportFolder = place.dataFolder;
        place.reportFolderFrom = PlaceSource::kDefault;
    }
}

std::unique_ptr<PalmUserList> MakeUserList(const UserPlace& place) {
    auto list = std::make_unique<PalmUserList>(std::make_unique<PlaceUserLibrary>(place.users), place.usersFromFolder);
    Trace("usr = " TAVOLEX_TRACE_PTR, TraceAddress(list.get()));
    return list;
}

fs::path JoinEarlierCopies(UserPlace& place, const std::vector<fs::path>& earlier, const PlaceRequest& request,
                           ApplicationSettings& settings) {
    // Newest first, so that a user found only in earlier copies takes the folders of the latest.
    for (auto copy = earlier.rbegin(); copy != earlier.rend(); ++copy) {
        if (!IsFolder(*copy)) return *copy;
        fs::path palmFolder = *copy;
        for (PlaceUser& user : FolderPlaceUsers(FindFolderUsers(*copy), palmFolder)) {
            user.folders = FindUserFolders(palmFolder, user.directory);
            const std::string key = LowerAsciiText(user.directory);
            const auto same = std::find_if(place.users.begin(), place.users.end(),
                                           [&](const PlaceUser& u) { return LowerAsciiText(u.directory) == key; });
            if (same != place.users.end()) {
                same->earlierData.insert(same->earlierData.begin(), user.folders.data);
            } else if (place.users.size() < static_cast<std::size_t>(PalmUserList::kMaxEntries)) {
                user.userId = static_cast<std::uint32_t>(place.users.size() + 1);
                place.users.push_back(std::move(user));
            }
        }
    }
    const bool named = request.user.has_value();
    if (place.CurrentUser() == nullptr &&
        (place.problem == PlaceProblem::kNoSuchUser || place.problem == PlaceProblem::kNoUsers)) {
        const int index = named ? IndexOfUser(place, *request.user) : (place.users.empty() ? -1 : 0);
        if (index >= 0) {
            place.problem = PlaceProblem::kNone;
            SelectPlaceUser(place, index, named ? PlaceSource::kOption : PlaceSource::kDefault, settings,
                            request.reportFolder);
        }
    }
    return {};
}

}  // namespace tavolex
