#include "export/markdown_text.h"

#include <cstdint>
#include <cstdio>

namespace tavolex {
namespace {

// The code point of a UTF-8 sequence of 3 bytes.
std::uint32_t CodePoint(std::string_view s) { return ((s[0] & 0x0Fu) << 12) | ((s[1] & 0x3Fu) << 6) | (s[2] & 0x3Fu); }

// Anywhere in a line: CommonMark's inline markup, raw HTML and entities, and the markup notes apps
// add (tags, highlights, comments, math, tables, block ids). Every ASCII punctuation character may
// be escaped with a backslash in CommonMark and shows as itself.
bool EscapedAnywhere(char c) { return std::string_view("\\`*_[]<>#&%$~|=^").find(c) != std::string_view::npos; }

// One line of text as inline Markdown: control characters as spaces, the start of the line kept
// from opening a block (a list, a heading, a quote, code), markup characters escaped.
void AppendLine(std::string& out, std::string_view line) {
    std::size_t i = 0;
    // Leading white space would make code of the line: the first one is a reference instead.
    if (!line.empty() && (line[0] == ' ' || line[0] == '\t' || static_cast<unsigned char>(line[0]) < 0x20)) {
        out += "&#32;";
        i = 1;
    } else if (!line.empty() && (line[0] == '-' || line[0] == '+')) {
        out += '\\';
    } else {
        // "1." and "1)" open an ordered list.
        std::size_t digits = 0;
        while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
        if (digits > 0 && digits < line.size() && (line[digits] == '.' || line[digits] == ')')) {
            out.append(line.substr(0, digits)).append("\\");
            i = digits;
        }
    }
    for (; i < line.size(); ++i) {
        const char c = line[i];
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            out += ' ';
        } else if (EscapedAnywhere(c)) {
            out += '\\';
            out += c;
        } else {
            out += c;
        }
    }
}

// A link's destination to a file of the vault: angle brackets take the spaces of a name; '%' is
// encoded so that no reader decodes a name's own "%20".
std::string Destination(std::string_view relative) {
    std::string out = "<";
    for (const char c : relative) out += c == '%' ? std::string("%25") : std::string(1, c);
    return out + ">";
}

}  // namespace

std::string MarkdownText(std::string_view utf8, std::string_view indent, bool oneLine) {
    std::string lines;
    lines.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r') {
            lines += '\n';
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
        } else {
            lines += utf8[i];
        }
    }
    while (!lines.empty() && lines.back() == '\n') lines.pop_back();
    std::string out;
    out.reserve(lines.size() + 16);
    std::size_t start = 0;
    for (bool first = true;; first = false) {
        const std::size_t end = lines.find('\n', start);
        if (!first) out += oneLine ? std::string(" ") : "\\\n" + std::string(indent);
        AppendLine(out, std::string_view(lines).substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return out;
}

std::string MarkdownLink(std::string_view utf8Text, std::string_view relative) {
    return "[" + MarkdownText(utf8Text, "", true) + "](" + Destination(relative) + ")";
}

std::string YamlString(std::string_view utf8) {
    std::string out = "\"";
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto u = static_cast<unsigned char>(utf8[i]);
        const std::string_view rest = utf8.substr(i);
        char escape[12];
        if (u == '"' || u == '\\') {
            out += '\\';
            out += utf8[i];
        } else if (u == '\n' || u == '\r' || u == '\t') {
            out += u == '\n' ? "\\n" : u == '\r' ? "\\r" : "\\t";
        } else if (u < 0x20 || u == 0x7F) {
            std::snprintf(escape, sizeof escape, "\\x%02X", u);
            out += escape;
        } else if (u == 0xC2 && rest.size() > 1 && static_cast<unsigned char>(rest[1]) < 0xA0) {
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(rest[1]));  // C1 controls
            out += escape;
            ++i;
        } else if (rest.starts_with("\xE2\x80\xA8") || rest.starts_with("\xE2\x80\xA9") ||
                   rest.starts_with("\xEF\xBB\xBF") || rest.starts_with("\xEF\xBF\xBE") ||
                   rest.starts_with("\xEF\xBF\xBF")) {
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(CodePoint(rest)));
            out += escape;
            i += 2;
        } else {
            out += utf8[i];
        }
    }
    return out + "\"";
}

std::string YamlList(std::string_view key, const std::vector<std::string>& utf8Items) {
    if (utf8Items.empty()) return std::string(key) + ": []\n";
    std::string out = std::string(key) + ":\n";
    for (const std::string& item : utf8Items) out += "  - " + YamlString(item) + "\n";
    return out;
}

}  // namespace tavolex
