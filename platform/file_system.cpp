#include "platform/file_system.h"

#include "base/ascii.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <string>
#include <system_error>

namespace tavolex::platform {
namespace {

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
