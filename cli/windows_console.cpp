#include "cli/windows_console.h"

#include <shellapi.h>

namespace tavolex::cli {
namespace {

std::string Utf8(const wchar_t* wide) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string text(static_cast<std::size_t>(size - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
    return text;
}

// The length of the text's whole UTF-8 characters: a lead byte at the end whose following bytes
// have not come yet is left out.
std::size_t WholeCharacters(const std::string& text) {
    std::size_t start = text.size();
    while (start > 0 && text.size() - start < 3 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80)
        --start;
    if (start == 0) return text.size();
    const auto lead = static_cast<unsigned char>(text[start - 1]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return start - 1 + length > text.size() ? start - 1 : text.size();
}

}  // namespace

std::vector<std::string> Utf8Arguments() {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; wide != nullptr && i < count; ++i) arguments.push_back(Utf8(wide[i]));
    if (wide != nullptr) LocalFree(wide);
    return arguments;
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

int ConsoleBuffer::overflow(int c) {
    if (c == traits_type::eof()) return traits_type::not_eof(c);
    pending_ += traits_type::to_char_type(c);
    if (c == '\n') Write();
    return c;
}

std::streamsize ConsoleBuffer::xsputn(const char* bytes, std::streamsize count) {
    pending_.append(bytes, static_cast<std::size_t>(count));
    if (pending_.find('\n') != std::string::npos || pending_.size() >= 4096) Write();
    return count;
}

int ConsoleBuffer::sync() {
    Write();
    return 0;
}

void ConsoleBuffer::Write() {
    const std::size_t whole = WholeCharacters(pending_);
    if (whole == 0) return;
    const int size = MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(whole), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(whole), wide.data(), size);
    DWORD written = 0;
    WriteConsoleW(console_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    pending_.erase(0, whole);
}

}  // namespace tavolex::cli
