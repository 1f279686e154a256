#include "platform/file_system.h"

#include "platform/platform.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace tavolex::platform {
namespace {

std::error_code LastError() { return std::error_code(errno, std::generic_category()); }

// Makes a rename in the folder durable: without it a crash can bring back the old name.
void SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The XDG_DOCUMENTS_DIR line of user-dirs.dirs: a quoted absolute path or one starting "$HOME/".
std::filesystem::path DocumentsOfUserDirs(const std::string& home) {
    const std::string config = Environment("XDG_CONFIG_HOME");
    const std::filesystem::path file =
        (config.starts_with('/') ? std::filesystem::path(config) : std::filesystem::path(home) / ".config") /
        "user-dirs.dirs";
    std::ifstream in(file);
    constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=\"";
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with(kKey) || !line.ends_with('"')) continue;
        std::string value = line.substr(kKey.size(), line.size() - kKey.size() - 1);
        if (value.starts_with("$HOME/")) return std::filesystem::path(home) / value.substr(6);
        if (value.starts_with('/')) return value;
    }
    return {};
}

}  // namespace

std::filesystem::path DocumentsFolder() {
    if (const std::string given = Environment("XDG_DOCUMENTS_DIR"); given.starts_with('/')) return given;
    const std::string home = Environment("HOME");
    if (home.empty()) return {};
    const std::filesystem::path named = DocumentsOfUserDirs(home);
    return named.empty() ? std::filesystem::path(home) / "Documents" : named;
}

UniqueFile OpenFile(const std::filesystem::path& path, const char* mode) {
    return UniqueFile(std::fopen(path.c_str(), mode));
}

bool FlushToDisk(std::FILE* file) { return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0; }

bool MoveFileOver(const std::filesystem::path& from, const std::filesystem::path& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

UniqueFile CreateNewFile(const std::filesystem::path& path, std::error_code& error) {
    // O_EXCL refuses every existing name, a dangling symbolic link included; O_NOFOLLOW says the same
    // for the link itself, so the file opened is always the one made here.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = LastError();
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        error = LastError();
        ::close(fd);
        ::unlink(path.c_str());
        return nullptr;
    }
    error.clear();
    return UniqueFile(file);
}

std::error_code MoveInPlace(const std::filesystem::path& temp, const std::filesystem::path& target) {
    std::error_code error = NotReplaceable(target);
    if (!error && std::rename(temp.c_str(), target.c_str()) == 0) return {};
    if (!error) error = LastError();
    ::unlink(temp.c_str());
    return error;
}

std::error_code PutInPlace(const std::filesystem::path& temp, const std::filesystem::path& target) {
    const std::error_code error = MoveInPlace(temp, target);
    if (!error) SyncFolder(target.parent_path());
    return error;
}

std::filesystem::path PathFromCp932(std::string_view text) {
    // Converted first: no character of the UTF-8 text carries a 0x5C trail byte any more.
    std::string utf8 = Cp932ToUtf8(text);
    for (char& c : utf8) {
        if (c == '\\') c = '/';
    }
    return std::filesystem::path(utf8);
}

std::optional<std::filesystem::path> PathOnDrive(std::string_view) { return std::nullopt; }

std::filesystem::path PathFromNativeCp932(std::string_view text) { return std::filesystem::path(Cp932ToUtf8(text)); }

std::string PathToCp932(const std::filesystem::path& path) { return Utf8ToCp932(path.string()); }

std::string PathTraceText(const std::filesystem::path& path) { return path.string(); }

}  // namespace tavolex::platform
