#include "sketch/handheld_palette.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

namespace tavolex {
namespace {

RgbBytes Rgb(int red, int green, int blue) {
    return {static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green), static_cast<std::uint8_t>(blue)};
}

TEST(ChannelByteTest, MultipliesTruncatesAndClamps) {
    EXPECT_EQ(ChannelByte(0.8f), 204);
    EXPECT_EQ(ChannelByte(0.2f), 51);
    EXPECT_EQ(ChannelByte(1.0f), 255);
    EXPECT_EQ(ChannelByte(0.0f), 0);
    EXPECT_EQ(ChannelByte(2.0f / 3.0f), 170);
    EXPECT_EQ(ChannelByte(0.999f), 254);  // cut toward zero, not rounded
    EXPECT_EQ(ChannelByte(1.5f), 255);
    EXPECT_EQ(ChannelByte(-0.5f), 0);
    EXPECT_EQ(ChannelByte(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(HandheldPaletteTest, OnlyDepthsOneTwoFourAndEightHavePalettes) {
    const HandheldPalette& palette = HandheldPalette::Get();
    EXPECT_EQ(palette.Colours(1).size(), 2u);
    EXPECT_EQ(palette.Colours(2).size(), 4u);
    EXPECT_EQ(palette.Colours(4).size(), 16u);
    EXPECT_EQ(palette.Colours(8).size(), 256u);
    for (const int depth : {0, 3, 5, 16, 255}) {
        EXPECT_TRUE(palette.Colours(depth).empty()) << depth;
        EXPECT_TRUE(palette.Bytes(depth).empty()) << depth;
    }
}

TEST(HandheldPaletteTest, GreyPalettesRunFromWhiteToBlack) {
    const HandheldPalette& palette = HandheldPalette::Get();
    EXPECT_EQ(palette.Bytes(1)[0], Rgb(255, 255, 255));
    EXPECT_EQ(palette.Bytes(1)[1], Rgb(0, 0, 0));
    const int twoBit[4] = {255, 170, 85, 0};
    for (int v = 0; v < 4; ++v) EXPECT_EQ(palette.Bytes(2)[v], Rgb(twoBit[v], twoBit[v], twoBit[v])) << v;
    for (int v = 0; v < 16; ++v) {
        const int grey = 255 - 17 * v;
        EXPECT_EQ(palette.Bytes(4)[v], Rgb(grey, grey, grey)) << v;
    }
    const HandheldColour third = palette.Colours(2)[2];
    EXPECT_EQ(third.red, 1.0f / 3.0f);
    EXPECT_EQ(third.blue, 1.0f / 3.0f);
    EXPECT_EQ(third.alpha, 1.0f);
    EXPECT_EQ(palette.Colours(4)[1].green, 14.0f / 15.0f);
}

TEST(HandheldPaletteTest, SystemPaletteEntries) {
    const std::span<const RgbBytes> bytes = HandheldPalette::Get().Bytes(8);
    const std::pair<int, RgbBytes> table[] = {
        {0, Rgb(255, 255, 255)},   {1, Rgb(255, 204, 255)}, {6, Rgb(255, 255, 204)}, {107, Rgb(0, 0, 153)},
        {108, Rgb(255, 255, 102)}, {215, Rgb(0, 0, 0)},     {216, Rgb(17, 17, 17)},  {217, Rgb(34, 34, 34)},
        {218, Rgb(68, 68, 68)},    {219, Rgb(85, 85, 85)},  {220, Rgb(119, 119, 119)}, {221, Rgb(136, 136, 136)},
        {222, Rgb(170, 170, 170)}, {223, Rgb(187, 187, 187)}, {224, Rgb(221, 221, 221)}, {225, Rgb(238, 238, 238)},
        {226, Rgb(192, 192, 192)}, {227, Rgb(128, 0, 0)},   {228, Rgb(128, 0, 128)}, {229, Rgb(0, 128, 0)},
        {230, Rgb(0, 128, 128)},
    };
    for (const auto& [index, rgb] : table) EXPECT_EQ(bytes[index], rgb) << index;
    for (int i = 231; i < 256; ++i) EXPECT_EQ(bytes[i], Rgb(0, 0, 0)) << i;
    const HandheldColour one = HandheldPalette::Get().Colours(8)[1];
    EXPECT_EQ((std::array{one.red, one.green, one.blue, one.alpha}), (std::array{1.0f, 0.8f, 1.0f, 1.0f}));
    EXPECT_EQ(HandheldPalette::Get().Colours(8)[227].red, 128.0f / 255.0f);
}

TEST(HandheldPaletteTest, ColourCubeOrder) {
    // Red slowest, then blue, then green fastest; blue's light half for all reds comes first.
    const int levels[6] = {255, 204, 153, 102, 51, 0};
    const std::span<const RgbBytes> bytes = HandheldPalette::Get().Bytes(8);
    int index = 0;
    for (int half = 0; half < 2; ++half) {
        for (int red = 0; red < 6; ++red) {
            for (int blue = half * 3; blue < half * 3 + 3; ++blue) {
                for (int green = 0; green < 6; ++green, ++index) {
                    EXPECT_EQ(bytes[index], Rgb(levels[red], levels[green], levels[blue])) << index;
                }
            }
        }
    }
}

}  // namespace
}  // namespace tavolex
