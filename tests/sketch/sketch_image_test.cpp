#include "sketch/sketch_image.h"

#include "sketch/bitmap_rows.h"
#include "sketch/handheld_palette.h"
#include "tests/support/palm_bitmap_writer.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <tuple>

namespace tavolex {
namespace {

using namespace test;
using Bytes = std::vector<std::uint8_t>;
using Pixels = std::vector<RgbBytes>;  // a default RgbBytes is white

SketchImage Decode(const Bytes& bitmap) {
    SketchImage image;
    image.Assign(bitmap);
    return image;
}

Pixels PixelsOf(const SketchImage& image) {
    const Bytes rgb = image.Rgb();
    Pixels pixels;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) pixels.push_back({rgb[i], rgb[i + 1], rgb[i + 2]});
    return pixels;
}

Pixels FromPalette(int depth, const std::vector<std::uint16_t>& values) {
    Pixels pixels;
    for (const std::uint16_t v : values) pixels.push_back(HandheldPalette::Get().Bytes(depth)[v]);
    return pixels;
}

std::vector<std::uint16_t> RandomValues(std::size_t count, int depth, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint16_t> values(count);
    for (auto& v : values) v = static_cast<std::uint16_t>(random() & ((1u << depth) - 1u));
    return values;
}

RgbBytes Grey(int level) {
    const auto byte = static_cast<std::uint8_t>(level);
    return {byte, byte, byte};
}

// Depths 1, 2 and 4 are greys from white to black; depth 8 is the system palette, whose colour
// cube runs red slowest, then blue, then green fastest, blue's light half for all reds first.
TEST(HandheldPaletteTest, EntriesOfEachDepth) {
    const HandheldPalette& palette = HandheldPalette::Get();
    for (const int depth : {0, 3, 5, 16, 255}) {
        EXPECT_TRUE(palette.Colours(depth).empty()) << depth;
        EXPECT_TRUE(palette.Bytes(depth).empty()) << depth;
    }
    const std::array<int, 4> twoBit = {255, 170, 85, 0};
    for (int v = 0; v < 4; ++v) EXPECT_EQ(palette.Bytes(2)[v], Grey(twoBit[v])) << v;
    for (int v = 0; v < 16; ++v) EXPECT_EQ(palette.Bytes(4)[v], Grey(255 - 17 * v)) << v;
    EXPECT_EQ((std::vector(palette.Bytes(1).begin(), palette.Bytes(1).end())), (std::vector{Grey(255), Grey(0)}));
    const std::pair<int, RgbBytes> system[] = {
        {0, Grey(255)},       {1, {255, 204, 255}}, {6, {255, 255, 204}}, {107, {0, 0, 153}}, {108, {255, 255, 102}}, {215, Grey(0)},
        {216, Grey(17)},      {217, Grey(34)},      {218, Grey(68)},      {219, Grey(85)},    {220, Grey(119)},       {221, Grey(136)},
        {222, Grey(170)},     {223, Grey(187)},     {224, Grey(221)},     {225, Grey(238)},   {226, Grey(192)},       {227, {128, 0, 0}},
        {228, {128, 0, 128}}, {229, {0, 128, 0}},   {230, {0, 128, 128}},
    };
    for (const auto& [index, rgb] : system) EXPECT_EQ(palette.Bytes(8)[index], rgb) << index;
    for (int i = 231; i < 256; ++i) EXPECT_EQ(palette.Bytes(8)[i], Grey(0)) << i;
}

// Every shown depth with every decoded row encoding; widths that fill no whole byte, and one whose
// rows are whole groups of eight bytes at depths 4 and 8. A colour table is skipped and its colours
// ignored, and so is direct-colour information; bytes after the bitmap are not kept.
class DepthAndCompressionTest : public ::testing::TestWithParam<std::tuple<int, PalmCompression>> {};

TEST_P(DepthAndCompressionTest, PixelsComeFromThePaletteOfTheDepth) {
    const auto [depth, compression] = GetParam();
    for (const int width : {21, 16}) {
        PalmBitmapSpec layout{.width = width, .height = 9, .depth = depth, .compression = compression};
        layout.pixels = RandomValues(static_cast<std::size_t>(width) * 9, depth, static_cast<unsigned>(depth));
        for (int x = 0; x < width; ++x) layout.pixels[width * 4 + x] = layout.pixels[width * 3 + x];  // a repeated row
        const Pixels expected = FromPalette(depth, layout.pixels);
        for (const int extras : {0, 1, 2}) {
            SCOPED_TRACE(testing::Message() << width << " " << extras);
            layout.colourTableEntries = extras == 1 ? 3 : 0;
            layout.directColour = extras == 2;
            Bytes bitmap = test::WritePalmBitmap(layout);
            const std::size_t size = bitmap.size();
            bitmap.insert(bitmap.end(), 300, 0xEE);
            const SketchImage image = Decode(bitmap);
            EXPECT_EQ(PixelsOf(image), expected);
            EXPECT_EQ(image.KeptBytes(), size);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(All, DepthAndCompressionTest,
                         ::testing::Combine(::testing::Values(1, 2, 4, 8),
                                            ::testing::Values(PalmCompression::kNone, PalmCompression::kScanLine,
                                                              PalmCompression::kRunLength)));

// A scan-line bitmap whose extra bytes stay within what its rows could read at the most (its row
// bytes and their flag bytes) is kept whole, unwalked; past that it is cut where decoding ends.
// Either way the picture is the same.
TEST(SketchImageTest, ScanLineBitmapsAreCutOnlyPastWhatTheirRowsCouldRead) {
    PalmBitmapSpec layout{.width = 16, .height = 4, .depth = 8, .compression = PalmCompression::kScanLine};
    layout.pixels = std::vector<std::uint16_t>(16 * 4, 7);  // rows that repeat: a flag byte and no data
    const Bytes bitmap = test::WritePalmBitmap(layout);
    const std::size_t most = 16 + 2 + 4 * (16 + 2);  // header, size word, rows of 16 bytes and 2 flags
    ASSERT_LT(bitmap.size(), most);
    const Pixels expected = PixelsOf(Decode(bitmap));
    for (const auto& [extra, kept] :
         {std::pair{std::size_t{0}, bitmap.size()}, {most - bitmap.size(), most}, {most - bitmap.size() + 1, bitmap.size()}}) {
        Bytes longer = bitmap;
        longer.insert(longer.end(), extra, 0xEE);
        const SketchImage image = Decode(longer);
        EXPECT_EQ(image.KeptBytes(), kept) << extra;
        EXPECT_EQ(PixelsOf(image), expected) << extra;
    }
}

// Bitmaps kept in an arena: the same pictures as on their own, each its own bytes across the
// arena's growing blocks, shared by copies, and still there once the arena is gone. A bitmap too
// large for a block is kept on its own.
TEST(SketchImageTest, ArenaKeepsEachBitmapAsItsOwnCopyWould) {
    std::vector<SketchImage> images;
    std::vector<Pixels> expected;
    {
        SketchArena arena;
        for (unsigned i = 0; i < 400; ++i) {  // about 1 MiB: several blocks
            const int side = i == 7 ? 1500 : 40 + static_cast<int>(i % 9);
            PalmBitmapSpec layout{.width = side, .height = side, .depth = 8};
            layout.pixels = RandomValues(static_cast<std::size_t>(side) * side, 8, i);
            const Bytes bitmap = test::WritePalmBitmap(layout);
            expected.push_back(PixelsOf(Decode(bitmap)));
            SketchImage image;
            image.Assign(bitmap, &arena);
            EXPECT_EQ(image.KeptBytes(), bitmap.size()) << i;
            images.push_back(image);
        }
    }
    const SketchImage copy = images[3];
    images[3].Free();
    EXPECT_EQ(PixelsOf(copy), expected[3]);
    for (std::size_t i = 0; i < images.size(); ++i) {
        if (i != 3) {
            EXPECT_EQ(PixelsOf(images[i]), expected[i]) << i;
        }
    }
}

// PackBits rows and depths without a palette are not decoded: white, and no data is kept.
TEST(SketchImageTest, UndecodedBitmapsAreWhite) {
    for (const int depth : {1, 8}) {
        PalmBitmapSpec layout{.width = 16, .height = 4, .depth = depth, .compression = PalmCompression::kPackBits};
        layout.pixels = RandomValues(16 * 4, depth, 7);
        const SketchImage image = Decode(test::WritePalmBitmap(layout));
        EXPECT_EQ(PixelsOf(image), Pixels(16 * 4)) << depth;
        EXPECT_EQ(image.KeptBytes(), 16u + 2u) << depth;
    }
    for (const int depth : {0, 3, 16}) {
        PalmBitmapHeader header{.width = 4, .height = 2, .rowBytes = 8, .pixelSize = static_cast<std::uint8_t>(depth)};
        const SketchImage image = Decode(test::PalmBitmapBytes(header, Bytes(16, 0xAB)));
        EXPECT_EQ(PixelsOf(image), Pixels(8)) << depth;
        EXPECT_EQ(image.KeptBytes(), 16u) << depth;
    }
    for (const std::int16_t side : {-4, 0}) {  // no pixels at all, whichever side is not positive
        for (const auto& [width, height] : {std::pair{side, std::int16_t{2}}, {std::int16_t{2}, side}})
            EXPECT_TRUE(DecodeBitmapRgb(test::PalmBitmapBytes({.width = width, .height = height, .pixelSize = 8}, Bytes(16, 1))).empty());
    }
}

// Hand-made 8-bit bitmaps, one byte per pixel, so rows read as palette indices. A damaged record
// whose data ends before the header's rows do reads as if zeros followed it, as the record buffer does.
TEST(SketchImageTest, HandMadeEightBitRows) {
    const struct {
        std::int16_t width, height;
        std::uint16_t flags;
        std::uint8_t compression;
        Bytes body;
        std::vector<std::uint16_t> expected;
        std::size_t unread = 0;
    } table[] = {
        // An unknown compression reads as uncompressed after the size word.
        {3, 1, kPalmCompressed, 9, {0, 0, 215, 1, 0}, {215, 1, 0}},
        // A run past the row end ends it; the pair after the last row is not kept.
        {4, 2, kPalmCompressed, 1, {0, 0, 3, 1, 3, 2, 4, 5, 9, 9}, {1, 1, 1, 2, 5, 5, 5, 5}, 2},
        // Scan-line flags take new bytes or those of the row before, also in the short last group.
        {10, 3, kPalmCompressed, 0, {0, 0, 0x00, 0x00, 0x81, 1, 2, 0x40, 3, 0x40, 4, 0x00}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0,
                                                                                             0, 0, 2, 0, 3, 1, 4, 0, 0, 0, 0, 0, 2, 0, 3}},
        // A colour table of N entries (2 + 4 x N bytes) is skipped.
        {2, 1, test::kPalmHasColourTable, 0, {0, 2, 0, 255, 0, 0, 1, 0, 255, 0, 1, 215}, {1, 215}},
        // Cut data: uncompressed rows are zero from the cut; a cut run-length row keeps what the row
        // buffer held; past the data scan-line flags read zero, so rows repeat the last one.
        {2, 3, 0, 0, {215, 1, 6}, {215, 1, 6, 0, 0, 0}},
        {4, 3, kPalmCompressed, 1, {0, 0, 4, 7, 2, 9}, {7, 7, 7, 7, 9, 9, 7, 7, 9, 9, 7, 7}},
        {3, 3, kPalmCompressed, 0, {0, 0, 0xE0, 5, 6}, {5, 6, 0, 5, 6, 0, 5, 6, 0}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(&row - table);
        const PalmBitmapHeader header{.width = row.width,
                                      .height = row.height,
                                      .rowBytes = static_cast<std::uint16_t>(row.width),
                                      .flags = row.flags,
                                      .pixelSize = 8,
                                      .compressionType = row.compression};
        const Bytes bitmap = test::PalmBitmapBytes(header, row.body);
        const SketchImage image = Decode(bitmap);
        EXPECT_EQ(PixelsOf(image), FromPalette(8, row.expected));
        EXPECT_EQ(image.KeptBytes(), bitmap.size() - row.unread);
        for (std::size_t cut = 0; cut < bitmap.size(); ++cut) {  // and every shorter record decodes
            const Bytes shorter(bitmap.begin(), bitmap.begin() + static_cast<std::ptrdiff_t>(cut));
            EXPECT_EQ(PixelsOf(Decode(shorter)).size(), cut < 4 ? 0u : row.expected.size()) << cut;
        }
    }
}

// Row bytes set the stride: pixels past them are white, bits and padding after the last pixel unseen.
TEST(SketchImageTest, RowBytesSetTheStride) {
    PalmBitmapHeader header{.width = 4, .height = 2, .rowBytes = 2, .pixelSize = 8};
    EXPECT_EQ(PixelsOf(Decode(test::PalmBitmapBytes(header, {215, 1, 6, 215}))), FromPalette(8, {215, 1, 0, 0, 6, 215, 0, 0}));
    header = {.width = 5, .height = 2, .rowBytes = 4, .pixelSize = 1};
    const Bytes oneBit = {0b10100111, 0xFF, 0xFF, 0xFF, 0b01010000, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(PixelsOf(Decode(test::PalmBitmapBytes(header, oneBit))), FromPalette(1, {1, 0, 1, 0, 0, 0, 1, 0, 1, 0}));
}

// Sizes out of range, a header cut before its height, or Free leave no pixels and no bytes.
TEST(SketchImageTest, ImagesWithoutPixels) {
    std::vector<SketchImage> images;
    for (const auto& [width, height] : {std::pair{0, 4}, {4, 0}, {-1, 4}, {4, -160}, {4097, 4096}, {32767, 32767}}) {
        PalmBitmapHeader header{.width = static_cast<std::int16_t>(width), .height = static_cast<std::int16_t>(height), .rowBytes = 2};
        images.push_back(Decode(test::PalmBitmapBytes(header, Bytes(8, 0xFF))));
    }
    images.push_back(Decode({0, 3, 0}));
    images.push_back(Decode({}));
    images.push_back(Decode(test::PalmBitmapBytes({.width = 2, .height = 2, .rowBytes = 2, .pixelSize = 8}, {1, 2})));
    ASSERT_TRUE(images.back().HasPixels());
    images.back().Free();
    for (const SketchImage& image : images) {
        EXPECT_FALSE(image.HasPixels());
        EXPECT_EQ(image.Width() + image.Height(), 0);
        EXPECT_TRUE(image.Rgb().empty());
        EXPECT_EQ(image.KeptBytes(), 0u);
    }
    EXPECT_TRUE(Decode(test::PalmBitmapBytes({.width = 4096, .height = 4096, .rowBytes = 512}, {})).HasPixels());
    EXPECT_EQ(PixelsOf(Decode({0, 3, 0, 2})), Pixels(6));  // a header cut after its height: white
}

}  // namespace
}  // namespace tavolex
