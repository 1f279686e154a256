#include "platform/file_system.h"

#include "platform/platform.h"

#include <windows.h>

#include <io.h>

namespace tavolex::platform {

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

std::filesystem::path PathFromCp932(std::string_view text) {
    const std::u16string wide = Cp932ToUtf16(text);
    return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
}

std::string PathToCp932(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    return Utf16ToCp932(std::u16string(wide.begin(), wide.end()));
}

}  // namespace tavolex::platform
