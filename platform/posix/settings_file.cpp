#include "platform/posix/settings_file.h"

#include "base/shift_jis.h"
#include "base/ascii.h"

#include <cstdio>

namespace tavolex::platform::posix {
namespace {

constexpr std::string_view kDwordPrefix = "dword:";
constexpr char kHexDigits[] = "0123456789ABCDEF";

bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendEscaped(std::string& out, unsigned char b) {
    out += '%';
    out += kHexDigits[b >> 4];
    out += kHexDigits[b & 0x0F];
}

// The length of the CP932 character at the start of text (1 or 2 bytes).
std::size_t CharLength(std::string_view text) { return Cp932CharWidth(text, 0, TrailRule::kTrailByteOnly); }

// A run of literal text must be UTF-8 of characters that CP932 holds exactly.
bool AppendLiteralRun(std::string_view utf8, std::string& cp932) {
    if (utf8.empty()) return true;
    for (const char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) return false;
    }
    const std::string converted = Utf8ToCp932(utf8);
    if (converted.empty() || Cp932ToUtf8(converted) != utf8) return false;
    cp932 += converted;
    return true;
}

bool ParseDword(std::string_view digits, std::uint32_t& number) {
    if (digits.size() != 8) return false;
    std::uint32_t value = 0;
    for (const char c : digits) {
        const int v = HexValue(c);
        if (v < 0) return false;
        value = (value << 4) | static_cast<std::uint32_t>(v);
    }
    number = value;
    return true;
}

bool ParseValueLine(std::string_view line, SettingsValue& value) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    if (!UnescapeSettingsText(line.substr(0, equals), value.name)) return false;
    const std::string_view rest = line.substr(equals + 1);
    if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') {
        value.isDword = false;
        return UnescapeSettingsText(rest.substr(1, rest.size() - 2), value.text);
    }
    if (rest.substr(0, kDwordPrefix.size()) == kDwordPrefix) {
        value.isDword = true;
        return ParseDword(rest.substr(kDwordPrefix.size()), value.number);
    }
    // A text written by hand without its quotes ("Path=/home/me/Palm") is the text as it stands,
    // not a line to drop; the next rewrite quotes it.
    if (rest.empty() || rest.front() == '"' || rest.back() == '"') return false;
    value.isDword = false;
    return UnescapeSettingsText(rest, value.text);
}

}  // namespace

std::string NormalizeKeyPath(std::string_view path) {
    std::string out;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find_first_of("\\/", start);
        if (end == std::string_view::npos) end = path.size();
        if (end > start) {
            if (!out.empty()) out += '\\';
            out += path.substr(start, end - start);
        }
        start = end + 1;
    }
    return out;
}

SettingsSection* SettingsDocument::Find(std::string_view path) {
    for (SettingsSection& s : sections) {
        if (EqualsIgnoringAsciiCase(s.path, path)) return &s;
    }
    return nullptr;
}

const SettingsSection* SettingsDocument::Find(std::string_view path) const {
    return const_cast<SettingsDocument*>(this)->Find(path);
}

SettingsSection& SettingsDocument::FindOrAdd(std::string_view path) {
    if (SettingsSection* s = Find(path)) return *s;
    sections.push_back(SettingsSection{std::string(path), {}});
    return sections.back();
}

bool SettingsDocument::KeyExists(std::string_view path) const {
    if (path.empty()) return true;
    const std::string below = std::string(path) + '\\';
    for (const SettingsSection& s : sections) {
        if (EqualsIgnoringAsciiCase(s.path, path) || StartsWithIgnoringAsciiCase(s.path, below)) return true;
    }
    return false;
}

std::vector<std::string> SettingsDocument::Subkeys(std::string_view path) const {
    const std::string below = path.empty() ? std::string() : std::string(path) + '\\';
    std::vector<std::string> names;
    for (const SettingsSection& s : sections) {
        if (s.path.size() <= below.size() || !StartsWithIgnoringAsciiCase(s.path, below)) continue;
        std::string_view child = std::string_view(s.path).substr(below.size());
        child = child.substr(0, child.find('\\'));
        bool known = false;
        for (const std::string& name : names) known = known || EqualsIgnoringAsciiCase(name, child);
        if (!known) names.emplace_back(child);
    }
    return names;
}

SettingsValue* FindValue(SettingsSection& section, std::string_view name) {
    for (SettingsValue& v : section.values) {
        if (EqualsIgnoringAsciiCase(v.name, name)) return &v;
    }
    return nullptr;
}

const SettingsValue* FindValue(const SettingsSection& section, std::string_view name) {
    return FindValue(const_cast<SettingsSection&>(section), name);
}

std::string EscapeSettingsText(std::string_view cp932, std::string_view extra) {
    std::string out;
    std::size_t i = 0;
    while (i < cp932.size()) {
        const auto b = static_cast<unsigned char>(cp932[i]);
        if (b < 0x80) {
            const bool plain =
                b >= 0x20 && b != 0x7F && b != '%' && extra.find(static_cast<char>(b)) == std::string_view::npos;
            if (plain) {
                out += static_cast<char>(b);
            } else {
                AppendEscaped(out, b);
            }
            ++i;
            continue;
        }
        const std::size_t length = CharLength(cp932.substr(i));
        const std::string_view character = cp932.substr(i, length);
        const std::string utf8 = Cp932ToUtf8(character);
        bool literal = !utf8.empty() && Utf8ToCp932(utf8) == character;
        for (const char c : utf8) {
            const auto u = static_cast<unsigned char>(c);
            literal = literal && u >= 0x20 && u != 0x7F;
        }
        if (literal) {
            out += utf8;
        } else {
            for (const char c : character) AppendEscaped(out, static_cast<unsigned char>(c));
        }
        i += length;
    }
    return out;
}

bool UnescapeSettingsText(std::string_view text, std::string& cp932) {
    std::string out;
    std::size_t runStart = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '%') {
            ++i;
            continue;
        }
        if (!AppendLiteralRun(text.substr(runStart, i - runStart), out)) return false;
        const int high = i + 1 < text.size() ? HexValue(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? HexValue(text[i + 2]) : -1;
        if (high < 0 || low < 0) return false;
        out += static_cast<char>((high << 4) | low);
        i += 3;
        runStart = i;
    }
    if (!AppendLiteralRun(text.substr(runStart), out)) return false;
    cp932 = std::move(out);
    return true;
}

ParsedSettings ParseSettingsFile(std::string_view bytes) {
    ParsedSettings result;
    std::size_t current = SIZE_MAX;  // index of the section the value lines belong to
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t end = bytes.find('\n', pos);
        if (end == std::string_view::npos) {
            // A last line without its line end was cut off; its value may be cut too.
            result.damaged = true;
            break;
        }
        std::string_view line = bytes.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        if (line.front() == '[') {
            std::string path;
            if (line.size() < 2 || line.back() != ']' || !UnescapeSettingsText(line.substr(1, line.size() - 2), path)) {
                result.damaged = true;
                current = SIZE_MAX;
                continue;
            }
            SettingsSection& section = result.document.FindOrAdd(NormalizeKeyPath(path));
            current = static_cast<std::size_t>(&section - result.document.sections.data());
            continue;
        }
        SettingsValue value;
        if (current == SIZE_MAX || !ParseValueLine(line, value)) {
            result.damaged = true;
            continue;
        }
        SettingsSection& section = result.document.sections[current];
        if (FindValue(section, value.name) != nullptr) {
            // Two values of one name: keep the first, and keep the file's copy before rewriting it.
            result.damaged = true;
            continue;
        }
        section.values.push_back(std::move(value));
    }
    return result;
}

std::string SerializeSettingsFile(const SettingsDocument& document) {
    std::string out;
    for (const SettingsSection& section : document.sections) {
        if (!out.empty()) out += '\n';
        out += '[';
        out += EscapeSettingsText(section.path, "[]");
        out += "]\n";
        for (const SettingsValue& value : section.values) {
            out += EscapeSettingsText(value.name, "=[]\"");
            out += '=';
            if (value.isDword) {
                char digits[16];
                std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(value.number));
                out += kDwordPrefix;
                out += digits;
            } else {
                out += '"';
                out += EscapeSettingsText(value.text, "");
                out += '"';
            }
            out += '\n';
        }
    }
    return out;
}

}  // namespace tavolex::platform::posix
