#include "export/html_text.h"

#include "base/ascii.h"

#include <algorithm>
#include <iterator>

namespace tavolex {
namespace {

bool IsCharsetNameCharacter(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-'; }

// A <meta> tag (without its ">") with every "charset=" that names Shift-JIS (in any letter case,
// quoted or not) naming utf-8 instead; any other tag as it is.
std::string TagDeclaringUtf8(std::string_view tag) {
    static constexpr std::string_view kShiftJisNames[] = {"shift_jis",   "shift-jis", "x-sjis",     "sjis",
                                                          "windows-31j", "cp932",     "csshiftjis", "ms_kanji"};
    const std::string lower = LowerAsciiText(tag);
    if (!lower.starts_with("<meta") || (lower.size() > 5 && lower.find_first_of(" \t\r\n/", 5) != 5))
        return std::string(tag);
    std::string out;
    std::size_t copied = 0;
    for (std::size_t at = lower.find("charset"); at != std::string::npos; at = lower.find("charset", at + 1)) {
        std::size_t name = lower.find_first_not_of(" \t\r\n", at + 7);
        if (name == std::string::npos || lower[name] != '=') continue;
        name = lower.find_first_not_of(" \t\r\n\"'", name + 1);
        if (name == std::string::npos) break;
        std::size_t end = name;
        while (end < lower.size() && IsCharsetNameCharacter(lower[end])) ++end;
        const std::string_view declared = std::string_view(lower).substr(name, end - name);
        if (std::find(std::begin(kShiftJisNames), std::end(kShiftJisNames), declared) == std::end(kShiftJisNames))
            continue;
        out.append(tag.substr(copied, name - copied)).append("utf-8");
        copied = end;
    }
    return out.append(tag.substr(copied));
}

bool IsTag(std::string_view page, std::size_t at, std::string_view name) {
    if (at + 1 + name.size() > page.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (LowerAscii(page[at + 1 + i]) != name[i]) return false;
    }
    const std::size_t next = at + 1 + name.size();
    return next == page.size() || std::string_view(" \t\r\n/>").find(page[next]) != std::string_view::npos;
}

// Just after a document type declaration that opens the page (the template's own, which a
// policy placed before it would turn into quirks mode), else 0.
std::size_t AfterDoctype(std::string_view page) {
    const std::size_t at = page.find_first_not_of(" \t\r\n");
    if (at == std::string_view::npos || page.size() - at < 9) return 0;
    if (LowerAsciiText(page.substr(at, 9)) != "<!doctype") return 0;
    const std::size_t close = page.find('>', at);
    return close == std::string_view::npos ? 0 : close + 1;
}

}  // namespace

std::string EscapeHtml(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            case '\n': out += ' '; break;
            default: out += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
        }
    }
    return out;
}

std::string DeclareUtf8Charset(std::string_view html) {
    std::string out;
    std::size_t copied = 0;
    for (std::size_t open = html.find('<'); open != std::string_view::npos; open = html.find('<', copied)) {
        const std::size_t close = html.find('>', open);
        if (close == std::string_view::npos) break;
        out.append(html.substr(copied, open - copied)).append(TagDeclaringUtf8(html.substr(open, close - open)));
        copied = close;
    }
    return out.append(html.substr(copied));
}

std::string PolicyMeta(std::string_view policy) {
    return "<meta http-equiv=\"Content-Security-Policy\" content=\"" + std::string(policy) + "\">";
}

std::size_t PolicyPosition(std::string_view page) {
    for (std::size_t at = page.find('<'); at != std::string_view::npos; at = page.find('<', at + 1)) {
        if (page.substr(at, 4) == "<!--") {
            at = page.find("-->", at + 4);
            if (at == std::string_view::npos) break;
        } else if (IsTag(page, at, "body")) {
            break;
        } else if (IsTag(page, at, "head")) {
            const std::size_t close = page.find('>', at);
            if (close == std::string_view::npos) break;
            return close + 1;
        }
    }
    return AfterDoctype(page);
}

std::string WithReportPolicy(std::string report) {
    const std::size_t at = PolicyPosition(report);
    report.insert(at, at == 0 ? PolicyMeta(kReportPolicy) + "\n" : "\n" + PolicyMeta(kReportPolicy));
    return report;
}

std::string JsonForScript(std::string json) {
    // Most texts hold no "<": they are returned as they came, uncopied.
    if (json.find('<') == std::string::npos) return json;
    std::string escaped;
    escaped.reserve(json.size() + 16);
    for (const char c : json) {
        if (c == '<') {
            escaped += "\\u003c";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

}  // namespace tavolex
