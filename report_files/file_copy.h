#pragma once
// Copies of report and picture files that never leave a half-written file under the target's
// name: the bytes go to a temporary file beside the target, which takes the target's name only
// when it was written whole.

#include <filesystem>

namespace tavolex {

enum class CopyResult {
    kCopied,
    kTargetExists,      // without overwriting, a file of that name is there already
    kSourceUnreadable,  // the source is missing or can't be read
    kFailed,            // the target can't be written (missing folder, read-only medium, disk full)
};

// Copies from to to. Without overwrite an existing target is never replaced. A source and
// target that are one file count as copied when overwriting (nothing to do, and the file is
// never truncated by copying it onto itself) and as an existing target otherwise.
CopyResult CopyWhole(const std::filesystem::path& from, const std::filesystem::path& to, bool overwrite);

// Whether both paths name one existing file.
[[nodiscard]] bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Copies, then removes the source only when the copy is whole. The copy's result.
CopyResult MoveByCopy(const std::filesystem::path& from, const std::filesystem::path& to, bool overwrite);

}  // namespace tavolex
