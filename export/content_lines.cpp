#include "export/content_lines.h"

namespace tavolex {
namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

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
    for (const char c : utf8) out += c == '"' || IsControl(static_cast<unsigned char>(c)) ? ' ' : c;
    out += '"';
    return out;
}

void ContentLines::Add(std::string_view nameAndParameters, std::string_view value) {
    std::string line;
    line.reserve(nameAndParameters.size() + 1 + value.size());
    line.append(nameAndParameters).append(1, ':').append(value);
    // The first line holds 75 octets; each continuation line a space and 74 more.
    std::size_t begin = 0;
    std::size_t room = kMaxOctets;
    while (line.size() - begin > room) {
        std::size_t end = begin + room;
        while (end > begin && IsContinuationByte(line[end])) --end;
        text_.append(line, begin, end - begin).append("\r\n ");
        begin = end;
        room = kMaxOctets - 1;
    }
    text_.append(line, begin, std::string::npos).append("\r\n");
}

}  // namespace tavolex
