#include "platform/file_system.h"

#include "base/ascii.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include <array>
#include <cerrno>
#include <string>
#include <system_error>

namespace tavolex::platform {
namespace {

constexpr std::size_t kThreadWriteBuffer = std::size_t{64} << 10;

// Names tried before giving up: enough for every writer a folder plausibly has at once.
constexpr int kTemporaryNames = 100;

long ProcessNumber() {
#ifdef _WIN32
    return static_cast<long>(::_getpid());
#else
    return static_cast<long>(::getpid());
#endif
}

}  // namespace

UniqueFile CreateTemporaryFor(const std::filesystem::path& target, std::filesystem::path& temp,
                              std::error_code& error) {
    for (int n = 0; n < kTemporaryNames; ++n) {
        temp = target;
        temp += n == 0 ? std::string(".partial")
                       : "." + std::to_string(ProcessNumber()) + "." + std::to_string(n) + ".partial";
        UniqueFile file = CreateNewFile(temp, error);
        if (file || error != std::errc::file_exists) return file;
    }
    return nullptr;
}

std::error_code CommitTemporaryFile(UniqueFile file, const std::filesystem::path& temp,
                                    const std::filesystem::path& target) {
    errno = 0;
    const bool synced = FlushToDisk(file.get());
    std::error_code error(errno, std::generic_category());
    const bool closed = std::fclose(file.release()) == 0;
    if (synced && !closed) error.assign(errno, std::generic_category());
    if (synced && closed) return PutInPlace(temp, target);
    if (!error) error = std::make_error_code(std::errc::io_error);
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    return error;
}

std::error_code NotReplaceable(const std::filesystem::path& target) {
    std::error_code ignored;
    const std::filesystem::file_type type = std::filesystem::symlink_status(target, ignored).type();
    if (type == std::filesystem::file_type::directory) return std::make_error_code(std::errc::is_a_directory);
    if (type == std::filesystem::file_type::not_found || type == std::filesystem::file_type::regular ||
        type == std::filesystem::file_type::symlink)
        return {};
    return std::make_error_code(std::errc::file_exists);
}

std::error_code ReplaceFileContent(const std::filesystem::path& target, std::string_view bytes) {
    std::filesystem::path temp;
    std::error_code error;
    UniqueFile file = CreateTemporaryFor(target, temp, error);
    if (!file) return error ? error : std::make_error_code(std::errc::io_error);
    UseThreadWriteBuffer(file.get());
    errno = 0;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    const int writeError = errno;
    const bool closed = std::fclose(file.release()) == 0;  // a buffered write fails here
    if (written && closed) return MoveInPlace(temp, target);
    const int reason = !written && writeError != 0 ? writeError : errno;
    error.assign(reason != 0 ? reason : EIO, std::generic_category());
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    return error;
}

void UseThreadWriteBuffer(std::FILE* file) {
    thread_local std::array<char, kThreadWriteBuffer> buffer;
    std::setvbuf(file, buffer.data(), _IOFBF, buffer.size());
}

std::string WithoutTrailingSeparators(std::string_view text) {
    while (text.size() > 1 && (text.back() == '\\' || text.back() == '/')) text.remove_suffix(1);
    return std::string(text);
}

std::filesystem::path WithoutTrailingSeparator(const std::filesystem::path& path) {
    return path.has_filename() ? path : path.parent_path();
}

std::string PathToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::filesystem::path FindEntryAnyCase(const std::filesystem::path& parent, std::string_view name) {
    std::error_code ec;
    if (std::filesystem::exists(parent / name, ec)) return parent / name;
    for (auto it = std::filesystem::directory_iterator(parent, ec); !ec && it != std::filesystem::directory_iterator();
         it.increment(ec)) {
        if (EqualsIgnoringAsciiCase(it->path().filename().string(), name)) return it->path();
    }
    return parent / name;
}

}  // namespace tavolex::platform
