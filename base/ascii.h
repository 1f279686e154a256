#pragma once
// ASCII case folding: only 'A'...'Z' and 'a'...'z' change, so the bytes of Shift-JIS and UTF-8
// characters pass through untouched.

#include <cstddef>
#include <string>
#include <string_view>

namespace tavolex {

[[nodiscard]] constexpr char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
[[nodiscard]] constexpr char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

[[nodiscard]] inline std::string LowerAsciiText(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = LowerAscii(c);
    return lower;
}

[[nodiscard]] constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

}  // namespace tavolex
