#include "platform/platform.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <memory>

namespace tavolex::platform {
namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using UniqueConverter = std::unique_ptr<UConverter, ConverterCloser>;

// ICU's "windows-932" table is Microsoft's code page 932 (0x5C is the backslash, 0x8160 is
// U+FF5E), which is what the handheld conduit and Palm Desktop write.
UniqueConverter OpenCp932() {
    UErrorCode status = U_ZERO_ERROR;
    UniqueConverter converter(ucnv_open("windows-932", &status));
    if (U_FAILURE(status)) return nullptr;
    ucnv_setSubstChars(converter.get(), "?", 1, &status);
    return converter;
}

}  // namespace

std::u16string Cp932ToUtf16(std::string_view cp932) {
    if (cp932.empty()) return {};
    UniqueConverter converter = OpenCp932();
    if (!converter) return {};
    // Every CP932 byte yields at most one UTF-16 unit.
    std::u16string out(cp932.size() + 1, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = ucnv_toUChars(converter.get(), out.data(), static_cast<int32_t>(out.size()), cp932.data(),
                                    static_cast<int32_t>(cp932.size()), &status);
    if (U_FAILURE(status)) return {};
    out.resize(static_cast<std::size_t>(n));
    return out;
}

std::string Utf16ToCp932(std::u16string_view utf16) {
    if (utf16.empty()) return {};
    UniqueConverter converter = OpenCp932();
    if (!converter) return {};
    // Every UTF-16 unit yields at most two CP932 bytes.
    std::string out(utf16.size() * 2 + 1, '\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = ucnv_fromUChars(converter.get(), out.data(), static_cast<int32_t>(out.size()), utf16.data(),
                                      static_cast<int32_t>(utf16.size()), &status);
    if (U_FAILURE(status)) return {};
    out.resize(static_cast<std::size_t>(n));
    return out;
}

std::string Cp932ToUtf8(std::string_view cp932) {
    const std::u16string wide = Cp932ToUtf16(cp932);
    if (wide.empty()) return {};
    std::string out(wide.size() * 3 + 1, '\0');
    int32_t n = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &n, wide.data(), static_cast<int32_t>(wide.size()),
                       0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) return {};
    out.resize(static_cast<std::size_t>(n));
    return out;
}

std::string Utf8ToCp932(std::string_view utf8) {
    if (utf8.empty()) return {};
    std::u16string wide(utf8.size() + 1, u'\0');
    int32_t n = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(wide.data(), static_cast<int32_t>(wide.size()), &n, utf8.data(),
                         static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) return {};
    wide.resize(static_cast<std::size_t>(n));
    return Utf16ToCp932(wide);
}

}  // namespace tavolex::platform
