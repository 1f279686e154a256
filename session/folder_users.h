#pragma once
// The Palm users of a folder a person names (the command line's --palm-folder, the desktop's folder
// chooser): users are folders that hold the data folder the conduit writes. The same rule on every
// platform, for a copied HotSync folder on a computer without Palm Desktop.

#include "platform/platform.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tavolex {

// The application key's value that keeps the folder a person chose for the Palm users.
inline constexpr char kChosenPalmFolderValue[] = "PalmFolder";

struct FolderUsers {
    std::filesystem::path palmFolder;      // the folder the users' directories are relative to
    std::vector<std::string> directories;  // CP932, in byte order; a user's name is its directory
};

// The users of folder, whichever level it is: a data folder holding meeting.dat (its user is the
// folder around it when it is named Tavolex, else the folder itself), one user's folder whose data
// folder holds meeting.dat, or a Palm Desktop folder whose sub-folders hold data folders. Names in
// any letter case.
FolderUsers FindFolderUsers(const std::filesystem::path& folder);

// The users as a user-data library: ID = position + 1, name = directory.
std::unique_ptr<platform::PalmUserLibrary> MakeFolderUserLibrary(std::vector<std::string> directories);

}  // namespace tavolex
