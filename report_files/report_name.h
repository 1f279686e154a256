#pragma once
// A new report's name and file: the name is cleaned of the characters file names can't hold, and
// an existing report is replaced only when the user agrees.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace tavolex {
namespace platform {
class UserInteraction;
}

// The characters a report name can't hold.
inline constexpr std::string_view kForbiddenNameCharacters = ":\\/*?\"<>|";

// Makes every forbidden character a space, walking double-byte characters whole (the second
// byte of a character such as 表 is 0x5C and stays). When any was replaced, shows the
// "Filename Change" message. True when the name changed.
bool CleanReportName(std::string& cp932Name, platform::UserInteraction& ui);

// The longest a name typed in the report list's in-place edit may be, in bytes.
inline constexpr std::size_t kEditedNameBytes = 100;

// The new name of an in-place edit: its first 100 bytes, cut after the last whole character.
std::string EditedReportName(std::string_view cp932Text);

// True when the report may be written: no file of that path exists, or the user agreed to
// replace it (the full path followed by string 207, caption "Tavolex").
[[nodiscard]] bool ConfirmOverwrite(const std::filesystem::path& reportPath, platform::UserInteraction& ui);

}  // namespace tavolex
