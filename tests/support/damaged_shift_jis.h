#pragma once
// Shift-JIS texts holding bytes that are no character, and the UTF-16 every platform's conversion
// gives for them (ICU's on Linux): a byte that starts no character, a pair the code page lacks and
// a lead byte at the end each become one U+FFFD; a lead byte before a byte that can't follow it
// becomes U+FFFD and that byte is read again. The conversion tests and the fuzz seeds share them.

#include <string_view>

namespace tavolex::test {

struct DamagedShiftJis {
    std::string_view name, bytes;
    std::u16string_view utf16;
};

inline constexpr DamagedShiftJis kDamagedShiftJis[] = {{"lead byte at the end", "a\x89", u"a\uFFFD"},
                                                       {"lead byte before a space", "\x81 a", u"\uFFFD a"},
                                                       {"lead byte before a line feed", "\x8b\n\x8b\x63", u"\uFFFD\n議"},
                                                       {"lead byte before 0xFD", "\x81\xfd", u"\uFFFD\uFFFD"},
                                                       {"unassigned pairs", "\x85\x40\xeb\x40|", u"\uFFFD\uFFFD|"},
                                                       {"0x80",
                                                        "\x80"
                                                        "a",
                                                        u"\uFFFDa"},
                                                       {"0xA0 before half-width kana", "\xa0\xdf", u"\uFFFD\uFF9F"},
                                                       {"0xFD to 0xFF", "\xfd\xfe\xff", u"\uFFFD\uFFFD\uFFFD"},
                                                       {"user-defined area (no damage)", "\xf0\x40", u"\uE000"}};

}  // namespace tavolex::test
