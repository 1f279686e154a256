#pragma once
// Builds handheld bitmaps for tests: the 16-byte header, the optional colour table and
// direct-colour information, and the pixel data packed and compressed as the handheld does.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tavolex::test {

enum class PalmCompression { kNone, kScanLine, kRunLength, kPackBits };

// The header as stored (every field big-endian). Flags are derived by WritePalmBitmap; give them
// here only for hand-made bitmaps.
struct PalmBitmapHeader {
    std::int16_t width = 0;
    std::int16_t height = 0;
    std::uint16_t rowBytes = 0;
    std::uint16_t flags = 0;
    std::uint8_t pixelSize = 1;
    std::uint8_t version = 2;
    std::uint16_t nextDepthOffset = 0;
    std::uint8_t transparentIndex = 0;
    std::uint8_t compressionType = 0;
};

inline constexpr std::uint16_t kPalmCompressed = 0x8000;
inline constexpr std::uint16_t kPalmHasColourTable = 0x4000;
inline constexpr std::uint16_t kPalmDirectColour = 0x0400;

// The header's 16 bytes followed by body as given.
std::vector<std::uint8_t> PalmBitmapBytes(const PalmBitmapHeader& header, const std::vector<std::uint8_t>& body);

struct PalmBitmapSpec {
    int width = 0;
    int height = 0;
    int depth = 1;                        // 1, 2, 4, 8 or 16
    std::vector<std::uint16_t> pixels{};  // width x height values, row after row
    PalmCompression compression = PalmCompression::kNone;
    std::optional<int> colourTableEntries{};  // a table of this many (made-up) colours
    bool directColour = false;                // 8 bytes of direct-colour information
};

// A whole bitmap; compressed data is preceded by its 16-bit size (which counts itself).
std::vector<std::uint8_t> WritePalmBitmap(const PalmBitmapSpec& layout);

}  // namespace tavolex::test
