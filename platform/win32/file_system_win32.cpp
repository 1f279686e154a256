#include "platform/file_system.h"

#include "base/ascii.h"
#include "platform/platform.h"
#include "platform/win32/unique_handle.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <fcntl.h>
#include <io.h>

namespace tavolex::platform {
namespace {

std::error_code LastError() { return std::error_code(static_cast<int>(::GetLastError()), std::system_category()); }

}  // namespace

UniqueFile OpenFile(const std::filesystem::path& path, const char* mode) {
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return UniqueFile(::_wfopen(path.c_str(), wideMode.c_str()));
}

bool FlushToDisk(std::FILE* file) { return std::fflush(file) == 0 && ::_commit(::_fileno(file)) == 0; }

bool MoveFileOver(const std::filesystem::path& from, const std::filesystem::path& to) {
    // Windows refuses to replace a read-only file; Wine's rename does not, so ask first and give
    // the same answer everywhere.
    const DWORD attributes = ::GetFileAttributesW(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

UniqueFile CreateNewFile(const std::filesystem::path& path, std::error_code& error) {
    // CREATE_NEW fails on every existing name, a symbolic link or junction included, so nothing
    // placed at the name beforehand is opened.
    win32::UniqueFileHandle handle(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
        error = LastError();
        return nullptr;
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle.Get()), _O_WRONLY | _O_BINARY);
    if (fd >= 0) static_cast<void>(handle.Release());  // the descriptor closes it from here on
    std::FILE* file = fd < 0 ? nullptr : ::_fdopen(fd, "wb");
    if (file == nullptr) {
        error = std::make_error_code(std::errc::too_many_files_open);
        if (fd >= 0) ::_close(fd);
        handle.Reset();  // closed before the delete: the file is not shared
        ::DeleteFileW(path.c_str());
        return nullptr;
    }
    error.clear();
    return UniqueFile(file);
}

std::error_code PutInPlace(const std::filesystem::path& temp, const std::filesystem::path& target) {
    return MoveInPlace(temp, target);
}

std::error_code MoveInPlace(const std::filesystem::path& temp, const std::filesystem::path& target) {
    std::error_code error = NotReplaceable(target);
    if (!error && MoveFileOver(temp, target)) return {};
    if (!error) error = LastError();
    ::DeleteFileW(temp.c_str());
    return error;
}

std::filesystem::path PathFromCp932(std::string_view text) {
    const std::u16string wide = Cp932ToUtf16(text);
    return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
}

std::optional<std::filesystem::path> PathOnDrive(std::string_view text) {
    const char drive = LowerAscii(text.empty() ? '\0' : text[0]);
    const bool atDriveRoot =
        drive >= 'a' && drive <= 'z' && text.size() >= 3 && text[1] == ':' && (text[2] == '\\' || text[2] == '/');
    if (!atDriveRoot) return std::nullopt;
    return PathFromCp932(text);
}

std::string PathToCp932(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    return Utf16ToCp932(std::u16string(wide.begin(), wide.end()));
}

std::filesystem::path PathFromNativeCp932(std::string_view text) { return PathFromCp932(text); }

std::string PathTraceText(const std::filesystem::path& path) { return PathToCp932(path); }

std::filesystem::path DocumentsFolder() {
    PWSTR folder = nullptr;
    std::filesystem::path documents;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &folder))) documents = folder;
    CoTaskMemFree(folder);
    return documents;
}

}  // namespace tavolex::platform
