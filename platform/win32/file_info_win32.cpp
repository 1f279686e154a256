#include "platform/file_info.h"

#include <windows.h>

namespace tavolex::platform {

std::optional<LocalDateTime> FileCreationTime(const std::filesystem::path& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    // The time zone rules of the file's own date, so a summer file shows its summer time.
    if (!FileTimeToSystemTime(&data.ftCreationTime, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
        return std::nullopt;
    }
    return LocalDateTime{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

MoveResult MoveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) return MoveResult::kMoved;
    const DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? MoveResult::kTargetExists
                                                                       : MoveResult::kFailed;
}

bool MoveReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace tavolex::platform
