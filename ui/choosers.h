#pragma once
// The choosers the dialogs ask the user with: the shell's folder browser ("Choose a folder"), the
// open-file dialog for a program ("Open a File"), and the shell's "explore" of a folder. They go
// through one replaceable set, so the UI tests answer them as they answer message boxes.

#include <windows.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace tavolex::ui {

enum class ExploreResult { kShown, kNotFound, kFailed };

struct Choosers {
    // The chosen folder's file-system path, nothing when cancelled (or not a file-system folder).
    // prompt: the line above the folder tree.
    std::function<std::optional<std::filesystem::path>(HWND owner, const std::wstring& prompt)> chooseFolder{};
    // Replaces program by the chosen file and gives true; cancelled: false, program unchanged.
    std::function<bool(HWND owner, std::filesystem::path& program)> chooseProgram{};
    // Shows the folder in the shell's file explorer in a normal window.
    std::function<ExploreResult(HWND owner, const std::filesystem::path& folder)> exploreFolder{};
    // The exports' save-file chooser (filter pairs separated by '|'); empty: the system's.
    std::function<std::optional<std::filesystem::path>(HWND owner, const std::wstring& filter,
                                                       const wchar_t* defaultExtension)>
        chooseSaveFile{};
};

// The system's choosers.
Choosers SystemChoosers();

// The folder browser's prompt of the dialogs' "..." buttons and the exports.
inline constexpr wchar_t kChooseFolderPrompt[] = L"Choose a folder";

std::optional<std::filesystem::path> ChooseFolder(HWND owner, const std::wstring& prompt);
bool ChooseProgramFile(HWND owner, std::filesystem::path& program);
ExploreResult ExploreFolder(HWND owner, const std::filesystem::path& folder);

// The message both folder "開く" buttons and Create Report's "開く" show for a folder that can't
// be opened.
inline constexpr char kUnableToOpenFolder[] =
    "Unable to open folder.  Please check your settings in File > Preferences > Templates Location.";

}  // namespace tavolex::ui
