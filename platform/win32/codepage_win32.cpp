#include "platform/platform.h"

#include "base/shift_jis.h"

#include <windows.h>

#include <climits>

namespace tavolex::platform {
namespace {

constexpr UINT kCodePage932 = 932;
constexpr wchar_t kReplacement = 0xFFFD;

std::wstring ToWide(UINT codePage, std::string_view text, DWORD flags = 0) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int n = MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

// 0x80, 0xA0 and 0xFD-0xFF are no Shift-JIS characters, yet Windows' table gives them U+0080 and
// private-use characters rather than an error.
bool IsUnmappedSingle(unsigned char b) { return b == 0x80 || b == 0xA0 || b >= 0xFD; }
constexpr wchar_t kUnmappedSingles[] = {0x0080, 0xF8F0, 0xF8F1, 0xF8F2, 0xF8F3, 0};

// Without MB_ERR_INVALID_CHARS a stray lead byte becomes '・' and takes the byte after it along, so
// damage is neither marked nor counted. A text with any damage is walked a character at a time
// instead, substituting as ICU does on Linux: a byte that starts no character, a pair the table
// lacks and a lead byte at the end each become one U+FFFD; a lead byte before a byte that can't
// follow it becomes U+FFFD and that byte is read again.
std::wstring Cp932ToWide(std::string_view text) {
    std::wstring strict = ToWide(kCodePage932, text, MB_ERR_INVALID_CHARS);
    if (!strict.empty() && strict.find_first_of(kUnmappedSingles) == std::wstring::npos) return strict;
    std::wstring out;
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const bool pair = Cp932CharWidth(text, i, TrailRule::kTrailByteOnly) == 2;
        const std::size_t length = pair ? 2 : 1;
        const std::wstring character = (IsCp932LeadByte(b) && !pair) || IsUnmappedSingle(b)
                                           ? std::wstring()
                                           : ToWide(kCodePage932, text.substr(i, length), MB_ERR_INVALID_CHARS);
        out += character.empty() ? std::wstring(1, kReplacement) : character;
        i += length;
    }
    return out;
}

std::string FromWide(UINT codePage, std::wstring_view text) {
    if (text.empty() || text.size() > INT_MAX / 4) return {};
    const int n =
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace

std::u16string Cp932ToUtf16(std::string_view cp932) {
    const std::wstring wide = Cp932ToWide(cp932);
    return std::u16string(wide.begin(), wide.end());
}

std::string Utf16ToCp932(std::u16string_view utf16) {
    return FromWide(kCodePage932, std::wstring(utf16.begin(), utf16.end()));
}

std::string Cp932ToUtf8(std::string_view cp932) { return FromWide(CP_UTF8, Cp932ToWide(cp932)); }

std::string Utf8ToCp932(std::string_view utf8) { return FromWide(kCodePage932, ToWide(CP_UTF8, utf8)); }

}  // namespace tavolex::platform
