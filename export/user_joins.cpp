#include "export/user_joins.h"

#include "export/json_dump.h"
#include "export/markdown_text.h"

#include <string_view>

namespace tavolex {
namespace {

constexpr std::string_view kCalendarEnd = "END:VCALENDAR\r\n";
constexpr std::string_view kDumpStart = R"({"format":"tavolex-dump","version":1,)";

// Where a calendar's components begin (after its own properties) and end (at its END line).
std::pair<std::size_t, std::size_t> Components(std::string_view calendar) {
    std::size_t end = calendar.rfind(kCalendarEnd);
    if (end == std::string_view::npos) end = calendar.size();
    std::size_t begin = calendar.find("\r\nBEGIN:V");
    begin = begin == std::string_view::npos || begin + 2 > end ? end : begin + 2;
    return {begin, end};
}

}  // namespace

std::string JoinCalendars(const std::vector<UserDocument>& calendars) {
    if (calendars.empty()) return {};
    std::string joined = calendars.front().document.substr(0, Components(calendars.front().document).first);
    for (const UserDocument& c : calendars) {
        const auto [begin, end] = Components(c.document);
        joined.append(c.document, begin, end - begin);
    }
    return joined + std::string(kCalendarEnd);
}

std::string JoinVCards(const std::vector<UserDocument>& cards) {
    std::string joined;
    for (const UserDocument& c : cards) joined += c.document;
    return joined;
}

std::string JoinDumps(const std::vector<UserDocument>& dumps) {
    std::string joined = std::string(kDumpStart) + "\"users\":[\n";
    for (std::size_t i = 0; i < dumps.size(); ++i) {
        std::string_view dump = dumps[i].document;
        while (dump.ends_with('\n')) dump.remove_suffix(1);
        if (i > 0) joined += ",\n";
        joined += std::string(kDumpStart) + "\"user\":" + JsonString(dumps[i].user) + ",";
        joined += dump.starts_with(kDumpStart) ? std::string(dump.substr(kDumpStart.size()))
                                               : "\"dump\":" + std::string(dump) + "}";
    }
    return joined + "]}\n";
}

std::string JoinVaultIndexes(const std::vector<UserDocument>& indexes) {
    std::string joined = "# 議事録\n";
    for (const UserDocument& index : indexes) {
        // The folder as a destination's start: inside angle brackets '%' is encoded (as the vault
        // encodes it) and '<' and '>' escaped.
        std::string folder;
        for (const char c : index.user)
            folder += c == '%' ? std::string("%25") : c == '<' || c == '>' ? std::string("\\") + c : std::string(1, c);
        joined += "\n## " + MarkdownText(index.user, "", true) + "\n\n";
        std::size_t start = 0;
        for (std::size_t end; (end = index.document.find('\n', start)) != std::string::npos; start = end + 1) {
            const std::string_view line(index.document.data() + start, end - start);
            const std::size_t link = line.rfind("](<");
            if (!line.starts_with("- [") || link == std::string_view::npos) continue;
            joined += std::string(line.substr(0, link + 3)) + folder + "/" + std::string(line.substr(link + 3)) + "\n";
        }
    }
    return joined;
}

}  // namespace tavolex
