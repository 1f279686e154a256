// The decoder against bitmaps from an encoder written elsewhere: netpbm's pnmtopalm, where it is
// installed (not on Windows). Its inputs are made here as PGM and PPM files.
#include "sketch/sketch_image.h"

#include "sketch/handheld_palette.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <tuple>

namespace tavolex {
namespace {

using Bytes = std::vector<std::uint8_t>;

bool HavePnmtopalm() {
#ifdef _WIN32
    return false;
#else
    static const bool found = std::system("command -v pnmtopalm >/dev/null 2>&1") == 0;
    return found;
#endif
}

class PnmtopalmTest : public ::testing::Test {
protected:
    // Runs pnmtopalm with options over a PNM file holding pnm; the Palm bitmap it writes.
    std::optional<Bytes> Convert(const std::string& pnm, const std::string& options) {
        const auto input = dir_ / "in.pnm";
        const auto output = dir_ / "out.palm";
        test::WriteFileBytes(input, pnm);
        const std::string command =
            "pnmtopalm " + options + " '" + input.string() + "' > '" + output.string() + "' 2>/dev/null";
        if (std::system(command.c_str()) != 0) return std::nullopt;
        const std::string bytes = test::ReadFileBytes(output);
        return Bytes(bytes.begin(), bytes.end());
    }

    test::TempDir dir_;
};

std::string Pnm(const char* magic, int width, int height, int maxval, const Bytes& samples) {
    std::string pnm = std::string(magic) + "\n" + std::to_string(width) + " " + std::to_string(height) + "\n" +
                      std::to_string(maxval) + "\n";
    pnm.append(samples.begin(), samples.end());
    return pnm;
}

std::vector<RgbBytes> Pixels(const Bytes& bitmap) {
    SketchImage image;
    image.Assign(bitmap);
    const Bytes rgb = image.Rgb();
    std::vector<RgbBytes> pixels;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) pixels.push_back({rgb[i], rgb[i + 1], rgb[i + 2]});
    return pixels;
}

constexpr int kWidth = 37;  // fills no whole byte at any depth
constexpr int kHeight = 11;

class PnmtopalmGreyTest : public PnmtopalmTest, public ::testing::WithParamInterface<std::tuple<int, const char*>> {};

// Greys of maxval 2^depth - 1: pnmtopalm writes maxval - grey, which the grey palette of the
// depth shows as the same grey.
TEST_P(PnmtopalmGreyTest, PixelsMatchTheInputGreys) {
    if (!HavePnmtopalm()) GTEST_SKIP() << "pnmtopalm is not installed";
    const auto [depth, compression] = GetParam();
    const int maxval = (1 << depth) - 1;
    std::mt19937 random(static_cast<unsigned>(depth * 31));
    Bytes greys(kWidth * kHeight);
    for (auto& grey : greys) grey = static_cast<std::uint8_t>(random() % static_cast<unsigned>(maxval + 1));
    std::copy_n(greys.begin(), kWidth, greys.begin() + kWidth);  // a repeated row

    const auto bitmap = Convert(Pnm("P5", kWidth, kHeight, maxval, greys),
                                "-depth=" + std::to_string(depth) + " " + compression);
    ASSERT_TRUE(bitmap);
    ASSERT_GE(bitmap->size(), 16u);
    EXPECT_EQ((*bitmap)[8], depth);
    EXPECT_EQ(((*bitmap)[6] & 0x80) != 0, std::string(compression).size() > 0);

    std::vector<RgbBytes> expected;
    for (const std::uint8_t grey : greys) {
        const auto level = static_cast<std::uint8_t>(grey * 255 / maxval);
        expected.push_back({level, level, level});
    }
    EXPECT_EQ(Pixels(*bitmap), expected);
}

INSTANTIATE_TEST_SUITE_P(All, PnmtopalmGreyTest,
                         ::testing::Combine(::testing::Values(1, 2, 4),
                                            ::testing::Values("", "-scanline_compression", "-rle_compression")));

// Colours of the 6 x 6 x 6 cube and black. pnmtopalm's default colour map agrees with the
// handheld's system palette only on entries 0 ... 214: it lacks the cube's last entry, so its
// greys and half-intensity colours sit one entry lower than the handheld's.
Bytes CubeColourSamples() {
    const std::span<const RgbBytes> palette = HandheldPalette::Get().Bytes(8);
    std::vector<RgbBytes> colours(palette.begin(), palette.begin() + 216);
    std::vector<RgbBytes> pixels;
    for (int i = 0; i < kWidth * kHeight; ++i) pixels.push_back(colours[static_cast<std::size_t>(i) % colours.size()]);
    std::shuffle(pixels.begin(), pixels.end(), std::mt19937(8));
    Bytes samples;
    for (const RgbBytes& p : pixels) samples.insert(samples.end(), {p.red, p.green, p.blue});
    return samples;
}

std::vector<RgbBytes> AsPixels(const Bytes& samples) {
    std::vector<RgbBytes> pixels;
    for (std::size_t i = 0; i + 2 < samples.size(); i += 3) pixels.push_back({samples[i], samples[i + 1], samples[i + 2]});
    return pixels;
}

TEST_F(PnmtopalmTest, EightBitSystemColours) {
    if (!HavePnmtopalm()) GTEST_SKIP() << "pnmtopalm is not installed";
    const Bytes samples = CubeColourSamples();
    for (const char* compression : {"", "-scanline_compression", "-rle_compression"}) {
        const auto bitmap = Convert(Pnm("P6", kWidth, kHeight, 255, samples), std::string("-depth=8 ") + compression);
        ASSERT_TRUE(bitmap) << compression;
        EXPECT_EQ((*bitmap)[8], 8);
        EXPECT_EQ(Pixels(*bitmap), AsPixels(samples)) << compression;
    }
}

}  // namespace
}  // namespace tavolex
