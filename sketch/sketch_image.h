#pragma once
// The picture of a Sketch record. The handheld bitmap is kept as its record bytes and turned into
// pixels only when the picture is written, so a store full of sketches stays small; the bytes the
// JPEG writer receives are the ones the per-pixel float raster would give.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace tavolex {

// Room for the bitmaps of many sketches loaded together. A full store holds 65,520 of a few
// kilobytes each: copied into blocks that grow to 8 MiB (in large pages where the system gives
// them) they load and free several times faster than with an allocation each. A block lives as
// long as any image that holds bytes of it, so images outlive the arena.
class SketchArena {
public:
    // A copy of bytes; null when the memory can't be had.
    [[nodiscard]] std::shared_ptr<const std::uint8_t> Copy(std::span<const std::uint8_t> bytes);

private:
    std::shared_ptr<std::uint8_t[]> block_;
    std::size_t used_ = 0;
    std::size_t capacity_ = 0;
};

class SketchImage {
public:
    // Pictures larger than this many pixels are not made (a handheld screen holds at most
    // 320 x 480): such a bitmap is damaged, and its raster is treated as one that could not be
    // allocated.
    static constexpr std::int64_t kMaxPixels = std::int64_t{4096} * 4096;

    // Keeps the bitmap (the bytes from the bitmap's start to the end of the record body) and
    // reads its size from the header. Bytes past the end read as zero, as in the zero-filled
    // record buffer. A width or height of zero or less, or a picture over kMaxPixels, leaves the
    // image without pixels. A bitmap longer than its rows could read is cut where decoding ends
    // (bytes that follow it are not kept); what is kept is in the arena when one is
    // given, else in an allocation of the image's own. Images copied from one another share them.
    void Assign(std::span<const std::uint8_t> bitmap, SketchArena* arena = nullptr);
    // Frees the pixels; the image is empty afterwards.
    void Free();

    [[nodiscard]] bool HasPixels() const { return width_ > 0 && height_ > 0; }
    // Both 0 for an image without pixels.
    [[nodiscard]] int Width() const { return width_; }
    [[nodiscard]] int Height() const { return height_; }

    // Red, green, blue bytes per pixel, rows top to bottom, no padding; empty without pixels or
    // when the buffer can't be allocated.
    [[nodiscard]] std::vector<std::uint8_t> Rgb() const;

    // The bytes kept for decoding (the start of the bitmap given to Assign).
    [[nodiscard]] std::size_t KeptBytes() const { return size_; }
    // Those bytes: two images whose bitmaps are alike have alike pictures, without decoding either.
    [[nodiscard]] std::string_view KeptBitmap() const {
        return {reinterpret_cast<const char*>(bitmap_.get()), bitmap_ != nullptr ? size_ : 0};
    }

private:
    std::shared_ptr<const std::uint8_t> bitmap_;  // never changed in place
    std::size_t size_ = 0;
    int width_ = 0;
    int height_ = 0;
};

// Writes the picture as a baseline JPEG of quality 100; nothing when the image has no pixels.
// False when a picture was to be written and was not (an unopenable path is also traced by JpegFile).
[[nodiscard]] bool WriteSketchJpeg(const SketchImage& image, const std::filesystem::path& path);
// The bytes WriteSketchJpeg writes, in memory; empty when the image has no pixels.
[[nodiscard]] std::vector<std::uint8_t> SketchJpegBytes(const SketchImage& image);

}  // namespace tavolex
