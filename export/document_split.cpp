#include "export/document_split.h"

#include "export/export_text.h"
#include "export/file_stems.h"
#include "platform/platform.h"

#include <map>

namespace tavolex {
namespace {

// One content line of a document (with the folded lines that continue it, as written) and its
// unfolded text.
struct ContentLine {
    std::string_view raw;  // with its CRLF
    std::string text;      // unfolded, without the line breaks
};

std::vector<ContentLine> ContentLinesOf(std::string_view document) {
    std::vector<ContentLine> lines;
    std::size_t at = 0;
    while (at < document.size()) {
        std::size_t end = document.find("\r\n", at);
        end = end == std::string_view::npos ? document.size() : end + 2;
        const std::string_view raw = document.substr(at, end - at);
        std::string_view text = raw;
        if (text.ends_with("\r\n")) text.remove_suffix(2);
        // A line that starts with a space or a tab continues the one before (RFC 5545, 6350).
        if (!lines.empty() && (raw.starts_with(' ') || raw.starts_with('\t'))) {
            ContentLine& last = lines.back();
            last.raw = std::string_view(last.raw.data(), last.raw.size() + raw.size());
            last.text += text.substr(1);
        } else {
            lines.push_back({raw, std::string(text)});
        }
        at = end;
    }
    return lines;
}

// The property name of a line, in upper case, without its parameters.
std::string NameOf(const std::string& text) {
    std::string name = text.substr(0, text.find_first_of(";:"));
    for (char& c : name) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return name;
}

// The value of a line: what follows the first colon outside a quoted parameter value.
std::string ValueOf(const std::string& text) {
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') quoted = !quoted;
        if (text[i] == ':' && !quoted) return text.substr(i + 1);
    }
    return {};
}

// A component at the top of the document: its lines as written, and the properties the split reads.
struct Component {
    std::string kind;  // VEVENT, VTODO, VCARD…
    std::string text;
    std::map<std::string, std::string> values;  // the first value of each property
};

// The document's lines before its first component, its components, and the lines after them.
struct Parts {
    std::string header, footer;
    std::vector<Component> components;
};

Parts PartsOf(std::string_view document, int depthOfComponents) {
    Parts parts;
    int depth = 0;
    Component* open = nullptr;
    for (const ContentLine& line : ContentLinesOf(document)) {
        const std::string name = NameOf(line.text);
        if (name == "BEGIN" && depth++ == depthOfComponents) {
            parts.components.push_back({ValueOf(line.text), {}, {}});
            open = &parts.components.back();
        }
        if (open != nullptr) {
            open->text += line.raw;
            open->values.emplace(name, ValueOf(line.text));
        } else {
            (parts.components.empty() ? parts.header : parts.footer) += line.raw;
        }
        if (name == "END" && --depth == depthOfComponents) open = nullptr;
    }
    return parts;
}

// A vCard text value unescaped (RFC 6350: "\\", "\,", "\;", "\n").
std::string Unescaped(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            ++i;
            out += value[i] == 'n' || value[i] == 'N' ? ' ' : value[i];
        } else {
            out += value[i];
        }
    }
    return out;
}

}  // namespace

std::vector<SplitFile> SplitCalendarByYear(std::string_view calendar) {
    const Parts parts = PartsOf(calendar, 1);
    std::map<std::string, std::string> yearOfEvent;  // UID → year
    for (const Component& c : parts.components) {
        const auto start = c.values.find("DTSTART");
        if (c.kind == "VEVENT" && start != c.values.end() && start->second.size() >= 4) {
            yearOfEvent.emplace(c.values.count("UID") ? c.values.at("UID") : std::string(), start->second.substr(0, 4));
        }
    }
    std::map<std::string, std::string> byYear;  // "2026" … then "undated"
    for (const Component& c : parts.components) {
        std::string year = "undated";
        const auto uid = c.values.find(c.kind == "VEVENT" ? "UID" : "RELATED-TO");
        if (uid != c.values.end()) {
            if (const auto found = yearOfEvent.find(uid->second); found != yearOfEvent.end()) year = found->second;
        }
        byYear[year] += c.text;
    }
    std::vector<SplitFile> files;
    for (const auto& [year, components] : byYear) {
        files.push_back({year + ".ics", parts.header + components + parts.footer});
    }
    return files;
}

std::vector<SplitFile> SplitVCards(std::string_view cards, ExportText& names) {
    NameSet given;
    std::vector<SplitFile> files;
    for (const Component& card : PartsOf(cards, 0).components) {
        const auto fn = card.values.find("FN");
        std::string stem =
            fn != card.values.end() ? CleanStem(platform::Utf8ToCp932(Unescaped(fn->second)), names) : "";
        if (stem.find_first_not_of(' ') == std::string::npos) stem = "contact";
        files.push_back({given.Unique(stem, ".vcf"), card.text});
    }
    return files;
}

}  // namespace tavolex
