#include "sketch/jpeg_file.h"

#include "base/trace.h"
#include "sketch/sketch_image.h"
#include "tests/support/palm_bitmap_writer.h"
#include "tests/support/recording_debug_channel.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
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

// The file read back by libjpeg's own decoder, whose default error handler ends the test program
// on a file it can't read.
Bytes ReadJpeg(const std::string& file) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(file.data()), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    info.do_fancy_upsampling = FALSE;  // no chroma smoothing across block edges
    jpeg_start_decompress(&info);
    const std::size_t rowSize = std::size_t{info.output_width} * 3;
    Bytes rgb(rowSize * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rgb.data() + info.output_scanline * rowSize;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return rgb;
}

class JpegFileTest : public ::testing::Test {
protected:
    void TearDown() override { SetTraceTargets(CommandLineTraceTargets()); }
    test::TempDir dir_;
};

// 16 x 16 blocks of one system colour each, so chroma subsampling loses nothing: the colours come
// back close to their values from a baseline JPEG (frame marker C0), the same bytes as in memory.
TEST_F(JpegFileTest, WritesABaselineJpegThatReadsBack) {
    const std::uint16_t colours[] = {1, 6, 107, 108, 215, 226, 227, 230};
    test::PalmBitmapSpec layout{.width = 64, .height = 32, .depth = 8};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 64; ++x) layout.pixels.push_back(colours[(y / 16) * 4 + x / 16]);
    }
    SketchImage image;
    image.Assign(test::WritePalmBitmap(layout));
    ASSERT_TRUE(WriteSketchJpeg(image, dir_ / "colour.jpg"));
    const std::string file = test::ReadFileBytes(dir_ / "colour.jpg");
    EXPECT_EQ(file.substr(file.size() - 2), "\xFF\xD9");
    EXPECT_NE(file.find("\xFF\xC0"), std::string::npos);
    const Bytes inMemory = SketchJpegBytes(image);
    EXPECT_EQ(file, std::string(inMemory.begin(), inMemory.end()));
    const Bytes decoded = ReadJpeg(file);
    const Bytes rgb = image.Rgb();
    ASSERT_EQ(decoded.size(), rgb.size());
    for (std::size_t i = 0; i < rgb.size(); ++i) ASSERT_NEAR(decoded[i], rgb[i], 6) << i;
}

// Sizes out of range or beyond the buffer, and a sketch without pixels, write nothing; a path that
// can't be opened is traced; a name in Japanese is written.
TEST_F(JpegFileTest, WhatIsWritten) {
    const fs::path path = dir_ / "missing" / "7.jpg";
    const Bytes rgb(4 * 4 * 3, 0);
    for (const auto& [width, height] : {std::pair{0, 4}, {4, -1}, {4, 5}, {70000, 1}}) {
        EXPECT_EQ(JpegFile::Write(dir_ / "bad.jpg", rgb, width, height, 100), 0) << width << "x" << height;
    }
    EXPECT_TRUE(JpegFile::Encode(rgb, 4, 5, 100).empty());
    EXPECT_TRUE(WriteSketchJpeg(SketchImage(), dir_ / "bad.jpg"));
    EXPECT_FALSE(fs::exists(dir_ / "bad.jpg"));

    std::FILE* err = std::tmpfile();
    ASSERT_NE(err, nullptr);
    test::RecordingDebugChannel debug;
    SetTraceTargets({nullptr, err, &debug});
    EXPECT_EQ(JpegFile::Write(path, rgb, 4, 4, 100), 0);
    EXPECT_EQ(debug.Text(), "*** JpegFile :\nCan't open " + path.string() + "\n ***\n");
    std::fclose(err);

    const fs::path japanese = dir_.Path() / fs::path(u8"会議のスケッチ12.jpg");
    ASSERT_EQ(JpegFile::Write(japanese, rgb, 4, 4, 100), 1);
    EXPECT_EQ(ReadJpeg(test::ReadFileBytes(japanese)).size(), rgb.size());
}

#ifndef _WIN32
// A write that fails part-way (here: the file size limit) leaves no truncated picture behind, and
// a failed write to a device leaves the device.
TEST_F(JpegFileTest, FailedWritesRemoveOnlyThePartialFile) {
    Bytes noise(200 * 200 * 3);
    std::generate(noise.begin(), noise.end(), std::mt19937(3));
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
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    EXPECT_EQ(JpegFile::Write("/dev/full", noise, 200, 200, 100), 0);
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}
#endif

}  // namespace
}  // namespace tavolex
