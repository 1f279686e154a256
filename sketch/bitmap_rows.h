#pragma once
// Reading a handheld bitmap row by row: the header, the parts that precede the pixel data, and
// the three row encodings. The bitmap reads as if endless zero bytes followed it, the way the
// zero-filled record buffer behind a short record body reads, so a damaged bitmap still gives a
// picture and nothing past its bytes is touched.

#include "base/byte_reader.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tavolex {

enum class BitmapCompression : std::uint8_t { kScanLine = 0, kRunLength = 1, kPackBits = 2 };

// The header fields that decoding uses; every multi-byte field is big-endian in the bitmap.
struct BitmapHeader {
    static constexpr std::size_t kSize = 16;
    static constexpr std::uint16_t kCompressed = 0x8000;
    static constexpr std::uint16_t kHasColourTable = 0x4000;
    static constexpr std::uint16_t kDirectColour = 0x0400;

    std::int16_t width = 0;
    std::int16_t height = 0;
    std::uint16_t rowBytes = 0;
    std::uint16_t flags = 0;
    std::uint8_t pixelSize = 0;
    std::uint8_t compressionType = 0;

    [[nodiscard]] bool Compressed() const { return (flags & kCompressed) != 0; }
    [[nodiscard]] bool HasColourTable() const { return (flags & kHasColourTable) != 0; }
    [[nodiscard]] bool DirectColour() const { return (flags & kDirectColour) != 0; }
};

[[nodiscard]] BitmapHeader ReadBitmapHeader(std::span<const std::uint8_t> bitmap);

// The picture of a bitmap as red, green, blue bytes per pixel, rows top to bottom: header width x
// height pixels, each from the palette of the depth (white for depths without one). Empty when
// the width or height is not positive or the buffer can't be allocated.
[[nodiscard]] std::vector<std::uint8_t> DecodeBitmapRgb(std::span<const std::uint8_t> bitmap);

// The packed rows of a bitmap, top to bottom. Each Next() gives the row buffer (rowBytes bytes)
// after filling it from the pixel data; both row buffers start zero-filled. Rows asked for past
// the header's height go on with the same rules.
class BitmapRows {
public:
    explicit BitmapRows(std::span<const std::uint8_t> bitmap);

    [[nodiscard]] const BitmapHeader& Header() const { return header_; }
    std::span<const std::uint8_t> Next();
    // Moves past count rows without filling the row buffers, to measure the data: how many bytes
    // a row reads never depends on the bytes the buffers hold, so Consumed() ends where count
    // Next() calls would end. Rows read after a skip are not the bitmap's rows.
    void SkipRows(std::size_t count);
    // Where count rows from here could end at the most, from the header alone: a row of
    // uncompressed or scan-line data reads at most its bytes and its flag bytes. Nothing for
    // run-length rows, whose empty pairs can run on to the data's end.
    [[nodiscard]] std::optional<std::size_t> MostConsumedAfter(std::size_t count) const;

    // True once every byte of the bitmap has been read: later rows read only zeros.
    [[nodiscard]] bool DataExhausted() const { return !data_.Ok() || data_.Remaining() == 0; }
    // How many bytes from the bitmap's start have been read so far.
    [[nodiscard]] std::size_t Consumed() const { return data_.Ok() ? data_.Offset() : size_; }

private:
    void CopyRow();
    void RunLengthRow();
    void ScanLineRow();
    void SkipRunLengthRow();
    void SkipScanLineRow();
    std::uint8_t NextByte() { return data_.U8(); }  // 0 once the data is exhausted

    BitmapHeader header_;
    ByteReader data_;
    std::size_t size_ = 0;
    std::vector<std::uint8_t> current_;
    std::vector<std::uint8_t> previous_;
    bool currentIsZero_ = true;
};

}  // namespace tavolex
