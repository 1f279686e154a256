#include "sketch/bitmap_rows.h"

#include "sketch/handheld_palette.h"

#include <algorithm>
#include <array>
#include <bit>
#include <new>

namespace tavolex {
namespace {

constexpr std::size_t kColourTableEntrySize = 4;
constexpr std::size_t kDirectColourInfoSize = 8;
constexpr std::size_t kCompressedSizeWord = 2;
constexpr std::size_t kScanLineGroup = 8;

// The set bits of each byte value: std::popcount without the instruction is a library call per byte.
constexpr std::array<std::uint8_t, 256> BitCounts() {
    std::array<std::uint8_t, 256> counts{};
    for (std::size_t b = 0; b < counts.size(); ++b) counts[b] = static_cast<std::uint8_t>(std::popcount(b));
    return counts;
}
constexpr std::array<std::uint8_t, 256> kBitCounts = BitCounts();

// Big-endian 16 bits, each byte past the end read as zero.
std::uint16_t U16BeOrZero(ByteReader& reader) {
    const std::uint16_t high = reader.U8();
    const std::uint16_t low = reader.U8();
    return static_cast<std::uint16_t>(high << 8 | low);
}

// Pixels are packed most significant bits first; bits past the row's bytes read as zero.
void ConvertRow(std::span<const std::uint8_t> row, int depth, std::span<const RgbBytes> palette,
                std::span<std::uint8_t> out) {
    const unsigned mask = (1u << depth) - 1u;
    const std::size_t width = out.size() / 3;
    for (std::size_t x = 0; x < width; ++x) {
        const std::size_t bit = x * static_cast<std::size_t>(depth);
        const std::size_t byteIndex = bit / 8;
        const unsigned shift = 8u - static_cast<unsigned>(depth) - static_cast<unsigned>(bit % 8);
        const unsigned value = byteIndex < row.size() ? (row[byteIndex] >> shift) & mask : 0u;
        const RgbBytes& colour = palette[value];
        out[3 * x] = colour.red;
        out[3 * x + 1] = colour.green;
        out[3 * x + 2] = colour.blue;
    }
}

}  // namespace

BitmapHeader ReadBitmapHeader(std::span<const std::uint8_t> bitmap) {
    ByteReader reader(bitmap);
    BitmapHeader header;
    header.width = static_cast<std::int16_t>(U16BeOrZero(reader));
    header.height = static_cast<std::int16_t>(U16BeOrZero(reader));
    header.rowBytes = U16BeOrZero(reader);
    header.flags = U16BeOrZero(reader);
    header.pixelSize = reader.U8();
    reader.U8();          // version: every version is read with this layout
    U16BeOrZero(reader);  // next depth offset: only the first bitmap of a family is shown
    reader.U8();          // transparent index
    header.compressionType = reader.U8();
    return header;
}

BitmapRows::BitmapRows(std::span<const std::uint8_t> bitmap)
    : header_(ReadBitmapHeader(bitmap)), data_(bitmap), size_(bitmap.size()) {
    data_.Skip(BitmapHeader::kSize);
    // The colour table's colours are not used: the palette of the depth decides.
    if (header_.HasColourTable()) data_.Skip(std::size_t{U16BeOrZero(data_)} * kColourTableEntrySize);
    if (header_.DirectColour()) data_.Skip(kDirectColourInfoSize);
    if (header_.Compressed()) data_.Skip(kCompressedSizeWord);
}

std::span<const std::uint8_t> BitmapRows::Next() {
    if (current_.size() != header_.rowBytes) {
        // Made on the first row only: skipping rows needs no buffers.
        current_.assign(header_.rowBytes, 0);
        previous_.assign(header_.rowBytes, 0);
    }
    if (!header_.Compressed()) {
        CopyRow();
        return current_;
    }
    switch (static_cast<BitmapCompression>(header_.compressionType)) {
        case BitmapCompression::kScanLine: ScanLineRow(); break;
        case BitmapCompression::kRunLength: RunLengthRow(); break;
        case BitmapCompression::kPackBits: break;  // not decoded: the row keeps what it held
        default: CopyRow(); break;                 // an unknown scheme reads as uncompressed
    }
    return current_;
}

void BitmapRows::SkipRows(std::size_t count) {
    if (!header_.Compressed() || header_.compressionType > 2) {
        const std::size_t rowBytes = header_.rowBytes;
        const std::size_t remaining = data_.Remaining();
        data_.Skip(rowBytes != 0 && count < remaining / rowBytes ? count * rowBytes : remaining);
        return;
    }
    for (std::size_t y = 0; y < count && !DataExhausted(); ++y) {
        switch (static_cast<BitmapCompression>(header_.compressionType)) {
            case BitmapCompression::kScanLine: SkipScanLineRow(); break;
            case BitmapCompression::kRunLength: SkipRunLengthRow(); break;
            case BitmapCompression::kPackBits: return;
        }
    }
}

std::optional<std::size_t> BitmapRows::MostConsumedAfter(std::size_t count) const {
    std::size_t row = header_.rowBytes;  // uncompressed, and an unknown scheme read as uncompressed
    if (header_.Compressed()) {
        switch (header_.compressionType) {
            case static_cast<std::uint8_t>(BitmapCompression::kScanLine):
                row += (row + kScanLineGroup - 1) / kScanLineGroup;
                break;
            case static_cast<std::uint8_t>(BitmapCompression::kRunLength): return std::nullopt;
            case static_cast<std::uint8_t>(BitmapCompression::kPackBits): row = 0; break;
            default: break;
        }
    }
    return Consumed() + count * row;
}

void BitmapRows::SkipRunLengthRow() {
    std::size_t written = 0;
    while (written < header_.rowBytes && !DataExhausted()) {
        written += NextByte();
        NextByte();
    }
}

// Runs over the bytes themselves, not byte by byte through the reader: a store's load measures
// every sketch this way. A flag byte that the data lacks fails the reader, as NextByte() would.
void BitmapRows::SkipScanLineRow() {
    const std::span<const std::uint8_t> rest = data_.Rest();
    const std::size_t rowBytes = header_.rowBytes;
    std::size_t at = 0;
    for (std::size_t start = 0; start < rowBytes; start += kScanLineGroup) {
        if (at == rest.size()) {
            data_.Skip(at);
            NextByte();
            return;
        }
        const std::size_t length = std::min(kScanLineGroup, rowBytes - start);
        const unsigned groupBits = (0xFF00u >> length) & 0xFFu;  // the top length bits
        const std::size_t fresh = kBitCounts[rest[at++] & groupBits];
        at += std::min(fresh, rest.size() - at);
    }
    data_.Skip(at);
}

void BitmapRows::CopyRow() {
    if (DataExhausted()) {
        // Every later row reads as zeros: clear once, not once per row.
        if (!currentIsZero_) std::fill(current_.begin(), current_.end(), std::uint8_t{0});
        currentIsZero_ = true;
        return;
    }
    const std::span<const std::uint8_t> bytes = data_.Sub(std::min(current_.size(), data_.Remaining())).Rest();
    const auto end = std::copy(bytes.begin(), bytes.end(), current_.begin());
    std::fill(end, current_.end(), std::uint8_t{0});
    currentIsZero_ = false;
}

// (count, value) pairs until the row is full; a run longer than the rest of the row is cut there.
// Past the data the pairs read (0, 0) and write nothing, so a cut row keeps its earlier bytes.
void BitmapRows::RunLengthRow() {
    const std::size_t rowBytes = current_.size();
    std::size_t written = 0;
    while (written < rowBytes && !DataExhausted()) {
        const std::size_t count = NextByte();
        const std::uint8_t value = NextByte();
        const std::size_t kept = std::min(count, rowBytes - written);
        std::fill_n(current_.begin() + static_cast<std::ptrdiff_t>(written), kept, value);
        written += count;
    }
    currentIsZero_ = false;
}

// Per group of 8 bytes a flag byte, bit 7 for the group's first byte: a set bit takes the next
// data byte, a clear bit the byte of the row before.
void BitmapRows::ScanLineRow() {
    // Past the data every flag reads zero, so the row repeats the one before, which the row
    // buffer already holds.
    if (DataExhausted()) return;
    const std::size_t rowBytes = current_.size();
    for (std::size_t start = 0; start < rowBytes; start += kScanLineGroup) {
        const unsigned flags = NextByte();
        const std::size_t end = std::min(start + kScanLineGroup, rowBytes);
        for (std::size_t i = start; i < end; ++i) {
            const bool fresh = (flags & (0x80u >> (i - start))) != 0;
            current_[i] = fresh ? NextByte() : previous_[i];
        }
    }
    previous_ = current_;
    currentIsZero_ = false;
}

std::vector<std::uint8_t> DecodeBitmapRgb(std::span<const std::uint8_t> bitmap) {
    BitmapRows rows(bitmap);
    const BitmapHeader& header = rows.Header();
    if (header.width <= 0 || header.height <= 0) return {};
    const std::size_t rowSize = static_cast<std::size_t>(header.width) * 3;
    const std::size_t height = static_cast<std::size_t>(header.height);
    std::vector<std::uint8_t> rgb;
    try {
        rgb.assign(rowSize * height, 255);  // opaque white
    } catch (const std::bad_alloc&) {
        return {};
    }
    const int depth = header.pixelSize;
    const std::span<const RgbBytes> palette = HandheldPalette::Get().Bytes(depth);
    if (palette.empty()) return rgb;  // depths other than 1, 2, 4 and 8 stay white
    const std::span<std::uint8_t> out(rgb);
    for (std::size_t y = 0; y < height; ++y) ConvertRow(rows.Next(), depth, palette, out.subspan(y * rowSize, rowSize));
    return rgb;
}

}  // namespace tavolex
