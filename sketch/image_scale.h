#pragma once
// Smooth resizing of small pictures (tool-bar and list images drawn at 16 x 16) to the size a
// display's scale asks for: each new pixel is the average of the old pixels it covers, weighted by
// how much of each it covers. A whole-number enlargement repeats pixels exactly; other factors
// blend only the pixels a new pixel straddles, so edges stay sharp.

#include <cstdint>
#include <span>
#include <vector>

namespace tavolex {

// Pixels are 0xAARRGGBB, rows top to bottom, alpha premultiplied. An empty result when a size
// is not positive or pixels holds fewer than width * height values.
[[nodiscard]] std::vector<std::uint32_t> ScalePixels(std::span<const std::uint32_t> pixels, int width, int height,
                                                     int newWidth, int newHeight);

}  // namespace tavolex
