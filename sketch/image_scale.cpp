#include "sketch/image_scale.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace tavolex {
namespace {

// The share of each old pixel in each new pixel along one axis, in units of 1 / (old * new):
// new pixel j covers [j * old, (j + 1) * old) of a line old * new long, old pixel i [i * new, (i + 1) * new).
struct Span {
    int first = 0;             // the first old pixel covered
    std::vector<long> shares;  // its share and those of the following ones
};

std::vector<Span> Spans(int oldSize, int newSize) {
    std::vector<Span> spans(static_cast<std::size_t>(newSize));
    for (int j = 0; j < newSize; ++j) {
        const long start = static_cast<long>(j) * oldSize;
        const long end = start + oldSize;
        Span& span = spans[static_cast<std::size_t>(j)];
        span.first = static_cast<int>(start / newSize);
        for (int i = span.first; i < oldSize && static_cast<long>(i) * newSize < end; ++i) {
            const long from = std::max(start, static_cast<long>(i) * newSize);
            const long to = std::min(end, static_cast<long>(i + 1) * newSize);
            span.shares.push_back(to - from);
        }
    }
    return spans;
}

}  // namespace

std::vector<std::uint32_t> ScalePixels(std::span<const std::uint32_t> pixels, int width, int height, int newWidth,
                                       int newHeight) {
    if (width <= 0 || height <= 0 || newWidth <= 0 || newHeight <= 0 ||
        pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        return {};
    }
    const std::vector<Span> columns = Spans(width, newWidth);
    const std::vector<Span> rows = Spans(height, newHeight);
    // Each new pixel covers width x height units of shares.
    const long long whole = static_cast<long long>(width) * height;
    std::vector<std::uint32_t> out(static_cast<std::size_t>(newWidth) * static_cast<std::size_t>(newHeight));
    for (int y = 0; y < newHeight; ++y) {
        const Span& row = rows[static_cast<std::size_t>(y)];
        for (int x = 0; x < newWidth; ++x) {
            const Span& column = columns[static_cast<std::size_t>(x)];
            std::array<long long, 4> sum{};
            for (std::size_t r = 0; r < row.shares.size(); ++r) {
                const std::size_t line = static_cast<std::size_t>(row.first) + r;
                for (std::size_t c = 0; c < column.shares.size(); ++c) {
                    const std::uint32_t pixel =
                        pixels[line * static_cast<std::size_t>(width) + static_cast<std::size_t>(column.first) + c];
                    const long long weight = static_cast<long long>(row.shares[r]) * column.shares[c];
                    for (int channel = 0; channel < 4; ++channel)
                        sum[channel] += weight * ((pixel >> (8 * channel)) & 0xFF);
                }
            }
            std::uint32_t value = 0;
            for (int channel = 0; channel < 4; ++channel) {
                value |= static_cast<std::uint32_t>((sum[channel] + whole / 2) / whole) << (8 * channel);
            }
            out[static_cast<std::size_t>(y) * static_cast<std::size_t>(newWidth) + static_cast<std::size_t>(x)] = value;
        }
    }
    return out;
}

}  // namespace tavolex
