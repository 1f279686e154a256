#pragma once
// Files by std::filesystem::path on both platforms (wide names on Windows), the replacement of a
// file by a finished copy, and the conversion of Shift-JIS path texts to paths.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace tavolex::platform {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// fopen with a path; null when the file can't be opened.
UniqueFile OpenFile(const std::filesystem::path& path, const char* mode);

// Writes the file's buffered data and asks the system to put it on the disk. False on failure.
bool FlushToDisk(std::FILE* file);

// Moves `from` over `to` in one step, replacing `to` when it exists. False on failure, with both
// files as they were.
bool MoveFileOver(const std::filesystem::path& from, const std::filesystem::path& to);

// A path from a CP932 path text; '\' and '/' both separate (a double-byte character whose second
// byte is 0x5C is a character, not a separator).
std::filesystem::path PathFromCp932(std::string_view text);
// The CP932 text of a path.
std::string PathToCp932(const std::filesystem::path& path);

}  // namespace tavolex::platform
