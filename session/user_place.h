#pragma once
// A Palm user's place, worked out once for every front end: the Palm folder, its users, the user of
// the run and that user's folders (user, data, address book) and default report folder, each with
// where it came from. The command line, `config`, the desktop's start-up, folder choice, change of
// user and reload request, and the exports all take it from here. Working it out reads the settings
// and the file system and writes nothing.

#include "platform/platform.h"
#include "session/user_folders.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavolex {

struct ApplicationSettings;
class PalmUserList;

// The application key's value that keeps the user last chosen among the users of a folder, apart
// from Palm Desktop's "LastUsername", so that a start with Palm Desktop still finds its own user.
inline constexpr char kFolderUserValue[] = "FolderUsername";

enum class PlaceSource : std::uint8_t {
    kNone,          // not found
    kOption,        // named for this run: --palm-folder, --user, --output, the desktop's folder chooser
    kEnvironment,   // TAVOLEX_PALM_FOLDER
    kPalmDesktop,   // Palm Desktop: its user library, the user who synchronised last
    kChosenFolder,  // the folder chosen in the desktop program
    kSetting,       // a saved setting: Palm Desktop's folder, the last user, the user's folders
    kDefault,       // the rule's default: the first user, the folders found under the user's folder
};

// The source as one lower-case word ("option", "environment", ...), for messages and listings.
[[nodiscard]] std::string_view PlaceSourceName(PlaceSource source);

// What the person gave; empty means "not given".
struct PlaceRequest {
    std::filesystem::path palmFolder{};             // --palm-folder, or the folder chosen in the desktop
    std::filesystem::path environmentPalmFolder{};  // TAVOLEX_PALM_FOLDER
    std::optional<std::string> user{};              // CP932, matched byte for byte
    std::filesystem::path reportFolder{};           // --output
};

struct PlaceUser {
    std::string name;       // CP932
    std::string directory;  // CP932, relative to the Palm folder, without a trailing separator
    std::uint32_t userId = 0;
    UserFolders folders;
    // The same user's data folders in earlier copies of the Palm folder, oldest first (several
    // copies given at once); empty for one.
    std::vector<std::filesystem::path> earlierData{};
};

enum class PlaceProblem : std::uint8_t {
    kNone,
    kNoPalmFolder,          // none named, chosen or saved
    kPalmFolderUnreadable,  // the Palm folder is not a folder that can be read
    kNoUsers,               // the Palm folder holds no Palm user
    kNoSuchUser,            // the user named for the run is not among them
};

struct UserPlace {
    PlaceProblem problem = PlaceProblem::kNone;
    std::filesystem::path palmFolder;
    PlaceSource palmFolderFrom = PlaceSource::kNone;
    // The users are the folders of a folder (read by FindFolderUsers), not Palm Desktop's list.
    bool usersFromFolder = false;
    std::vector<PlaceUser> users;
    int current = -1;  // index into users; -1: none
    PlaceSource userFrom = PlaceSource::kNone;
    // The current user's.
    std::filesystem::path dataFolder;
    PlaceSource dataFolderFrom = PlaceSource::kNone;
    std::filesystem::path addressBook;
    std::filesystem::path reportFolder;
    PlaceSource reportFolderFrom = PlaceSource::kNone;
    // The default report folder of a folder's user (outside the folder, which is a copy never
    // written) holds no report until one is written, and is made then.
    bool reportFolderMadeOnWrite = false;

    [[nodiscard]] const PlaceUser* CurrentUser() const {
        return current >= 0 && static_cast<std::size_t>(current) < users.size()
                   ? &users[static_cast<std::size_t>(current)]
                   : nullptr;
    }
};

// The Palm folder: the one named for the run, else TAVOLEX_PALM_FOLDER, else Palm Desktop's saved
// folder where its user library lists users, else the folder chosen in the desktop program, else
// Palm Desktop's saved folder read as folders. The user: the one named for the run, else the last
// one chosen ("FolderUsername" first for a folder's users, then "LastUsername"), else the Palm
// user who synchronised last, else the first. The data folder: the user's setting where Palm
// Desktop lists the user and the setting names a folder that is there, else the one found under
// the user's folder. The report folder: --output, else the one the person set, else for a folder's
// users Documents/Tavolex/<user>, else the data folder.
UserPlace FindUserPlace(const PlaceRequest& request, ApplicationSettings& settings, platform::PalmDesktop& palmDesktop);

// The index of the user of that exact name (byte for byte); -1 when there is none.
[[nodiscard]] int IndexOfUser(const UserPlace& place, std::string_view name);

// Makes the user at index current (a change of user) and works out its folders; the report folder
// named for the run stays.
void SelectPlaceUser(UserPlace& place, int index, PlaceSource from, ApplicationSettings& settings,
                     const std::filesystem::path& namedReportFolder = {});

// Several copies of a Palm folder at once (dated backups, the folders of two PCs): the place worked
// out for the copy given last, joined with the users of the earlier copies, given oldest first.
// Users of the same directory name (ASCII letters in any case) are one user, who gets the earlier
// copies' data folders; a user found only in earlier copies joins the list with the folders of the
// latest copy that has it, and can be chosen by name (or is chosen when the last copy has no user).
// Returns the first earlier copy that is not a folder that can be read (empty when all can be).
std::filesystem::path JoinEarlierCopies(UserPlace& place, const std::vector<std::filesystem::path>& earlier,
                                        const PlaceRequest& request, ApplicationSettings& settings);

// The place's users as the desktop's user list (ID, name and directory as the place has them).
std::unique_ptr<PalmUserList> MakeUserList(const UserPlace& place);

}  // namespace tavolex
