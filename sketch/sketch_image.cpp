#include "sketch/sketch_image.h"

#include "sketch/bitmap_rows.h"
#include "sketch/handheld_palette.h"
#include "sketch/jpeg_file.h"

#include <algorithm>

namespace tavolex {
namespace {

constexpr int kJpegQuality = 100;

}  // namespace

void SketchImage::Assign(std::span<const std::uint8_t> bitmap) {
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
        rows.SkipRows(static_cast<std::size_t>(height_));
        kept = rows.Consumed();
    }
    bitmap_.assign(bitmap.begin(), bitmap.begin() + static_cast<std::ptrdiff_t>(kept));
}

void SketchImage::Free() {
    bitmap_.clear();
    bitmap_.shrink_to_fit();
    width_ = 0;
    height_ = 0;
}

std::vector<std::uint8_t> SketchImage::Rgb() const {
    if (!HasPixels()) return {};
    return DecodeBitmapRgb(bitmap_);
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
