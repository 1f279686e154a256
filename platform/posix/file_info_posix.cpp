#include "platform/file_info.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

namespace tavolex::platform {
namespace {

std::optional<LocalDateTime> Local(std::time_t when) {
    std::tm local{};
    if (::localtime_r(&when, &local) == nullptr) return std::nullopt;
    return LocalDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                         local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace

std::optional<LocalDateTime> FileCreationTime(const std::filesystem::path& path) {
    struct statx info {};
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_MTIME, &info) == 0) {
        // Many file systems keep no birth time (some report it as 0); the modification time is the
        // closest they have.
        if ((info.stx_mask & STATX_BTIME) != 0 && info.stx_btime.tv_sec != 0)
            return Local(static_cast<std::time_t>(info.stx_btime.tv_sec));
        if ((info.stx_mask & STATX_MTIME) != 0) return Local(static_cast<std::time_t>(info.stx_mtime.tv_sec));
    }
    struct stat plain {};
    if (::stat(path.c_str(), &plain) != 0) return std::nullopt;
    return Local(plain.st_mtime);
}

MoveResult MoveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return MoveResult::kMoved;
    if (errno == EEXIST) return MoveResult::kTargetExists;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return MoveResult::kFailed;
    // File systems without RENAME_NOREPLACE: a hard link is made only where no name exists.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return MoveResult::kMoved;
    }
    if (errno == EEXIST) return MoveResult::kTargetExists;
    // Neither (a FAT medium): test, then rename; only this last step can race another writer.
    struct stat existing {};
    if (::lstat(to.c_str(), &existing) == 0) return MoveResult::kTargetExists;
    return std::rename(from.c_str(), to.c_str()) == 0 ? MoveResult::kMoved : MoveResult::kFailed;
}

bool MoveReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace tavolex::platform
