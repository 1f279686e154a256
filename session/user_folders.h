#pragma once
// Where a Palm user's files are: the user's folder under the Palm Desktop folder, the data folder
// the conduit writes and Palm Desktop's address book. Palm Desktop names them in one letter case
// and the conduit in another, so on a case-sensitive file system every part after the user's
// folder is found without regard to ASCII letter case. Every front end takes them from here.

#include "platform/file_system.h"

#include <filesystem>
#include <string_view>

namespace tavolex {

class SettingsKey;

struct UserFolders {
    std::filesystem::path user;         // the Palm Desktop folder + the user's directory
    std::filesystem::path data;         // user + "Tavolex", or user itself when it is a data folder
    std::filesystem::path addressBook;  // user + "address" + "address.dat"
};

// userDirectory: as the Palm user list gives it (CP932, relative, with or without a trailing separator).
UserFolders FindUserFolders(const std::filesystem::path& palmDesktopFolder, std::string_view userDirectory);

// The report folder a user found in a folder a person named gets when none is set: that folder is
// a copy that is never written, so Documents/Tavolex/<user> (empty when there is no documents folder).
std::filesystem::path ChosenFolderReportFolder(std::string_view userName);

// Whether the user key's report folder is one the person set: the default is the data folder's
// text itself ("DatabasePath").
bool ReportFolderIsSet(SettingsKey& userKey);

// Whether folder holds the meeting file, in any letter case: it is a data folder, whatever its name.
bool HoldsDataFiles(const std::filesystem::path& folder);

using platform::FindEntryAnyCase;

}  // namespace tavolex
