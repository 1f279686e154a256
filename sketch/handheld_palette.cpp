#include "sketch/handheld_palette.h"

#include <cstddef>

namespace tavolex {
namespace {

constexpr HandheldColour Grey(float level) { return {level, level, level, 1.0f}; }

// Byte values kept as the handheld keeps them: value / 255 on each channel.
HandheldColour FromBytes(int red, int green, int blue) {
    return {static_cast<float>(red) / 255.0f, static_cast<float>(green) / 255.0f, static_cast<float>(blue) / 255.0f,
            1.0f};
}

// Grey ramps of the 2 and 4-bit screens: value 0 is white, the largest value black.
template <std::size_t N>
void FillGreyRamp(std::array<HandheldColour, N>& palette) {
    const int darkest = static_cast<int>(N) - 1;
    for (int v = 0; v <= darkest; ++v) {
        palette[static_cast<std::size_t>(v)] = Grey(static_cast<float>(darkest - v) / static_cast<float>(darkest));
    }
}

// The 256-colour system palette: a 6 x 6 x 6 cube, red slowest and green fastest, with blue run
// over its three light levels for all reds first and over its three dark levels after; then ten
// greys, silver, four half-intensity colours, and black for the rest.
void FillSystemPalette(std::array<HandheldColour, 256>& palette) {
    constexpr float kLevels[6] = {1.0f, 0.8f, 0.6f, 0.4f, 0.2f, 0.0f};
    std::size_t index = 0;
    for (int blueHalf = 0; blueHalf < 2; ++blueHalf) {
        for (const float red : kLevels) {
            for (int blue = blueHalf * 3; blue < blueHalf * 3 + 3; ++blue) {
                for (const float green : kLevels) palette[index++] = {red, green, kLevels[blue], 1.0f};
            }
        }
    }
    constexpr int kGreys[10] = {17, 34, 68, 85, 119, 136, 170, 187, 221, 238};
    for (const int grey : kGreys) palette[index++] = FromBytes(grey, grey, grey);
    palette[index++] = FromBytes(192, 192, 192);
    palette[index++] = FromBytes(128, 0, 0);
    palette[index++] = FromBytes(128, 0, 128);
    palette[index++] = FromBytes(0, 128, 0);
    palette[index++] = FromBytes(0, 128, 128);
    while (index < palette.size()) palette[index++] = Grey(0.0f);
}

template <std::size_t N>
void ToBytes(const std::array<HandheldColour, N>& colours, std::array<RgbBytes, N>& bytes) {
    for (std::size_t i = 0; i < N; ++i) bytes[i] = ToRgbBytes(colours[i]);
}

}  // namespace

std::uint8_t ChannelByte(float channel) {
    // Float times the integer 255, as the picture export has always computed it.
    const float scaled = channel * 255.0f;
    if (!(scaled > 0.0f)) return 0;  // negative, zero or not a number
    if (scaled >= 255.0f) return 255;
    return static_cast<std::uint8_t>(static_cast<int>(scaled));
}

RgbBytes ToRgbBytes(const HandheldColour& colour) {
    return {ChannelByte(colour.red), ChannelByte(colour.green), ChannelByte(colour.blue)};
}

HandheldPalette::HandheldPalette() {
    depth1_[0] = Grey(1.0f);
    depth1_[1] = Grey(0.0f);
    FillGreyRamp(depth2_);
    FillGreyRamp(depth4_);
    FillSystemPalette(depth8_);
    ToBytes(depth1_, bytes1_);
    ToBytes(depth2_, bytes2_);
    ToBytes(depth4_, bytes4_);
    ToBytes(depth8_, bytes8_);
}

const HandheldPalette& HandheldPalette::Get() {
    static const HandheldPalette palette;
    return palette;
}

std::span<const HandheldColour> HandheldPalette::Colours(int depth) const {
    switch (depth) {
        case 1: return depth1_;
        case 2: return depth2_;
        case 4: return depth4_;
        case 8: return depth8_;
        default: return {};
    }
}

std::span<const RgbBytes> HandheldPalette::Bytes(int depth) const {
    switch (depth) {
        case 1: return bytes1_;
        case 2: return bytes2_;
        case 4: return bytes4_;
        case 8: return bytes8_;
        default: return {};
    }
}

}  // namespace tavolex
