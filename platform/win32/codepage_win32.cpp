#include "platform/platform.h"

#include <windows.h>

#include <climits>

namespace tavolex::platform {
namespace {

constexpr UINT kCodePage932 = 932;

std::wstring ToWide(UINT codePage, std::string_view text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string FromWide(UINT codePage, std::wstring_view text) {
    if (text.empty() || text.size() > INT_MAX / 4) return {};
    const int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace

std::u16string Cp932ToUtf16(std::string_view cp932) {
    const std::wstring wide = ToWide(kCodePage932, cp932);
    return std::u16string(wide.begin(), wide.end());
}

std::string Utf16ToCp932(std::u16string_view utf16) {
    return FromWide(kCodePage932, std::wstring(utf16.begin(), utf16.end()));
}

std::string Cp932ToUtf8(std::string_view cp932) { return FromWide(CP_UTF8, ToWide(kCodePage932, cp932)); }

std::string Utf8ToCp932(std::string_view utf8) { return FromWide(kCodePage932, ToWide(CP_UTF8, utf8)); }

}  // namespace tavolex::platform
