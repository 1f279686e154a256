#include "export/user_joins.h"

#include "export/json_dump.h"

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

}  // namespace tavolex
