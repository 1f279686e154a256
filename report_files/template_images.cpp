#include "report_files/template_images.h"

#include "base/shift_jis.h"
#include "platform/file_system.h"
#include "report/template_scanner.h"
#include "base/trace.h"

#include <optional>
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
    return Cp932CharWidth(text, i, TrailRule::kTrailByteOnly);
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

// Whether a reference starts with a drive ("C:"), which no folder of the template's tree has.
bool NamesDrive(std::string_view reference) {
    return reference.size() >= 2 && reference[1] == ':' && !IsCp932LeadByte(static_cast<std::uint8_t>(reference[0]));
}

// The reference below the folder it is read from: a leading separator stands for the folder's top.
std::string_view BelowFolderTop(std::string_view reference) {
    return !reference.empty() && IsSeparator(reference[0]) ? reference.substr(1) : reference;
}

// A reference at a drive's root names the template author's own file, copied as the system finds
// it; where no drive names a file it is left alone.
std::optional<std::string> HandleDriveReference(std::string_view value, const std::filesystem::path& outputFolder) {
    const std::string_view fileName = value.substr(AfterLastSeparator(value));
    const std::optional<std::filesystem::path> source = platform::PathOnDrive(value);
    if (!source || fileName.empty() || fileName == "." || fileName == "..") {
        Trace("Picture reference left alone, no file of this system: %s", std::string(value).c_str());
        return std::nullopt;
    }
    CopyOver(*source, InFolder(outputFolder, fileName));
    return std::string(fileName);
}

// Copies the picture of one reference and returns the reference text to write; nothing when the
// reference is left alone.
std::optional<std::string> HandleReference(std::string_view value, const std::filesystem::path& templateFolder,
                                           const std::filesystem::path& outputFolder) {
    const std::string name = DecodeSpaces(value);
    if (NamesDrive(name)) return HandleDriveReference(value, outputFolder);
    // A bare name is read by its decoded name and kept as written; any other reference is read
    // as written and cut to its file name.
    const bool bare = !HasSeparatorAfterFirst(value);
    const std::optional<std::filesystem::path> source =
        InFolderTree(templateFolder, bare ? std::string_view(name) : value);
    if (!source) {
        Trace("Picture reference left alone, outside the template folder: %s", name.c_str());
        return std::nullopt;
    }
    if (bare) {
        CopyOver(*source, InFolder(outputFolder, std::string_view(name).substr(AfterLastSeparator(name))));
        return std::string(value);
    }
    const std::string_view fileName = value.substr(AfterLastSeparator(value));
    CopyOver(*source, InFolder(outputFolder, fileName));
    return std::string(fileName);
}

// Whether any byte of [begin, end] lies in a span; spans are passed in order, and `next` keeps the
// first span that may still matter as begin grows.
bool TouchesSpan(const InsertedSpans& spans, std::size_t& next, std::size_t begin, std::size_t end) {
    while (next < spans.size() && spans[next].second <= begin) ++next;
    return next < spans.size() && spans[next].first <= end;
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

bool StaysInFolderTree(std::string_view reference) {
    if (NamesDrive(reference)) return false;
    reference = BelowFolderTop(reference);
    if (reference.empty() || IsSeparator(reference[0])) return false;
    int depth = 0;
    std::string_view component;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= reference.size();) {
        if (i < reference.size() && !IsSeparator(reference[i])) {
            i += CharWidth(reference, i);
            continue;
        }
        component = reference.substr(start, i - start);
        if (component == "..") {
            if (--depth < 0) return false;
        } else if (!component.empty() && component != ".") {
            ++depth;
        }
        start = ++i;
    }
    return !component.empty() && component != "." && component != "..";
}

std::optional<std::filesystem::path> InFolderTree(const std::filesystem::path& folder, std::string_view reference) {
    if (!StaysInFolderTree(reference)) return std::nullopt;
    return InFolder(folder, BelowFolderTop(reference));
}

std::string CollectTemplateImages(std::string_view text, const InsertedSpans& tokenSpans,
                                  const std::filesystem::path& templateFolder,
                                  const std::filesystem::path& outputFolder) {
    std::string out;
    std::size_t copiedUpTo = 0;
    std::size_t handled = 0;
    std::size_t nextSpan = 0;
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
        if (TouchesSpan(tokenSpans, nextSpan, i, valueEnd)) continue;
        const std::optional<std::string> reference =
            HandleReference(text.substr(valueStart, valueEnd - valueStart), templateFolder, outputFolder);
        if (!reference) continue;
        out.append(text.substr(copiedUpTo, valueStart - copiedUpTo));
        out += *reference;
        copiedUpTo = valueEnd;
        ++handled;
    }
    if (handled == 0) return std::string(text);
    out.append(text.substr(copiedUpTo));
    return out;
}

}  // namespace tavolex
