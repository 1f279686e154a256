#pragma once
// The handheld's fixed colour palettes, one per pixel depth, as the handheld shows its bitmaps.
// A pixel value of a 1, 2, 4 or 8-bit bitmap is an index into the palette of its depth.

#include <array>
#include <cstdint>
#include <span>

namespace tavolex {

// One palette entry: red, green, blue in 0.0 ... 1.0; alpha is always 1.0 and never written out.
struct HandheldColour {
    float red = 1.0f;
    float green = 1.0f;
    float blue = 1.0f;
    float alpha = 1.0f;
};

// One palette entry as the JPEG writer receives it.
struct RgbBytes {
    std::uint8_t red = 255;
    std::uint8_t green = 255;
    std::uint8_t blue = 255;

    friend bool operator==(const RgbBytes&, const RgbBytes&) = default;
};

// A colour channel as a byte: times 255 in float arithmetic, cut toward zero, kept to 0 ... 255.
[[nodiscard]] std::uint8_t ChannelByte(float channel);
[[nodiscard]] RgbBytes ToRgbBytes(const HandheldColour& colour);

class HandheldPalette {
public:
    // The process's palettes, built on first use and read-only afterwards. Start-up calls it once
    // before the first database load, so no later caller pays for the build.
    [[nodiscard]] static const HandheldPalette& Get();

    // The palette of a depth, with 2^depth entries; empty for depths other than 1, 2, 4 and 8.
    [[nodiscard]] std::span<const HandheldColour> Colours(int depth) const;
    // The same palette turned into bytes entry by entry with ToRgbBytes.
    [[nodiscard]] std::span<const RgbBytes> Bytes(int depth) const;

private:
    HandheldPalette();

    std::array<HandheldColour, 2> depth1_{};
    std::array<HandheldColour, 4> depth2_{};
    std::array<HandheldColour, 16> depth4_{};
    std::array<HandheldColour, 256> depth8_{};
    std::array<RgbBytes, 2> bytes1_{};
    std::array<RgbBytes, 4> bytes2_{};
    std::array<RgbBytes, 16> bytes4_{};
    std::array<RgbBytes, 256> bytes8_{};
};

}  // namespace tavolex
