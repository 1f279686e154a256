#include "sketch/handheld_palette.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

namespace tavolex {
namespace {

RgbBytes Grey(int level) {
    const auto byte = static_cast<std::uint8_t>(level);
    return {byte, byte, byte};
}

TEST(ChannelByteTest, MultipliesTruncatesAndClamps) {
    const std::pair<float, int> table[] = {
        {0.8f, 204}, {0.2f, 51}, {1.0f, 255}, {0.0f, 0}, {2.0f / 3.0f, 170}, {0.999f, 254},  // cut toward zero
        {1.5f, 255}, {-0.5f, 0}, {std::numeric_limits<float>::quiet_NaN(), 0},
    };
    for (const auto& [channel, byte] : table) EXPECT_EQ(ChannelByte(channel), byte) << channel;
}

// Depths 1, 2 and 4 are greys from white to black; depth 8 is the system palette, whose colour
// cube runs red slowest, then blue, then green fastest, blue's light half for all reds first.
TEST(HandheldPaletteTest, EntriesOfEachDepth) {
    const HandheldPalette& palette = HandheldPalette::Get();
    for (const int depth : {0, 3, 5, 16, 255}) {
        EXPECT_TRUE(palette.Colours(depth).empty()) << depth;
        EXPECT_TRUE(palette.Bytes(depth).empty()) << depth;
    }
    EXPECT_EQ(palette.Colours(8).size(), 256u);
    const std::array<int, 4> twoBit = {255, 170, 85, 0};
    for (int v = 0; v < 4; ++v) EXPECT_EQ(palette.Bytes(2)[v], Grey(twoBit[v])) << v;
    for (int v = 0; v < 16; ++v) EXPECT_EQ(palette.Bytes(4)[v], Grey(255 - 17 * v)) << v;
    EXPECT_EQ((std::vector(palette.Bytes(1).begin(), palette.Bytes(1).end())), (std::vector{Grey(255), Grey(0)}));
    const std::pair<int, RgbBytes> system[] = {
        {0, Grey(255)}, {1, {255, 204, 255}}, {6, {255, 255, 204}}, {107, {0, 0, 153}}, {108, {255, 255, 102}},
        {215, Grey(0)}, {216, Grey(17)},  {217, Grey(34)},  {218, Grey(68)},  {219, Grey(85)},
        {220, Grey(119)}, {221, Grey(136)}, {222, Grey(170)}, {223, Grey(187)}, {224, Grey(221)},
        {225, Grey(238)}, {226, Grey(192)}, {227, {128, 0, 0}}, {228, {128, 0, 128}}, {229, {0, 128, 0}},
        {230, {0, 128, 128}},
    };
    for (const auto& [index, rgb] : system) EXPECT_EQ(palette.Bytes(8)[index], rgb) << index;
    for (int i = 231; i < 256; ++i) EXPECT_EQ(palette.Bytes(8)[i], Grey(0)) << i;
    // The colours behind the bytes, in floats.
    const HandheldColour one = palette.Colours(8)[1];
    EXPECT_EQ((std::array{one.red, one.green, one.blue, one.alpha}), (std::array{1.0f, 0.8f, 1.0f, 1.0f}));
    EXPECT_EQ(palette.Colours(8)[227].red, 128.0f / 255.0f);
    EXPECT_EQ(palette.Colours(2)[2].blue, 1.0f / 3.0f);
    EXPECT_EQ(palette.Colours(4)[1].green, 14.0f / 15.0f);
}

}  // namespace
}  // namespace tavolex
