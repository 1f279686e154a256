#include "sketch/jpeg_file.h"

#include "shell/trace.h"
#include "sketch/handheld_palette.h"
#include "sketch/sketch_image.h"
#include "tests/support/palm_bitmap_writer.h"
#include "tests/support/recording_debug_channel.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>

#include <jpeglib.h>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace tavolex {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

struct DecodedJpeg {
    int width = 0;
    int height = 0;
    int components = 0;
    bool progressive = false;
    Bytes rgb;
};

struct ReadErrors {
    jpeg_error_mgr standard;
    std::jmp_buf jumpBack;
};

struct ReadJob {
    jpeg_decompress_struct info;
    ReadErrors errors;
};

void ExitToReader(j_common_ptr common) { std::longjmp(reinterpret_cast<ReadErrors*>(common->err)->jumpBack, 1); }

// Nothing with a destructor lives here: a library error jumps back into this function.
bool Decompress(ReadJob& job, const std::string& file, DecodedJpeg& out) {
    job.info.err = jpeg_std_error(&job.errors.standard);
    job.errors.standard.error_exit = ExitToReader;
    if (setjmp(job.errors.jumpBack) != 0) return false;
    jpeg_create_decompress(&job.info);
    jpeg_mem_src(&job.info, reinterpret_cast<const unsigned char*>(file.data()), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&job.info, TRUE);
    job.info.out_color_space = JCS_RGB;
    job.info.do_fancy_upsampling = FALSE;  // no chroma smoothing across block edges
    jpeg_start_decompress(&job.info);
    out.width = static_cast<int>(job.info.output_width);
    out.height = static_cast<int>(job.info.output_height);
    out.components = job.info.num_components;
    out.progressive = job.info.progressive_mode != 0;
    out.rgb.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height) * 3);
    while (job.info.output_scanline < job.info.output_height) {
        JSAMPROW row = out.rgb.data() + job.info.output_scanline * static_cast<std::size_t>(out.width) * 3;
        jpeg_read_scanlines(&job.info, &row, 1);
    }
    jpeg_finish_decompress(&job.info);
    return true;
}

std::optional<DecodedJpeg> ReadJpeg(const fs::path& path) {
    const std::string file = test::ReadFileBytes(path);
    ReadJob job{};
    DecodedJpeg decoded;
    const bool ok = Decompress(job, file, decoded);
    jpeg_destroy_decompress(&job.info);
    if (!ok) return std::nullopt;
    return decoded;
}

// Each byte of b within tolerance of a.
void ExpectNear(const Bytes& a, const Bytes& b, int tolerance) {
    ASSERT_EQ(a.size(), b.size());
    int worst = 0;
    for (std::size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::abs(int{a[i]} - int{b[i]}));
    EXPECT_LE(worst, tolerance);
}

bool HasMarker(const std::string& file, unsigned char marker) {
    for (std::size_t i = 0; i + 1 < file.size(); ++i) {
        if (static_cast<unsigned char>(file[i]) == 0xFF && static_cast<unsigned char>(file[i + 1]) == marker) return true;
    }
    return false;
}

// A one-bit sketch of lines and dots, 1 = black.
test::PalmBitmapSpec LineDrawing(int width, int height) {
    test::PalmBitmapSpec layout{.width = width, .height = height, .depth = 1};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) layout.pixels.push_back(x == y || y == 5 || x % 9 == 3 ? 1 : 0);
    }
    return layout;
}

SketchImage ImageOf(const Bytes& bitmap) {
    SketchImage image;
    image.Assign(bitmap);
    return image;
}

class JpegFileTest : public ::testing::Test {
protected:
    void TearDown() override { SetTraceTargets(CommandLineTraceTargets()); }
    test::TempDir dir_;
};

TEST_F(JpegFileTest, WritesABaselineJpegThatReadsBack) {
    const SketchImage image = ImageOf(test::WritePalmBitmap(LineDrawing(45, 30)));
    const Bytes rgb = image.Rgb();
    const fs::path path = dir_ / "1.jpg";
    ASSERT_EQ(JpegFile::Write(path, rgb, 45, 30, 100), 1);

    const std::string file = test::ReadFileBytes(path);
    ASSERT_GE(file.size(), 4u);
    EXPECT_EQ(file.substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(file.substr(file.size() - 2), "\xFF\xD9");
    EXPECT_TRUE(HasMarker(file, 0xC0));  // baseline frame
    const auto decoded = ReadJpeg(path);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, 45);
    EXPECT_EQ(decoded->height, 30);
    EXPECT_EQ(decoded->components, 3);
    EXPECT_FALSE(decoded->progressive);
    // Black and white survive: every pixel is back on its side of mid-grey.
    ASSERT_EQ(decoded->rgb.size(), rgb.size());
    for (std::size_t i = 0; i < rgb.size(); ++i) ASSERT_EQ(decoded->rgb[i] >= 128, rgb[i] >= 128) << i;
    ExpectNear(decoded->rgb, rgb, 48);
    // Encoded in memory, the picture is the file's bytes.
    const Bytes encoded = JpegFile::Encode(rgb, 45, 30, 100);
    EXPECT_EQ(std::string(encoded.begin(), encoded.end()), file);
}

TEST_F(JpegFileTest, ColoursComeBackCloseToTheirValues) {
    // 16 x 16 blocks of one system colour each, so chroma subsampling loses nothing.
    const std::uint16_t colours[] = {1, 6, 107, 108, 215, 226, 227, 230};
    test::PalmBitmapSpec layout{.width = 64, .height = 32, .depth = 8};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 64; ++x) layout.pixels.push_back(colours[(y / 16) * 4 + x / 16]);
    }
    const SketchImage image = ImageOf(test::WritePalmBitmap(layout));
    const fs::path path = dir_ / "colour.jpg";
    WriteSketchJpeg(image, path);
    const auto decoded = ReadJpeg(path);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, 64);
    EXPECT_EQ(decoded->height, 32);
    ExpectNear(decoded->rgb, image.Rgb(), 6);
}

TEST_F(JpegFileTest, UnopenablePathIsTracedAndReturnsZero) {
    std::FILE* err = std::tmpfile();
    ASSERT_NE(err, nullptr);
    test::RecordingDebugChannel debug;
    SetTraceTargets({nullptr, err, &debug});
    const fs::path path = dir_ / "missing" / "7.jpg";
    const Bytes rgb(4 * 4 * 3, 0);
    EXPECT_EQ(JpegFile::Write(path, rgb, 4, 4, 100), 0);
    EXPECT_FALSE(fs::exists(path));
    const std::string text = "JpegFile :\nCan't open " + path.string() + "\n";
    ASSERT_EQ(debug.pieces.size(), 3u);
    EXPECT_EQ(debug.pieces[0], "*** ");
    EXPECT_EQ(debug.pieces[1], text);
    std::fclose(err);
}

TEST_F(JpegFileTest, BadArgumentsWriteNothing) {
    const fs::path path = dir_ / "bad.jpg";
    const Bytes rgb(4 * 4 * 3, 0);
    EXPECT_EQ(JpegFile::Write(path, rgb, 0, 4, 100), 0);
    EXPECT_EQ(JpegFile::Write(path, rgb, 4, -1, 100), 0);
    EXPECT_EQ(JpegFile::Write(path, rgb, 4, 5, 100), 0);  // buffer too small for the size
    EXPECT_EQ(JpegFile::Write(path, rgb, 70000, 1, 100), 0);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(JpegFile::Encode(rgb, 4, 5, 100).empty());
}

TEST_F(JpegFileTest, NamesInJapanese) {
    const fs::path path = dir_.Path() / fs::path(u8"会議のスケッチ12.jpg");
    const Bytes rgb(16 * 16 * 3, 0);
    ASSERT_EQ(JpegFile::Write(path, rgb, 16, 16, 100), 1);
    const auto decoded = ReadJpeg(path);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->height, 16);
}

#ifndef _WIN32
// A write that fails part-way (here: the file size limit) leaves no truncated picture behind.
TEST_F(JpegFileTest, FailedWriteRemovesThePartialFile) {
    std::mt19937 random(3);
    Bytes noise(200 * 200 * 3);
    for (auto& byte : noise) byte = static_cast<std::uint8_t>(random());
    const fs::path path = dir_ / "partial.jpg";

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 2000;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int result = JpegFile::Write(path, noise, 200, 200, 100);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(result, 0);
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(JpegFileTest, FailedWriteToADeviceLeavesTheDevice) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    Bytes noise(64 * 64 * 3);
    for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<std::uint8_t>(i * 37);
    EXPECT_EQ(JpegFile::Write("/dev/full", noise, 64, 64, 100), 0);
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}
#endif

TEST_F(JpegFileTest, SketchWithoutPixelsWritesNoFile) {
    const fs::path path = dir_ / "none.jpg";
    WriteSketchJpeg(SketchImage(), path);
    test::PalmBitmapHeader header{.width = -3, .height = 4, .rowBytes = 2, .pixelSize = 1};
    WriteSketchJpeg(ImageOf(test::PalmBitmapBytes(header, Bytes(8, 0xFF))), path);
    EXPECT_FALSE(fs::exists(path));
}

}  // namespace
}  // namespace tavolex
