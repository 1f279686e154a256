#include "export/content_lines.h"

namespace tavolex {
namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

// What reaches a line unescaped can still never end it: a line end in the value becomes the TEXT
// escape "\n", in the name or parameters a space, and any other control character a space.
void AppendWithoutLineEnds(std::string& line, std::string_view part, bool value) {
    for (std::size_t i = 0; i < part.size(); ++i) {
        const char c = part[i];
        if (c == '\r' && i + 1 < part.size() && part[i + 1] == '\n') continue;  // CR LF is one line end
        if (value && (c == '\r' || c == '\n')) {
            line += "\\n";
            continue;
        }
        line += IsControl(static_cast<unsigned char>(c)) ? ' ' : c;
    }
}

}  // namespace

std::string EscapeText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case ';': out += "\\;"; break;
            case ',': out += "\\,"; break;
            case '\n': out += "\\n"; break;
            case '\r': break;
            default: out += IsControl(static_cast<unsigned char>(c)) ? ' ' : c;
        }
    }
    return out;
}

std::string QuoteParameter(std::string_view utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        if (c != '\r') out += c == '"' || IsControl(static_cast<unsigned char>(c)) ? ' ' : c;
    }
    out += '"';
    return out;
}

std::optional<std::string> MailtoUri(std::string_view utf8) {
    while (!utf8.empty() && utf8.front() == ' ') utf8.remove_prefix(1);
    while (!utf8.empty() && utf8.back() == ' ') utf8.remove_suffix(1);
    const std::size_t at = utf8.find('@');
    if (at == 0 || at == std::string_view::npos || at + 1 == utf8.size() ||
        utf8.find('@', at + 1) != std::string_view::npos) {
        return std::nullopt;
    }
    std::string uri = "mailto:";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == ' ' || IsControl(byte)) return std::nullopt;
        if (IsUnreserved(byte) || c == '@') {
            uri += c;
            continue;
        }
        static constexpr char kHex[] = "0123456789ABCDEF";
        uri += '%';
        uri += kHex[byte >> 4];
        uri += kHex[byte & 0x0F];
    }
    return uri;
}

void ContentLines::Add(std::string_view nameAndParameters, std::string_view value) {
    std::string line;
    line.reserve(nameAndParameters.size() + 1 + value.size());
    AppendWithoutLineEnds(line, nameAndParameters, false);
    line += ':';
    AppendWithoutLineEnds(line, value, true);
    // The first line holds 75 octets; each continuation line a space and 74 more.
    std::size_t begin = 0;
    std::size_t room = kMaxOctets;
    while (line.size() - begin > room) {
        std::size_t end = begin + room;
        while (end > begin && IsContinuationByte(line[end])) --end;
        if (end == begin) end = begin + room;  // not UTF-8: a cut anywhere still ends the loop
        text_.append(line, begin, end - begin).append("\r\n ");
        begin = end;
        room = kMaxOctets - 1;
    }
    text_.append(line, begin, std::string::npos).append("\r\n");
}

}  // namespace tavolex
