#include "report/template_images.h"

#include "platform/file_system.h"
#include "report/template_scanner.h"

#include <system_error>

namespace tavolex {
namespace {

constexpr std::string_view kSrc = "src=\"";
constexpr std::string_view kBackground = "background=\"";

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Bytes of the character at i: a lead byte takes the next byte only when that byte can end a
// double-byte character (0x40 ... 0xFC but 0x7F), so a '/' after a stray lead byte stays a
// separator and never ends up inside a file name.
std::size_t CharWidth(std::string_view text, std::size_t i) {
    if (!IsLeadByte(static_cast<std::uint8_t>(text[i])) || i + 1 >= text.size()) return 1;
    const auto trail = static_cast<std::uint8_t>(text[i + 1]);
    return trail >= 0x40 && trail <= 0xFC && trail != 0x7F ? 2 : 1;
}

// Whether any separator follows the value's first character.
bool HasSeparatorAfterFirst(std::string_view value) {
    std::size_t i = 0;
    bool first = true;
    while (i < value.size()) {
        if (!first && IsSeparator(value[i])) return true;
        first = false;
        i += CharWidth(value, i);
    }
    return false;
}

void CopyOver(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code ec;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, ec);
}

// Copies the picture of one reference and returns the reference text to write.
std::string HandleReference(std::string_view value, const std::filesystem::path& templateFolder,
                            const std::filesystem::path& outputFolder) {
    if (!HasSeparatorAfterFirst(value)) {
        const std::string name = DecodeSpaces(value);
        CopyOver(InFolder(templateFolder, name), InFolder(outputFolder, name));
        return std::string(value);
    }
    const std::string_view fileName = value.substr(AfterLastSeparator(value));
    const bool hasDrive = value.size() >= 2 && value[1] == ':' && !IsLeadByte(static_cast<std::uint8_t>(value[0]));
    const std::filesystem::path source = hasDrive ? platform::PathFromCp932(value) : InFolder(templateFolder, value);
    CopyOver(source, InFolder(outputFolder, fileName));
    return std::string(fileName);
}

}  // namespace

std::filesystem::path InFolder(const std::filesystem::path& folder, std::string_view cp932Name) {
    using Char = std::filesystem::path::value_type;
    std::filesystem::path path = folder;
    const auto& text = path.native();
    if (!text.empty() && text.back() != Char('/') && text.back() != std::filesystem::path::preferred_separator) {
        path += std::filesystem::path::preferred_separator;
    }
    path += platform::PathFromCp932(cp932Name);
    return path;
}

std::string DecodeSpaces(std::string_view reference) {
    std::string out;
    out.reserve(reference.size());
    for (std::size_t i = 0; i < reference.size();) {
        if (reference.substr(i, 3) == "%20") {
            out += ' ';
            i += 3;
        } else {
            out += reference[i++];
        }
    }
    return out;
}

std::size_t AfterLastSeparator(std::string_view text) {
    std::size_t after = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (IsSeparator(text[i])) after = i + 1;
        i += CharWidth(text, i);
    }
    return after;
}

std::string CollectTemplateImages(std::string_view text, const std::filesystem::path& templateFolder,
                                  const std::filesystem::path& outputFolder) {
    std::string out;
    std::size_t copiedUpTo = 0;
    std::size_t handled = 0;
    for (std::size_t i = 0; i < text.size() && handled < kMaxTemplateImages; ++i) {
        std::size_t valueStart;
        if (text.compare(i, kSrc.size(), kSrc) == 0 && i + kSrc.size() <= text.size()) {
            valueStart = i + kSrc.size();
        } else if (text.compare(i, kBackground.size(), kBackground) == 0 && i + kBackground.size() <= text.size()) {
            valueStart = i + kBackground.size();
        } else {
            continue;
        }
        if (valueStart >= text.size() || text[valueStart] == '"') continue;
        const std::size_t valueEnd = text.find('"', valueStart);
        if (valueEnd == std::string_view::npos) continue;
        const std::string reference =
            HandleReference(text.substr(valueStart, valueEnd - valueStart), templateFolder, outputFolder);
        out.append(text.substr(copiedUpTo, valueStart - copiedUpTo));
        out += reference;
        copiedUpTo = valueEnd;
        ++handled;
    }
    if (handled == 0) return std::string(text);
    out.append(text.substr(copiedUpTo));
    return out;
}

}  // namespace tavolex
