#pragma once
// The documents of several Palm users' exports joined into one file: the calendars' components in
// one VCALENDAR (their UIDs already carry each user's part), the vCards one after another, and the
// JSON dumps as one document whose "users" array holds each user's dump as it is alone, with the
// user's name after its version.

#include <string>
#include <vector>

namespace tavolex {

struct UserDocument {
    std::string user;      // UTF-8
    std::string document;  // as the exporter made it for that user alone
};

[[nodiscard]] std::string JoinCalendars(const std::vector<UserDocument>& calendars);
[[nodiscard]] std::string JoinVCards(const std::vector<UserDocument>& cards);
[[nodiscard]] std::string JoinDumps(const std::vector<UserDocument>& dumps);

}  // namespace tavolex
