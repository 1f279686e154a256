#include "tests/support/palm_bitmap_writer.h"

#include <algorithm>

namespace tavolex::test {
namespace {

void PutU16Be(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

std::size_t DefaultRowBytes(int width, int depth) {
    const std::size_t bits = static_cast<std::size_t>(width) * static_cast<std::size_t>(depth);
    return (bits + 15) / 16 * 2;
}

void Append(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

}  // namespace

std::vector<std::uint8_t> PalmBitmapBytes(const PalmBitmapHeader& header, const std::vector<std::uint8_t>& body) {
    std::vector<std::uint8_t> out;
    PutU16Be(out, static_cast<std::uint16_t>(header.width));
    PutU16Be(out, static_cast<std::uint16_t>(header.height));
    PutU16Be(out, header.rowBytes);
    PutU16Be(out, header.flags);
    out.push_back(header.pixelSize);
    out.push_back(header.version);
    PutU16Be(out, header.nextDepthOffset);
    out.push_back(header.transparentIndex);
    out.push_back(header.compressionType);
    PutU16Be(out, 0);  // reserved
    Append(out, body);
    return out;
}

std::vector<std::uint8_t> PackPalmRow(std::span<const std::uint16_t> pixels, int depth, std::size_t rowBytes) {
    std::vector<std::uint8_t> row(rowBytes, 0);
    std::size_t bit = 0;
    for (const std::uint16_t value : pixels) {
        if (depth == 16) {
            if (bit / 8 + 1 < row.size()) {
                row[bit / 8] = static_cast<std::uint8_t>(value >> 8);
                row[bit / 8 + 1] = static_cast<std::uint8_t>(value);
            }
        } else if (bit / 8 < row.size()) {
            const unsigned mask = (1u << depth) - 1u;
            const unsigned shift = 8u - static_cast<unsigned>(depth) - static_cast<unsigned>(bit % 8);
            row[bit / 8] = static_cast<std::uint8_t>(row[bit / 8] | (value & mask) << shift);
        }
        bit += static_cast<std::size_t>(depth);
    }
    return row;
}

std::vector<std::uint8_t> ScanLineRow(std::span<const std::uint8_t> row, std::span<const std::uint8_t> previousRow) {
    std::vector<std::uint8_t> out;
    for (std::size_t start = 0; start < row.size(); start += 8) {
        const std::size_t end = std::min(start + 8, row.size());
        std::uint8_t flags = 0;
        std::vector<std::uint8_t> fresh;
        for (std::size_t i = start; i < end; ++i) {
            if (row[i] == previousRow[i]) continue;
            flags = static_cast<std::uint8_t>(flags | 0x80u >> (i - start));
            fresh.push_back(row[i]);
        }
        out.push_back(flags);
        Append(out, fresh);
    }
    return out;
}

std::vector<std::uint8_t> RunLengthRow(std::span<const std::uint8_t> row) {
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < row.size();) {
        std::size_t run = 1;
        while (i + run < row.size() && run < 255 && row[i + run] == row[i]) ++run;
        out.push_back(static_cast<std::uint8_t>(run));
        out.push_back(row[i]);
        i += run;
    }
    return out;
}

// Runs of 2 ... 128 equal bytes as (1 - n, value); other bytes as (n - 1, n literal bytes).
std::vector<std::uint8_t> PackBitsRow(std::span<const std::uint8_t> row) {
    std::vector<std::uint8_t> out;
    std::size_t i = 0;
    while (i < row.size()) {
        std::size_t run = 1;
        while (i + run < row.size() && run < 128 && row[i + run] == row[i]) ++run;
        if (run >= 2) {
            out.push_back(static_cast<std::uint8_t>(1 - static_cast<int>(run)));
            out.push_back(row[i]);
            i += run;
            continue;
        }
        std::size_t literal = 1;
        while (i + literal < row.size() && literal < 128 &&
               (i + literal + 1 >= row.size() || row[i + literal] != row[i + literal + 1])) {
            ++literal;
        }
        out.push_back(static_cast<std::uint8_t>(literal - 1));
        Append(out, row.subspan(i, literal));
        i += literal;
    }
    return out;
}

std::vector<std::uint8_t> WritePalmBitmap(const PalmBitmapSpec& layout) {
    const std::size_t rowBytes = layout.rowBytes ? *layout.rowBytes : DefaultRowBytes(layout.width, layout.depth);
    PalmBitmapHeader header;
    header.width = static_cast<std::int16_t>(layout.width);
    header.height = static_cast<std::int16_t>(layout.height);
    header.rowBytes = static_cast<std::uint16_t>(rowBytes);
    header.pixelSize = static_cast<std::uint8_t>(layout.depth);
    std::vector<std::uint8_t> body;
    if (layout.colourTableEntries) {
        header.flags |= kPalmHasColourTable;
        PutU16Be(body, static_cast<unsigned>(*layout.colourTableEntries));
        for (int i = 0; i < *layout.colourTableEntries; ++i) {
            const std::uint8_t entry[4] = {static_cast<std::uint8_t>(i), 0x12, 0x34, 0x56};
            Append(body, entry);
        }
    }
    if (layout.directColour) {
        header.flags |= kPalmDirectColour;
        const std::uint8_t info[8] = {5, 6, 5, 0, 0, 0, 0, 0};  // bits of red, green, blue; no transparency
        Append(body, info);
    }

    std::vector<std::uint8_t> data;
    std::vector<std::uint8_t> previous(rowBytes, 0);
    const std::span<const std::uint16_t> pixels(layout.pixels);
    for (int y = 0; y < layout.height; ++y) {
        const std::size_t first = static_cast<std::size_t>(y) * static_cast<std::size_t>(layout.width);
        const std::vector<std::uint8_t> row =
            PackPalmRow(pixels.subspan(first, static_cast<std::size_t>(layout.width)), layout.depth, rowBytes);
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
