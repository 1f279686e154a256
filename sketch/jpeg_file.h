#pragma once
// A baseline JPEG writer over libjpeg's standard compression interface.

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace tavolex {

class JpegFile {
public:
    // Writes rgb (red, green, blue per pixel, rows top to bottom, no padding) as a baseline JPEG
    // of the given quality. Returns 1 when the file was written, 0 on failure. The picture goes
    // through a new file renamed over path, so a link or a hard-linked copy at path is replaced,
    // never written through, and a failed write leaves path as it was (and is traced: "JpegFile
    // :\nCan't open %s\n"). Width and height must be 1 ... 65500 and rgb must
    // hold width x height x 3 bytes, else nothing is written.
    [[nodiscard]] static int Write(const std::filesystem::path& path, std::span<const std::uint8_t> rgb, int width,
                                   int height, int quality);
    // The same picture's bytes, encoded in memory; empty when the sizes are not valid or the
    // library fails.
    [[nodiscard]] static std::vector<std::uint8_t> Encode(std::span<const std::uint8_t> rgb, int width, int height,
                                                          int quality);
};

}  // namespace tavolex
