#include "meeting_store/database_file.h"

#include <new>
#include <system_error>

namespace tavolex {
namespace {

constexpr std::size_t kBufferSize = 256 * 1024;

}  // namespace

bool DatabaseFile::Open(const std::filesystem::path& path) {
    file_ = platform::OpenFile(path, "rb");
    if (!file_) return false;
    // Without memory for the large buffer the C library's own buffer serves.
    buffer_.reset(new (std::nothrow) char[kBufferSize]);
    if (buffer_) std::setvbuf(file_.get(), buffer_.get(), _IOFBF, kBufferSize);
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error) size_ = size;
    offset_ = 0;
    return true;
}

LoadStatus DatabaseFile::Read(std::span<std::uint8_t> bytes) {
    if (!file_) return kStatusReadFailure;
    if (bytes.empty()) return kStatusOk;
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file_.get());
    offset_ += got;
    if (got == bytes.size()) return kStatusOk;
    if (std::ferror(file_.get())) return kStatusReadFailure;
    return got == 0 ? kStatusEndOfFile : kStatusShortRead;
}

std::optional<std::uint64_t> DatabaseFile::Remaining() const {
    if (!size_) return std::nullopt;
    return *size_ > offset_ ? *size_ - offset_ : 0;
}

}  // namespace tavolex
