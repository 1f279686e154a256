#pragma once
// A bounds-checked cursor over untrusted bytes. Ok() is sticky: after the first read that does
// not fit, that read and every later one return 0 (or an empty text) and the offset stays put.
// The byte order is in each name: file headers are little-endian, handheld record bodies big-endian.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

namespace tavolex {

class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    [[nodiscard]] bool Ok() const { return ok_; }
    [[nodiscard]] std::size_t Offset() const { return offset_; }
    [[nodiscard]] std::size_t Remaining() const { return ok_ ? bytes_.size() - offset_ : 0; }
    [[nodiscard]] std::span<const std::uint8_t> Rest() const {
        return ok_ ? bytes_.subspan(offset_) : std::span<const std::uint8_t>();
    }

    std::uint8_t U8() { return static_cast<std::uint8_t>(Take<1>(false)); }
    std::uint16_t U16Le() { return static_cast<std::uint16_t>(Take<2>(false)); }
    std::uint16_t U16Be() { return static_cast<std::uint16_t>(Take<2>(true)); }
    std::uint32_t U32Le() { return static_cast<std::uint32_t>(Take<4>(false)); }
    std::uint32_t U32Be() { return static_cast<std::uint32_t>(Take<4>(true)); }
    std::int32_t I32Le() { return static_cast<std::int32_t>(U32Le()); }

    void Skip(std::size_t n) {
        if (Fits(n)) offset_ += n;
    }

    // Moves to an absolute offset; an offset past the end fails the reader.
    void Seek(std::size_t offset) {
        if (!ok_ || offset > bytes_.size()) {
            ok_ = false;
            return;
        }
        offset_ = offset;
    }

    // The next n bytes as a reader of their own; this reader moves past them.
    ByteReader Sub(std::size_t n) {
        if (!Fits(n)) return Failed();
        ByteReader sub(bytes_.subspan(offset_, n));
        offset_ += n;
        return sub;
    }

    // Copies a NUL-terminated text into dst, cut to N - 1 bytes and always terminated. The text
    // ends at its NUL or at the end of the data (a text that runs to the end is not a failure);
    // the reader moves past the NUL. Returns the text's full length before any cut.
    template <std::size_t N>
    std::size_t CString(char (&dst)[N]) {
        static_assert(N > 0);
        dst[0] = '\0';
        bool terminated = false;
        const std::size_t length = TextLength(terminated);
        const std::size_t kept = length < N - 1 ? length : N - 1;
        if (kept > 0) std::memcpy(dst, bytes_.data() + offset_, kept);
        dst[kept] = '\0';
        offset_ += terminated ? length + 1 : length;
        return length;
    }

    // The same into a growable text: cut to capacity - 1 bytes, so a text never holds more than a
    // fixed field of that capacity would. Returns the text's full length before any cut.
    std::size_t CString(std::string& dst, std::size_t capacity) {
        dst.clear();
        bool terminated = false;
        const std::size_t length = TextLength(terminated);
        const std::size_t room = capacity > 0 ? capacity - 1 : 0;
        if (length > 0)
            dst.assign(reinterpret_cast<const char*>(bytes_.data() + offset_), length < room ? length : room);
        offset_ += terminated ? length + 1 : length;
        return length;
    }

private:
    static ByteReader Failed() {
        ByteReader r;
        r.ok_ = false;
        return r;
    }

    // Bytes from the offset to the next NUL, or to the end when there is none.
    std::size_t TextLength(bool& terminated) const {
        terminated = false;
        if (!ok_ || offset_ == bytes_.size()) return 0;
        const std::uint8_t* start = bytes_.data() + offset_;
        const std::size_t rest = bytes_.size() - offset_;
        const void* nul = std::memchr(start, 0, rest);
        if (nul == nullptr) return rest;
        terminated = true;
        return static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - start);
    }

    bool Fits(std::size_t n) {
        if (!ok_ || n > bytes_.size() - offset_) {
            ok_ = false;
            return false;
        }
        return true;
    }

    template <std::size_t N>
    std::uint64_t Take(bool bigEndian) {
        if (!Fits(N)) return 0;
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < N; ++i) {
            const std::uint64_t byte = bytes_[offset_ + i];
            value |= bigEndian ? byte << (8 * (N - 1 - i)) : byte << (8 * i);
        }
        offset_ += N;
        return value;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = 0;
    bool ok_ = true;
};

}  // namespace tavolex
