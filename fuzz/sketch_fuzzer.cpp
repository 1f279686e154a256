// A handheld bitmap as a sketch record holds it: decoded to pixels and written as a JPEG file.

#include "fuzz/fuzz_support.h"
#include "sketch/sketch_image.h"

#include <span>

using namespace tavolex;

void fuzz::FuzzOne(std::string_view input) {
    SketchImage image;
    image.Assign(std::span(reinterpret_cast<const std::uint8_t*>(input.data()), input.size()));
    if (!image.HasPixels()) return;
    // Pictures larger than a handheld screen many times over only cost time: their decoding is the
    // same loop as a small one's.
    if (static_cast<std::int64_t>(image.Width()) * image.Height() > 640 * 960) return;
    const std::vector<std::uint8_t> rgb = image.Rgb();
    if (!rgb.empty() && rgb.size() != static_cast<std::size_t>(image.Width()) * image.Height() * 3) std::abort();
    (void)WriteSketchJpeg(image, fuzz::ScratchFolder() / "sketch.jpg");
}
