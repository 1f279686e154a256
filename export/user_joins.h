#pragma once
// The documents of several Palm users' exports joined into one file: the calendars' components in
// one VCALENDAR (their UIDs already carry each user's part), the vCards one after another, and the
// JSON dumps as one document whose "users" array holds each user's dump as it is alone, with the
// user's name after its version; the Markdown vaults' indexes as one index over the users' folders.

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
// index.md over the Markdown vaults of several users, each in a folder named `user`: a section per
// user holding the links of that vault's own index.md, each led into the user's folder.
[[nodiscard]] std::string JoinVaultIndexes(const std::vector<UserDocument>& indexes);

}  // namespace tavolex
