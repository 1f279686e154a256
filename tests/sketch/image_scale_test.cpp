#include "sketch/image_scale.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace tavolex {
namespace {

using Pixels = std::vector<std::uint32_t>;

TEST(ScalePixels, AveragesTheOldPixelsEachNewPixelCovers) {
    const struct {
        const char* name;
        Pixels pixels;
        int width, height, newWidth, newHeight;
        Pixels expected;
    } cases[] = {
        {"twice repeats pixels", {0xFF000000, 0xFFFFFFFF}, 2, 1, 4, 1, {0xFF000000, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF}},
        {"one and a half blends only the straddling pixel", {0xFF000000, 0xFFFFFFFF}, 2, 1, 3, 1, {0xFF000000, 0xFF808080, 0xFFFFFFFF}},
        {"transparent edges stay premultiplied", {0x00000000, 0xFF00FF00}, 2, 1, 3, 1, {0x00000000, 0x80008000, 0xFF00FF00}},
        {"halving averages each square", {0xFF000000, 0xFF0000FF, 0xFF00FF00, 0xFFFF0000}, 2, 2, 1, 1, {0xFF404040}},
    };
    for (const auto& c : cases) EXPECT_EQ(ScalePixels(c.pixels, c.width, c.height, c.newWidth, c.newHeight), c.expected) << c.name;
}

}  // namespace
}  // namespace tavolex
