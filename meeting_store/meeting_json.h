#pragma once
// The JSON shape of a meeting's own fields, one order and one naming for every JSON writer (the
// listing commands and the dump alike); each writer adds its own fields after these.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavolex {

// The members of one JSON object as a writer appends them; texts are UTF-8.
class JsonMembers {
public:
    virtual ~JsonMembers() = default;
    virtual void Number(std::string_view name, std::int64_t value) = 0;
    virtual void String(std::string_view name, std::string_view utf8) = 0;
    // null when there is no value
    virtual void Optional(std::string_view name, const std::optional<std::string>& utf8) = 0;
};

struct MeetingJsonFields {
    std::int32_t number = 0;             // 1-based position in the store
    std::uint32_t id = 0;                // the handheld record id
    std::optional<std::string> date{};   // ISO
    std::optional<std::string> start{};  // "HH:MM"
    std::optional<std::string> end{};
    std::string title{};
    std::string location{};
    std::string category{};
    std::string dateText{};  // the locale's texts
    std::optional<std::string> timeText{};
};

// number, id, date, start, end, title, location, category, dateText, timeText: the order of the
// listing's CSV columns too.
void WriteMeetingFields(const MeetingJsonFields& fields, JsonMembers& out);

}  // namespace tavolex
