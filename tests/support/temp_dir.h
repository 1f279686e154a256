#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tavolex::test {

// A fresh folder under the system's temporary folder (or base), removed with everything in it at the end.
class TempDir {
public:
    TempDir() : TempDir(std::filesystem::temp_directory_path()) {}
    explicit TempDir(const std::filesystem::path& base);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Whole-file helpers for building inputs and checking outputs byte for byte.
void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);
std::string ReadFileBytes(const std::filesystem::path& path);

}  // namespace tavolex::test
