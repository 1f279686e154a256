#pragma once
// What the report folder needs of files beyond std::filesystem: the creation time as local
// calendar values, and a move that never replaces an existing file.

#include <filesystem>
#include <optional>

namespace tavolex::platform {

struct LocalDateTime {
    int year = 0;
    int month = 0;  // 1-12
    int day = 0;    // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The file's creation time in local time. Windows: the creation time the file system keeps.
// POSIX: the birth time when the file system keeps one (statx), else the modification time.
// Nothing when the file can't be examined.
std::optional<LocalDateTime> FileCreationTime(const std::filesystem::path& path);

enum class MoveResult { kMoved, kTargetExists, kFailed };

// Moves a file to a new name in the same folder, in one step, and only when nothing has that
// name: an existing target is never replaced. On failure both names are as they were.
MoveResult MoveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// Moves a file to a new name in the same folder, in one step, replacing a file of that name.
// False on failure, with both names as they were.
bool MoveReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace tavolex::platform
