#pragma once
// The archive's list pages beside the index: todo.html, every to-do (the open ones, then the done
// ones, each by due date in a group per month), and people.html, everyone listed as an attendee
// with the meetings they attended or missed; each meeting linked to its report. Their own search
// boxes (and "?q=") filter them as the index's does its list. They need only the store and the
// report names, so they can be made beside the reports.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tavolex {
class AddressBook;
class MeetingDatabase;
}  // namespace tavolex

namespace tavolex::archive {

// reportNames: the report's file name of each meeting index.
[[nodiscard]] std::string ToDoPage(const MeetingDatabase& store, const std::vector<std::int32_t>& indexes,
                                   const std::map<std::int32_t, std::string>& reportNames);

[[nodiscard]] std::string PeoplePage(const MeetingDatabase& store, const AddressBook& book,
                                     const std::vector<std::int32_t>& indexes,
                                     const std::map<std::int32_t, std::string>& reportNames);

}  // namespace tavolex::archive
