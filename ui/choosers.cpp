#include "ui/choosers.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cwchar>
#include <string>

namespace tavolex::ui {

Choosers SystemChoosers() { return {ChooseFolder, ChooseProgramFile, ExploreFolder, {}}; }

std::optional<std::filesystem::path> ChooseFolder(HWND owner, const std::wstring& prompt) {
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.pszDisplayName = displayName;
    browse.lpszTitle = prompt.c_str();
    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&browse);
    if (item == nullptr) return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    const bool isFolder = SHGetPathFromIDListW(item, path) != FALSE;
    CoTaskMemFree(item);
    if (!isFolder || path[0] == L'\0') return std::nullopt;
    return std::filesystem::path(path);
}

bool ChooseProgramFile(HWND owner, std::filesystem::path& program) {
    // The dialog starts in the given program's folder (without its drive, as the path was always
    // taken) with its name, extension dropped, as the file name.
    const std::wstring folder = program.has_parent_path() ? program.parent_path().relative_path().wstring() : L"";
    const std::wstring initialFolder = folder.empty() ? std::wstring() : std::wstring(L"\\") + folder;
    std::wstring name = program.stem().wstring();
    wchar_t file[MAX_PATH] = {};
    wcsncpy(file, name.c_str(), MAX_PATH - 1);

    OPENFILENAMEW open{};
    open.lStructSize = sizeof open;
    open.hwndOwner = owner;
    open.lpstrFilter = L"*.exe\0*.exe\0";
    open.lpstrFile = file;
    open.nMaxFile = MAX_PATH;
    open.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    open.lpstrTitle = L"Open a File";
    open.lpstrDefExt = L"exe";
    open.Flags = OFN_EXPLORER;
    if (!GetOpenFileNameW(&open)) return false;
    program = std::filesystem::path(file);
    return true;
}

ExploreResult ExploreFolder(HWND owner, const std::filesystem::path& folder) {
    const auto result =
        reinterpret_cast<INT_PTR>(ShellExecuteW(owner, L"explore", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) return ExploreResult::kShown;
    if (result == ERROR_FILE_NOT_FOUND || result == ERROR_PATH_NOT_FOUND) return ExploreResult::kNotFound;
    // An empty or missing folder may also come back as a general failure; a folder that is not
    // there is still the user's settings to check.
    std::error_code ec;
    return std::filesystem::is_directory(folder, ec) ? ExploreResult::kFailed : ExploreResult::kNotFound;
}

}  // namespace tavolex::ui
