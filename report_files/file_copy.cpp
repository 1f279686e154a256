#include "report_files/file_copy.h"

#include "platform/file_info.h"
#include "platform/file_system.h"
#include "report_files/report_file.h"

#include <array>
#include <cstdio>
#include <system_error>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

// Writes the whole source into the temporary file; false on any read or write error.
bool CopyBytes(std::FILE* source, std::FILE* target) {
    std::array<char, 64 * 1024> buffer;
    for (;;) {
        const std::size_t read = std::fread(buffer.data(), 1, buffer.size(), source);
        if (read > 0 && std::fwrite(buffer.data(), 1, read, target) != read) return false;
        if (read < buffer.size()) return std::ferror(source) == 0;
    }
}

void RemoveQuietly(const fs::path& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

}  // namespace

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

CopyResult CopyWhole(const fs::path& from, const fs::path& to, bool overwrite) {
    if (SameFile(from, to)) return overwrite ? CopyResult::kCopied : CopyResult::kTargetExists;
    std::error_code ec;
    if (!overwrite && fs::exists(fs::symlink_status(to, ec))) return CopyResult::kTargetExists;
    if (!fs::is_regular_file(from, ec)) return CopyResult::kSourceUnreadable;
    platform::UniqueFile source = platform::OpenFile(from, "rb");
    if (!source) return CopyResult::kSourceUnreadable;
    fs::path temp;
    platform::UniqueFile target = CreateTemporaryBeside(to, ".copy", temp);
    if (!target) return CopyResult::kFailed;
    const bool written = CopyBytes(source.get(), target.get()) && platform::FlushToDisk(target.get());
    const bool closed = std::fclose(target.release()) == 0;
    if (!written || !closed) {
        RemoveQuietly(temp);
        return CopyResult::kFailed;
    }
    if (overwrite) {
        if (platform::MoveReplacing(temp, to)) return CopyResult::kCopied;
        RemoveQuietly(temp);
        return CopyResult::kFailed;
    }
    const platform::MoveResult moved = platform::MoveWithoutReplacing(temp, to);
    if (moved == platform::MoveResult::kMoved) return CopyResult::kCopied;
    RemoveQuietly(temp);
    return moved == platform::MoveResult::kTargetExists ? CopyResult::kTargetExists : CopyResult::kFailed;
}

CopyResult MoveByCopy(const fs::path& from, const fs::path& to, bool overwrite) {
    // Moving a file onto itself would delete its only copy.
    if (SameFile(from, to)) return overwrite ? CopyResult::kCopied : CopyResult::kTargetExists;
    const CopyResult result = CopyWhole(from, to, overwrite);
    if (result == CopyResult::kCopied) RemoveQuietly(from);
    return result;
}

}  // namespace tavolex
