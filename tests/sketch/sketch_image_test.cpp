#include "sketch/sketch_image.h"

#include "sketch/bitmap_rows.h"
#include "sketch/handheld_palette.h"
#include "tests/support/palm_bitmap_writer.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>

namespace tavolex {
namespace {

using test::PalmBitmapHeader;
using test::PalmBitmapSpec;
using test::PalmCompression;
using Bytes = std::vector<std::uint8_t>;

std::vector<RgbBytes> Pixels(const SketchImage& image) {
    const Bytes rgb = image.Rgb();
    std::vector<RgbBytes> pixels;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) pixels.push_back({rgb[i], rgb[i + 1], rgb[i + 2]});
    return pixels;
}

std::vector<RgbBytes> FromPalette(int depth, const std::vector<std::uint16_t>& values) {
    std::vector<RgbBytes> pixels;
    for (const std::uint16_t v : values) pixels.push_back(HandheldPalette::Get().Bytes(depth)[v]);
    return pixels;
}

std::vector<RgbBytes> White(std::size_t count) { return std::vector<RgbBytes>(count, RgbBytes{255, 255, 255}); }

SketchImage Decode(const Bytes& bitmap) {
    SketchImage image;
    image.Assign(bitmap);
    return image;
}

std::vector<std::uint16_t> RandomValues(std::size_t count, int depth, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint16_t> values(count);
    for (auto& v : values) v = static_cast<std::uint16_t>(random() & ((1u << depth) - 1u));
    return values;
}

// A hand-made 8-bit bitmap: one byte per pixel, so rows read as palette indices.
Bytes EightBit(int width, int height, std::uint16_t rowBytes, std::uint16_t flags, std::uint8_t compression,
               const Bytes& body) {
    PalmBitmapHeader header;
    header.width = static_cast<std::int16_t>(width);
    header.height = static_cast<std::int16_t>(height);
    header.rowBytes = rowBytes;
    header.flags = flags;
    header.pixelSize = 8;
    header.compressionType = compression;
    return test::PalmBitmapBytes(header, body);
}

// Every shown depth with every decoded row encoding; widths that fill no whole byte, and one whose
// rows are whole groups of eight bytes at depths 4 and 8.
class DepthAndCompressionTest : public ::testing::TestWithParam<std::tuple<int, PalmCompression>> {};

TEST_P(DepthAndCompressionTest, PixelsComeFromThePaletteOfTheDepth) {
    const auto [depth, compression] = GetParam();
    for (const int width : {21, 16}) {
        SCOPED_TRACE(width);
        PalmBitmapSpec layout{.width = width, .height = 9, .depth = depth, .compression = compression};
        layout.pixels = RandomValues(static_cast<std::size_t>(width) * 9, depth, static_cast<unsigned>(depth));
        for (int x = 0; x < width; ++x) layout.pixels[width * 4 + x] = layout.pixels[width * 3 + x];  // a repeated row
        EXPECT_EQ(Pixels(Decode(test::WritePalmBitmap(layout))), FromPalette(depth, layout.pixels));

        // A colour table is skipped and its colours ignored; so is direct-colour information.
        layout.colourTableEntries = 3;
        EXPECT_EQ(Pixels(Decode(test::WritePalmBitmap(layout))), FromPalette(depth, layout.pixels));
        layout.colourTableEntries = 0;
        layout.directColour = true;
        EXPECT_EQ(Pixels(Decode(test::WritePalmBitmap(layout))), FromPalette(depth, layout.pixels));
    }
}

INSTANTIATE_TEST_SUITE_P(All, DepthAndCompressionTest,
                         ::testing::Combine(::testing::Values(1, 2, 4, 8),
                                            ::testing::Values(PalmCompression::kNone, PalmCompression::kScanLine,
                                                              PalmCompression::kRunLength)));

TEST(SketchImageTest, PackBitsRowsAreNotDecoded) {
    for (const int depth : {1, 8}) {
        PalmBitmapSpec layout{.width = 16, .height = 4, .depth = depth, .compression = PalmCompression::kPackBits};
        layout.pixels = RandomValues(16 * 4, depth, 7);
        const Bytes bitmap = test::WritePalmBitmap(layout);
        const SketchImage image = Decode(bitmap);
        EXPECT_EQ(Pixels(image), White(16 * 4)) << depth;  // the zero-filled rows: index 0
        EXPECT_EQ(image.KeptBytes(), 16u + 2u);            // no data is read
    }
}

TEST(SketchImageTest, UnknownCompressionReadsAsUncompressed) {
    const Bytes image = EightBit(3, 1, 3, test::kPalmCompressed, 9, {0, 0, 215, 1, 0});
    // The size word is skipped; the row is the three bytes after it.
    EXPECT_EQ(Pixels(Decode(image)), FromPalette(8, {215, 1, 0}));
}

TEST(SketchImageTest, OtherDepthsAreWhite) {
    PalmBitmapSpec layout{.width = 5, .height = 3, .depth = 16, .directColour = true};
    layout.pixels = RandomValues(15, 16, 3);
    EXPECT_EQ(Pixels(Decode(test::WritePalmBitmap(layout))), White(15));
    for (const int depth : {0, 3, 16}) {
        PalmBitmapHeader header{.width = 4, .height = 2, .rowBytes = 8, .pixelSize = static_cast<std::uint8_t>(depth)};
        const SketchImage image = Decode(test::PalmBitmapBytes(header, Bytes(16, 0xAB)));
        EXPECT_EQ(Pixels(image), White(8)) << depth;
        EXPECT_EQ(image.KeptBytes(), 16u) << depth;
    }
}

TEST(SketchImageTest, RunLengthRunsPastTheRowEndIt) {
    // Row 0: 3 x 1, then 3 x 2 of which one fits. Row 1 starts with the next pair.
    const Bytes bitmap = EightBit(4, 2, 4, test::kPalmCompressed, 1, {0, 0, 3, 1, 3, 2, 4, 5, 9, 9});
    const SketchImage image = Decode(bitmap);
    EXPECT_EQ(Pixels(image), FromPalette(8, {1, 1, 1, 2, 5, 5, 5, 5}));
    EXPECT_EQ(image.KeptBytes(), bitmap.size() - 2);  // the pair after the last row is not kept
}

TEST(SketchImageTest, ScanLineFlagsTakeNewBytesOrThoseOfTheRowBefore) {
    const Bytes body = {
        0, 0,               // compressed size: skipped
        0x00, 0x00,         // row 0: both groups as the (zero) row before
        0x81, 1, 2, 0x40, 3,  // row 1: bytes 0 and 7 new; in the short group byte 9 new
        0x40, 4, 0x00,      // row 2: byte 1 new, the rest from row 1
    };
    const SketchImage image = Decode(EightBit(10, 3, 10, test::kPalmCompressed, 0, body));
    EXPECT_EQ(Pixels(image), FromPalette(8, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  //
                                             1, 0, 0, 0, 0, 0, 0, 2, 0, 3,  //
                                             1, 4, 0, 0, 0, 0, 0, 2, 0, 3}));
}

TEST(SketchImageTest, RowBytesSetTheStride) {
    // 5 one-bit pixels in rows of 4 bytes: the bits after the fifth pixel and the padding bytes
    // are never shown.
    PalmBitmapHeader header{.width = 5, .height = 2, .rowBytes = 4, .pixelSize = 1};
    const SketchImage image = Decode(test::PalmBitmapBytes(header, {0b10100111, 0xFF, 0xFF, 0xFF,  //
                                                                    0b01010000, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Pixels(image), FromPalette(1, {1, 0, 1, 0, 0, 0, 1, 0, 1, 0}));
}

TEST(SketchImageTest, PixelsPastTheRowBytesAreWhite) {
    const SketchImage image = Decode(EightBit(4, 2, 2, 0, 0, {215, 1, 6, 215}));
    EXPECT_EQ(Pixels(image), FromPalette(8, {215, 1, 0, 0, 6, 215, 0, 0}));
}

TEST(SketchImageTest, ColourTableOfNEntriesIsSkipped) {
    const Bytes body = {0, 2, 0, 255, 0, 0, 1, 0, 255, 0,  // two entries, 2 + 4 x 2 bytes
                        1, 215};
    EXPECT_EQ(Pixels(Decode(EightBit(2, 1, 2, test::kPalmHasColourTable, 0, body))), FromPalette(8, {1, 215}));
}

TEST(SketchImageTest, SizesOutsideTheRangeGiveNoPixels) {
    const std::pair<int, int> sizes[] = {{0, 4}, {4, 0}, {-1, 4}, {4, -160}, {4097, 4096}, {32767, 32767}};
    for (const auto& [width, height] : sizes) {
        PalmBitmapHeader header{.width = static_cast<std::int16_t>(width), .height = static_cast<std::int16_t>(height),
                                .rowBytes = 2};
        const SketchImage image = Decode(test::PalmBitmapBytes(header, Bytes(8, 0xFF)));
        EXPECT_FALSE(image.HasPixels()) << width << "x" << height;
        EXPECT_EQ(image.Width(), 0);
        EXPECT_EQ(image.Height(), 0);
        EXPECT_TRUE(image.Rgb().empty());
        EXPECT_EQ(image.KeptBytes(), 0u);
    }
    PalmBitmapHeader largest{.width = 4096, .height = 4096, .rowBytes = 512};
    EXPECT_TRUE(Decode(test::PalmBitmapBytes(largest, {})).HasPixels());
}

TEST(SketchImageTest, FreeEmptiesTheImage) {
    SketchImage image = Decode(EightBit(2, 2, 2, 0, 0, {1, 2, 3, 4}));
    ASSERT_TRUE(image.HasPixels());
    image.Free();
    EXPECT_FALSE(image.HasPixels());
    EXPECT_TRUE(image.Rgb().empty());
    EXPECT_EQ(image.KeptBytes(), 0u);
}

TEST(SketchImageTest, BytesAfterTheBitmapAreNotKept) {
    PalmBitmapSpec layout{.width = 12, .height = 5, .depth = 4, .compression = PalmCompression::kRunLength};
    layout.pixels = RandomValues(60, 4, 11);
    Bytes bitmap = test::WritePalmBitmap(layout);
    const std::size_t size = bitmap.size();
    bitmap.insert(bitmap.end(), 300, 0xEE);
    const SketchImage image = Decode(bitmap);
    EXPECT_EQ(image.KeptBytes(), size);
    EXPECT_EQ(Pixels(image), FromPalette(4, layout.pixels));
}

// A damaged record: the data ends before the header's rows do. The bitmap reads as if zeros
// followed it, as the record buffer does.
TEST(SketchImageTest, ShortDataReadsAsZeros) {
    // Uncompressed: rows past the data are zero (white), a cut row is zero from the cut.
    EXPECT_EQ(Pixels(Decode(EightBit(2, 3, 2, 0, 0, {215, 1, 6}))), FromPalette(8, {215, 1, 6, 0, 0, 0}));
    // Run-length: a cut row keeps what the row buffer held, and so do the rows after it.
    EXPECT_EQ(Pixels(Decode(EightBit(4, 3, 4, test::kPalmCompressed, 1, {0, 0, 4, 7, 2, 9}))),
              FromPalette(8, {7, 7, 7, 7, 9, 9, 7, 7, 9, 9, 7, 7}));
    // Scan-line: flags past the data read zero, so later rows repeat the last one.
    EXPECT_EQ(Pixels(Decode(EightBit(3, 3, 3, test::kPalmCompressed, 0, {0, 0, 0xE0, 5, 6}))),
              FromPalette(8, {5, 6, 0, 5, 6, 0, 5, 6, 0}));
    // A header cut after its height: a white picture of that size.
    EXPECT_EQ(Pixels(Decode({0, 3, 0, 2})), White(6));
    EXPECT_FALSE(Decode({0, 3, 0}).HasPixels());
    EXPECT_FALSE(Decode({}).HasPixels());
}

TEST(SketchImageTest, EveryCutOfABitmapKeepsTheRowsBeforeIt) {
    for (const PalmCompression compression :
         {PalmCompression::kNone, PalmCompression::kScanLine, PalmCompression::kRunLength}) {
        PalmBitmapSpec layout{.width = 11, .height = 6, .depth = 2, .compression = compression, .colourTableEntries = 1};
        layout.pixels = RandomValues(66, 2, 5);
        const Bytes bitmap = test::WritePalmBitmap(layout);
        const std::vector<RgbBytes> full = FromPalette(2, layout.pixels);
        std::size_t completeRows = 0;
        for (std::size_t cut = 0; cut <= bitmap.size(); ++cut) {
            const SketchImage image = Decode(Bytes(bitmap.begin(), bitmap.begin() + static_cast<std::ptrdiff_t>(cut)));
            if (cut < 4) {
                EXPECT_FALSE(image.HasPixels());
                continue;
            }
            const std::vector<RgbBytes> pixels = Pixels(image);
            ASSERT_EQ(pixels.size(), full.size());
            std::size_t same = 0;
            while (same < full.size() && pixels[same] == full[same]) ++same;
            EXPECT_GE(same / 11, completeRows) << "cut " << cut;  // a longer cut never loses rows
            completeRows = same / 11;
        }
        EXPECT_EQ(completeRows, 6u);
    }
}

}  // namespace
}  // namespace tavolex
