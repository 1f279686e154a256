#pragma once
// CLI11 with the one conversion of its own the command line needs: a path named on the command line
// is UTF-8 on every system (on Windows, the wide command line made UTF-8) and is read as UTF-8,
// where a plain path would read it in the C library's narrow encoding (byte for byte on Windows).
// Every file of the command line includes CLI11 through this header.

#include <filesystem>
#include <string>

namespace CLI::detail {

// Declared before CLI11's own conversions, which find it first for a path.
inline bool lexical_cast(const std::string& input, std::filesystem::path& output) {
    output = std::filesystem::path(std::u8string(input.begin(), input.end()));
    return true;
}

}  // namespace CLI::detail

#include <CLI/CLI.hpp>
