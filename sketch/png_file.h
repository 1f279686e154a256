#pragma once
// A lossless PNG writer over libpng, for pictures that must stay exact: a sketch's lines keep
// every pixel, where a JPEG would blur them.

#include "sketch/sketch_image.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tavolex {

class PngFile {
public:
    // The bytes of rgb (red, green, blue per pixel, rows top to bottom, no padding) as a PNG:
    // indexed colour of 1, 2, 4 or 8 bits when the picture has at most 256 colours (a drawing's
    // few colours make a small file quickly), else 8-bit RGB. Empty when width or height is not
    // 1 ... 65535, rgb holds fewer than width x height x 3 bytes, or the library fails.
    [[nodiscard]] static std::vector<std::uint8_t> Encode(std::span<const std::uint8_t> rgb, int width, int height);
};

// The sketch's picture as PNG bytes, pixel for pixel the raster the JPEG writer receives; empty
// when the image has no pixels.
[[nodiscard]] std::vector<std::uint8_t> SketchPngBytes(const SketchImage& image);

}  // namespace tavolex
