#pragma once
// FNV-1a, the hash of a text's bytes: for the slots of a table and for short names that must stay
// the same from run to run and machine to machine.

#include <cstdint>
#include <string_view>

namespace tavolex {

[[nodiscard]] constexpr std::uint32_t Fnv1a32(std::string_view bytes) {
    std::uint32_t hash = 2166136261u;
    for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}

[[nodiscard]] constexpr std::uint64_t Fnv1a64(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
}

}  // namespace tavolex
