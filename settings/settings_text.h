#pragma once
// Paths at the settings boundary. The store holds CP932 texts; the program works with
// std::filesystem::path. A folder's text ends in the platform's separator.

#include "platform/file_system.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace tavolex {

using platform::kFolderSeparator;

// CP932 text of a path (characters CP932 lacks become '?').
std::string SettingsTextFromPath(const std::filesystem::path& path);
std::filesystem::path PathFromSettingsText(std::string_view cp932);

// The text of a folder, ending in the separator; empty for an empty path.
std::string FolderText(const std::filesystem::path& folder);

// Appends the separator unless the text already ends in one.
void AppendSeparator(std::string& text);

// The name of the entry of parent that is called name without regard to ASCII letter case, so
// "tavolex" and "Tavolex" reach the same folder on a case-sensitive file system. name itself when
// an entry of exactly that name exists or none matches. CP932.
std::string ResolveComponentCase(std::string_view parentText, std::string_view name);

// The data folder of a Palm user as the user's defaults store it: Palm Desktop folder + user
// directory + "Tavolex" (resolved without regard to letter case) + separator.
inline constexpr char kDataFolderName[] = "Tavolex";
std::string UserDataFolderText(std::string_view palmDesktopFolder, std::string_view userDirectory);

}  // namespace tavolex
