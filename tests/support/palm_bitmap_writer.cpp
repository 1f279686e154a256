#include "tests/support/palm_bitmap_writer.h"

#include <algorithm>

namespace tavolex::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

void PutU16Be(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

void Append(Bytes& out, std::span<const std::uint8_t> bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }

// One row of pixel values, most significant bits first, padded with zero bits to rowBytes.
Bytes PackRow(std::span<const std::uint16_t> pixels, int depth, std::size_t rowBytes) {
    Bytes row(rowBytes, 0);
    std::size_t bit = 0;
    for (const std::uint16_t value : pixels) {
        const std::size_t at = bit / 8;
        bit += static_cast<std::size_t>(depth);
        if (depth == 16 && at + 1 < row.size()) {
            row[at] = static_cast<std::uint8_t>(value >> 8);
            row[at + 1] = static_cast<std::uint8_t>(value);
        } else if (depth < 16 && at < row.size()) {
            const unsigned shift = 8u - static_cast<unsigned>(bit - at * 8);
            row[at] = static_cast<std::uint8_t>(row[at] | (value & ((1u << depth) - 1u)) << shift);
        }
    }
    return row;
}

// The length of the run of bytes equal to row[i], at most limit.
std::size_t RunAt(std::span<const std::uint8_t> row, std::size_t i, std::size_t limit) {
    std::size_t run = 1;
    while (i + run < row.size() && run < limit && row[i + run] == row[i]) ++run;
    return run;
}

// Per 8 bytes a flag byte (a bit for each byte that differs from the row before), then those bytes.
Bytes ScanLineRow(std::span<const std::uint8_t> row, std::span<const std::uint8_t> previousRow) {
    Bytes out;
    for (std::size_t start = 0; start < row.size(); start += 8) {
        out.push_back(0);
        const std::size_t flags = out.size() - 1;
        for (std::size_t i = start; i < std::min(start + 8, row.size()); ++i) {
            if (row[i] == previousRow[i]) continue;
            out[flags] = static_cast<std::uint8_t>(out[flags] | 0x80u >> (i - start));
            out.push_back(row[i]);
        }
    }
    return out;
}

// (count, value) pairs of up to 255 equal bytes.
Bytes RunLengthRow(std::span<const std::uint8_t> row) {
    Bytes out;
    for (std::size_t i = 0, run = 0; i < row.size(); i += run) {
        run = RunAt(row, i, 255);
        out.push_back(static_cast<std::uint8_t>(run));
        out.push_back(row[i]);
    }
    return out;
}

// Runs of 2 ... 128 equal bytes as (1 - n, value); other bytes as (n - 1, n literal bytes).
Bytes PackBitsRow(std::span<const std::uint8_t> row) {
    Bytes out;
    for (std::size_t i = 0, run = 0; i < row.size(); i += run) {
        run = RunAt(row, i, 128);
        if (run >= 2) {
            out.push_back(static_cast<std::uint8_t>(1 - static_cast<int>(run)));
            out.push_back(row[i]);
            continue;
        }
        while (i + run < row.size() && run < 128 && (i + run + 1 >= row.size() || row[i + run] != row[i + run + 1])) {
            ++run;
        }
        out.push_back(static_cast<std::uint8_t>(run - 1));
        Append(out, row.subspan(i, run));
    }
    return out;
}

}  // namespace

Bytes PalmBitmapBytes(const PalmBitmapHeader& header, const Bytes& body) {
    Bytes out;
    for (const int value : {int{header.width}, int{header.height}, int{header.rowBytes}, int{header.flags}}) {
        PutU16Be(out, static_cast<unsigned>(value));
    }
    Append(out, Bytes{header.pixelSize, header.version});
    PutU16Be(out, header.nextDepthOffset);
    Append(out, Bytes{header.transparentIndex, header.compressionType, 0, 0});  // the last two reserved
    Append(out, body);
    return out;
}

Bytes WritePalmBitmap(const PalmBitmapSpec& layout) {
    const std::size_t rowBytes = (layout.width * layout.depth + 15) / 16 * 2;  // the packed row rounded up to even
    PalmBitmapHeader header{.width = static_cast<std::int16_t>(layout.width),
                            .height = static_cast<std::int16_t>(layout.height),
                            .rowBytes = static_cast<std::uint16_t>(rowBytes),
                            .pixelSize = static_cast<std::uint8_t>(layout.depth)};
    Bytes body;
    if (layout.colourTableEntries) {
        header.flags |= kPalmHasColourTable;
        PutU16Be(body, static_cast<unsigned>(*layout.colourTableEntries));
        for (int i = 0; i < *layout.colourTableEntries; ++i) {
            Append(body, Bytes{static_cast<std::uint8_t>(i), 0x12, 0x34, 0x56});
        }
    }
    if (layout.directColour) {
        header.flags |= kPalmDirectColour;
        Append(body, Bytes{5, 6, 5, 0, 0, 0, 0, 0});  // bits of red, green, blue; no transparency
    }
    Bytes data;
    Bytes previous(rowBytes, 0);
    for (int y = 0; y < layout.height; ++y) {
        const auto width = static_cast<std::size_t>(layout.width);
        const auto pixels = std::span(layout.pixels).subspan(static_cast<std::size_t>(y) * width, width);
        const Bytes row = PackRow(pixels, layout.depth, rowBytes);
        switch (layout.compression) {
            case PalmCompression::kNone: Append(data, row); break;
            case PalmCompression::kScanLine: Append(data, ScanLineRow(row, previous)); break;
            case PalmCompression::kRunLength: Append(data, RunLengthRow(row)); break;
            case PalmCompression::kPackBits: Append(data, PackBitsRow(row)); break;
        }
        previous = row;
    }
    if (layout.compression != PalmCompression::kNone) {
        header.flags |= kPalmCompressed;
        header.compressionType = static_cast<std::uint8_t>(static_cast<int>(layout.compression) - 1);
        PutU16Be(body, static_cast<unsigned>(data.size() + 2));
    }
    Append(body, data);
    return PalmBitmapBytes(header, body);
}

}  // namespace tavolex::test
