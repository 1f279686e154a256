#pragma once
// The picture of a Sketch record. The handheld bitmap is kept as its record bytes and turned into
// pixels only when the picture is written, so a store full of sketches stays small; the bytes the
// JPEG writer receives are the ones the per-pixel float raster would give.

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace tavolex {

class SketchImage {
public:
    // Keeps the bitmap (the bytes from the bitmap's start to the end of the record body) and
    // reads its size from the header. A bitmap too short for its header leaves the image empty.
    void Assign(std::span<const std::uint8_t> bitmap);
    // Frees the pixels; the image is empty afterwards.
    void Free();

    [[nodiscard]] bool HasPixels() const { return width_ > 0 && height_ > 0; }
    [[nodiscard]] int Width() const { return width_; }
    [[nodiscard]] int Height() const { return height_; }

    // Red, green, blue bytes per pixel, rows top to bottom, no padding; empty without pixels.
    [[nodiscard]] std::vector<std::uint8_t> Rgb() const;

private:
    std::vector<std::uint8_t> bitmap_;
    int width_ = 0;
    int height_ = 0;
};

// Writes the picture as a baseline JPEG of quality 100; nothing when the image has no pixels.
void WriteSketchJpeg(const SketchImage& image, const std::filesystem::path& path);

}  // namespace tavolex
