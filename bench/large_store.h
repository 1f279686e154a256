#pragma once
// A Palm Desktop folder at full capacity for the benchmarks and scripts/bench-cli.

#include <filesystem>

namespace tavolex::bench {

// Writes palmFolder/Large/Tavolex: 65,520 meetings with titles and locations in Japanese, each
// with one agenda item, note, to-do, sketch (a title, no picture) and attendee.
void WriteLargeStore(const std::filesystem::path& palmFolder);

}  // namespace tavolex::bench
