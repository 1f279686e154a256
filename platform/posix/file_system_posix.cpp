#include "platform/file_system.h"

#include "platform/platform.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

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

}  // namespace

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

std::error_code PutInPlace(const std::filesystem::path& temp, const std::filesystem::path& target) {
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
        const std::error_code error = LastError();
        ::unlink(temp.c_str());
        return error;
    }
    SyncFolder(target.parent_path());
    return {};
}

std::filesystem::path PathFromCp932(std::string_view text) {
    // Converted first: no character of the UTF-8 text carries a 0x5C trail byte any more.
    std::string utf8 = Cp932ToUtf8(text);
    for (char& c : utf8) {
        if (c == '\\') c = '/';
    }
    return std::filesystem::path(utf8);
}

std::string PathToCp932(const std::filesystem::path& path) { return Utf8ToCp932(path.string()); }

}  // namespace tavolex::platform
