#pragma once
// A Palm Desktop folder at full capacity for the benchmarks and scripts/bench-cli.

#include <filesystem>

namespace tavolex::bench {

// Writes palmFolder/Large/Tavolex: 65,520 meetings with titles and locations in Japanese, each
// with one agenda item, note, to-do, sketch and attendee. The sketches have a title only, or with
// sketchPictures a 160 x 160 picture (2 bits per pixel, scan-line compressed, as the handheld draws
// them) for the export benchmarks.
void WriteLargeStore(const std::filesystem::path& palmFolder, bool sketchPictures = false);

}  // namespace tavolex::bench
