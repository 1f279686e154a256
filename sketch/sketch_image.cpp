#include "sketch/sketch_image.h"

#include "sketch/bitmap_rows.h"
#include "sketch/handheld_palette.h"
#include "sketch/jpeg_file.h"
#include "platform/platform.h"

#include <algorithm>
#include <cstring>

namespace tavolex {
namespace {

constexpr int kJpegQuality = 100;
constexpr std::size_t kFirstBlock = std::size_t{64} << 10;
constexpr std::size_t kLargestBlock = std::size_t{8} << 20;

std::shared_ptr<const std::uint8_t> OwnCopy(std::span<const std::uint8_t> bytes) {
    std::shared_ptr<std::uint8_t[]> copy(new (std::nothrow) std::uint8_t[std::max<std::size_t>(bytes.size(), 1)]);
    if (!copy) return nullptr;
    if (!bytes.empty()) std::memcpy(copy.get(), bytes.data(), bytes.size());
    return {copy, copy.get()};
}

}  // namespace

std::shared_ptr<const std::uint8_t> SketchArena::Copy(std::span<const std::uint8_t> bytes) {
    // A bitmap larger than a quarter of the largest block gets its own allocation, so a block's
    // unused tail stays small.
    if (bytes.size() > kLargestBlock / 4) return OwnCopy(bytes);
    if (!block_ || capacity_ - used_ < bytes.size()) {
        const std::size_t next = capacity_ == 0 ? kFirstBlock : std::min(capacity_ * 2, kLargestBlock);
        std::shared_ptr<std::uint8_t[]> block = platform::AllocateBulk(next);
        if (!block) return OwnCopy(bytes);
        block_ = std::move(block);
        capacity_ = next;
        used_ = 0;
    }
    std::uint8_t* const at = block_.get() + used_;
    if (!bytes.empty()) std::memcpy(at, bytes.data(), bytes.size());
    used_ += bytes.size();
    return {block_, at};
}

void SketchImage::Assign(std::span<const std::uint8_t> bitmap, SketchArena* arena) {
    Free();
    const BitmapHeader header = ReadBitmapHeader(bitmap);
    if (header.width <= 0 || header.height <= 0) return;
    if (std::int64_t{header.width} * header.height > kMaxPixels) return;
    width_ = header.width;
    height_ = header.height;
    // Keep only what decoding reads: the header alone when the depth is not shown (the picture is
    // white whatever follows), else up to where the last row's data ends.
    std::size_t kept = std::min(bitmap.size(), BitmapHeader::kSize);
    if (!HandheldPalette::Get().Bytes(header.pixelSize).empty()) {
        BitmapRows rows(bitmap);
        const std::optional<std::size_t> most = rows.MostConsumedAfter(static_cast<std::size_t>(height_));
        if (most && *most >= bitmap.size()) {
            // No longer than the rows could read: kept whole, without walking the rows (a store's
            // load measures 65,520 sketches).
            kept = bitmap.size();
        } else {
            rows.SkipRows(static_cast<std::size_t>(height_));
            kept = rows.Consumed();
        }
    }
    const std::span<const std::uint8_t> keptBytes = bitmap.first(kept);
    bitmap_ = arena != nullptr ? arena->Copy(keptBytes) : OwnCopy(keptBytes);
    if (!bitmap_) {
        // Out of memory: the picture is one whose raster could not be allocated.
        Free();
        return;
    }
    size_ = kept;
}

void SketchImage::Free() {
    bitmap_.reset();
    size_ = 0;
    width_ = 0;
    height_ = 0;
}

std::vector<std::uint8_t> SketchImage::Rgb() const {
    if (!HasPixels()) return {};
    return DecodeBitmapRgb(std::span(bitmap_.get(), size_));
}

bool WriteSketchJpeg(const SketchImage& image, const std::filesystem::path& path) {
    if (!image.HasPixels()) return true;
    const std::vector<std::uint8_t> rgb = image.Rgb();
    if (rgb.empty()) return false;
    return JpegFile::Write(path, rgb, image.Width(), image.Height(), kJpegQuality) == 1;
}

std::vector<std::uint8_t> SketchJpegBytes(const SketchImage& image) {
    if (!image.HasPixels()) return {};
    const std::vector<std::uint8_t> rgb = image.Rgb();
    if (rgb.empty()) return {};
    return JpegFile::Encode(rgb, image.Width(), image.Height(), kJpegQuality);
}

}  // namespace tavolex
