#pragma once
// One database file opened for reading, read front to back through a large buffer so that the two
// reads per record (header, body) cost no system call each. Reads report the load status codes.

#include "base/status.h"
#include "platform/file_system.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>

namespace tavolex {

class DatabaseFile {
public:
    DatabaseFile() = default;
    DatabaseFile(const DatabaseFile&) = delete;
    DatabaseFile& operator=(const DatabaseFile&) = delete;

    // Opens an existing file for reading; others may read and write it meanwhile.
    [[nodiscard]] bool Open(const std::filesystem::path& path);

    // Reads exactly bytes.size() bytes: kStatusOk; kStatusEndOfFile when there was nothing left;
    // kStatusShortRead when there was less; kStatusReadFailure when the system call failed.
    [[nodiscard]] LoadStatus Read(std::span<std::uint8_t> bytes);

    // Bytes read so far: the file offset of the next read.
    [[nodiscard]] std::uint64_t Offset() const { return offset_; }
    // Bytes left to read, when the file's size is known.
    [[nodiscard]] std::optional<std::uint64_t> Remaining() const;

private:
    std::unique_ptr<char[]> buffer_;
    platform::UniqueFile file_;  // declared after the buffer it uses: closed first
    std::optional<std::uint64_t> size_;
    std::uint64_t offset_ = 0;
};

}  // namespace tavolex
