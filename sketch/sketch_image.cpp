#include "sketch/sketch_image.h"

namespace tavolex {

// Placeholder until the bitmap decoder lands: keeps the bytes, decodes nothing.
void SketchImage::Assign(std::span<const std::uint8_t> bitmap) { bitmap_.assign(bitmap.begin(), bitmap.end()); }

void SketchImage::Free() {
    bitmap_.clear();
    bitmap_.shrink_to_fit();
    width_ = 0;
    height_ = 0;
}

std::vector<std::uint8_t> SketchImage::Rgb() const { return {}; }

void WriteSketchJpeg(const SketchImage&, const std::filesystem::path&) {}

}  // namespace tavolex
