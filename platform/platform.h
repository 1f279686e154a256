#pragma once
// The platform seam: what the portable core needs of the operating system, and nothing more.
// platform/win32/ and platform/posix/ implement it; the core never includes a system header.

#include <cstddef>
#include <string>
#include <string_view>

namespace tavolex::platform {

// --- Code page 932 (Shift-JIS as Windows writes it) -------------------------------------------
// Bytes that cannot be converted become '?' (CP932 output) or U+FFFD (Unicode output); the
// conversions never fail and never read past their input.
std::string Cp932ToUtf8(std::string_view cp932);
std::string Utf8ToCp932(std::string_view utf8);
std::u16string Cp932ToUtf16(std::string_view cp932);
std::string Utf16ToCp932(std::u16string_view utf16);

// --- Locale formatting ----------------------------------------------------------------------
// The user's short date and time, as CP932 text. Both return an empty text when the platform's
// formatter rejects the value; callers validate first and supply their own fallback.
std::string FormatShortDate(int year, int month, int day);
std::string FormatTimeOfDay(int hour, int minute, int second);

// --- Debug-output channel -------------------------------------------------------------------
// Windows: OutputDebugStringA. POSIX: the file named by TAVOLEX_TRACE ("-" for stderr), nothing
// when it is unset.
class DebugChannel {
public:
    virtual ~DebugChannel() = default;
    // False when nothing can receive the output, so callers may skip formatting it.
    [[nodiscard]] virtual bool Listening() const = 0;
    virtual void Write(const char* piece) = 0;
};

// The process's own channel; lives for the whole run.
DebugChannel& SystemDebugChannel();

}  // namespace tavolex::platform
