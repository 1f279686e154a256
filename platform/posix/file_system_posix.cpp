#include "platform/file_system.h"

#include "platform/platform.h"

#include <cstdio>
#include <unistd.h>

namespace tavolex::platform {

UniqueFile OpenFile(const std::filesystem::path& path, const char* mode) {
    return UniqueFile(std::fopen(path.c_str(), mode));
}

bool FlushToDisk(std::FILE* file) { return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0; }

bool MoveFileOver(const std::filesystem::path& from, const std::filesystem::path& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
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
