#pragma once
// What every fuzz target shares: a private scratch folder for the readers that take paths, whole-file
// writes (the tests' writer), the split of one input into several files, and a quiet trace.

#include "tests/support/temp_dir.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

namespace tavolex::fuzz {

// A folder of this process only, under /dev/shm when there is one (no disk traffic per input),
// made on first use and removed at exit.
const std::filesystem::path& ScratchFolder();

// Replaces the file with exactly these bytes: the tests' own writer.
using test::WriteFileBytes;

// The input as text.
inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The parts of a packed input: the bytes between separators, at most maxParts (the last part keeps
// the rest, separators and all). The seed generator packs files with the same separator.
inline constexpr std::string_view kPartSeparator = "\n--tavolex-part--\n";
std::vector<std::string_view> SplitParts(std::string_view input, std::size_t maxParts);

// Turns the trace off: the fuzzers would otherwise spend their time writing it.
void QuietTrace();

}  // namespace tavolex::fuzz
