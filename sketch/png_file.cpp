#include "sketch/png_file.h"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstddef>

#include <png.h>

namespace tavolex {
namespace {

constexpr int kMaxPngDimension = 65535;
constexpr std::size_t kMaxPaletteColours = 256;

// The picture as palette indexes, when it has few enough colours.
struct IndexedPicture {
    std::array<png_color, kMaxPaletteColours> palette{};
    std::size_t colours = 0;
    int bitDepth = 8;
    std::vector<std::uint8_t> rows;  // packed at bitDepth, each row starting on a byte
    std::size_t rowBytes = 0;
};

std::uint32_t Packed(const std::uint8_t* pixel) {
    return (std::uint32_t{pixel[0]} << 16) | (std::uint32_t{pixel[1]} << 8) | pixel[2];
}

// Indexes every pixel; false when the picture has more than 256 colours. A drawing repeats its
// colours in runs, so the last one found is tried first.
bool Index(std::span<const std::uint8_t> rgb, int width, int height, IndexedPicture& out) {
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<std::uint8_t> indexes(count);
    std::array<std::uint32_t, kMaxPaletteColours> colours{};
    std::uint32_t last = 0;
    std::uint8_t lastIndex = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t c = Packed(&rgb[i * 3]);
        if (out.colours == 0 || c != last) {
            const auto end = colours.begin() + static_cast<std::ptrdiff_t>(out.colours);
            const auto found = std::find(colours.begin(), end, c);
            if (found == end) {
                if (out.colours == kMaxPaletteColours) return false;
                colours[out.colours] = c;  // at `end`, where `found` points
                out.palette[out.colours] = {static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8),
                                            static_cast<png_byte>(c)};
                ++out.colours;
            }
            last = c;
            lastIndex = static_cast<std::uint8_t>(found - colours.begin());
        }
        indexes[i] = lastIndex;
    }
    out.bitDepth = out.colours <= 2 ? 1 : out.colours <= 4 ? 2 : out.colours <= 16 ? 4 : 8;
    const std::size_t perByte = 8 / static_cast<std::size_t>(out.bitDepth);
    out.rowBytes = (static_cast<std::size_t>(width) + perByte - 1) / perByte;
    out.rows.assign(out.rowBytes * static_cast<std::size_t>(height), 0);
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
        for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x) {
            const std::size_t shift = 8 - static_cast<std::size_t>(out.bitDepth) * (x % perByte + 1);
            out.rows[y * out.rowBytes + x / perByte] |=
                static_cast<std::uint8_t>(indexes[y * static_cast<std::size_t>(width) + x] << shift);
        }
    }
    return true;
}

extern "C" void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

extern "C" void NoFlush(png_structp) {}

// Runs the library; an error jumps back to the setjmp here, so this holds nothing with a
// destructor (the jump skips them): the rows and the output belong to the caller.
bool Compress(png_structp png, png_infop info, std::vector<std::uint8_t>* out, const std::uint8_t* rows,
              std::size_t rowBytes, int width, int height, const IndexedPicture* indexed) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    png_set_write_fn(png, out, AppendBytes, NoFlush);
    // Drawings are written thousands at a time: a fast level costs little size on their flat areas.
    png_set_compression_level(png, 3);
    if (indexed != nullptr) {
        png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), indexed->bitDepth,
                     PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_PLTE(png, info, indexed->palette.data(), static_cast<int>(indexed->colours));
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    } else {
        png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    }
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        // libpng takes rows as non-const, but only reads them.
        png_write_row(png, const_cast<png_bytep>(rows + static_cast<std::size_t>(y) * rowBytes));
    }
    png_write_end(png, info);
    return true;
}

}  // namespace

std::vector<std::uint8_t> PngFile::Encode(std::span<const std::uint8_t> rgb, int width, int height) {
    if (width <= 0 || height <= 0 || width > kMaxPngDimension || height > kMaxPngDimension) return {};
    if (rgb.size() / 3 / static_cast<std::size_t>(width) < static_cast<std::size_t>(height)) return {};
    IndexedPicture indexed;
    const bool few = Index(rgb, width, height, indexed);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return {};
    png_infop info = png_create_info_struct(png);
    std::vector<std::uint8_t> bytes;
    const bool written =
        info != nullptr &&
        (few ? Compress(png, info, &bytes, indexed.rows.data(), indexed.rowBytes, width, height, &indexed)
             : Compress(png, info, &bytes, rgb.data(), static_cast<std::size_t>(width) * 3, width, height, nullptr));
    png_destroy_write_struct(&png, &info);
    if (!written) bytes.clear();
    return bytes;
}

std::vector<std::uint8_t> SketchPngBytes(const SketchImage& image) {
    if (!image.HasPixels()) return {};
    const std::vector<std::uint8_t> rgb = image.Rgb();
    if (rgb.empty()) return {};
    return PngFile::Encode(rgb, image.Width(), image.Height());
}

}  // namespace tavolex
