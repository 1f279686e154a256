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

// Makes every forbidden character and every control byte (below 0x20, and 0x7F) a space, walking
// double-byte characters whole (the second byte of a character such as 表 is 0x5C and stays). When
// any was replaced, shows the "Filename Change" message. A Windows device name (CON, NUL, COM1…,
// with or without an extension) gets "_" in front. Trailing dots and spaces, which Windows drops
// only at the end of a whole file name, stay: an extension always follows the name. True when the
// name changed.
bool CleanReportName(std::string& cp932Name, platform::UserInteraction& ui);

// The longest a name typed in the report list's in-place edit may be, in bytes.
inline constexpr std::size_t kEditedNameBytes = 100;

// The new name of an in-place edit: its first 100 bytes, cut after the last whole character.
std::string EditedReportName(std::string_view cp932Text);

// True when the report may be written: no file of that path exists, or the user agreed to
// replace it (the full path followed by string 207, caption "Tavolex").
[[nodiscard]] bool ConfirmOverwrite(const std::filesystem::path& reportPath, platform::UserInteraction& ui);

}  // namespace tavolex
