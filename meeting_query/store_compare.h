#pragma once
// Two copies of one user's store compared meeting by meeting, by the handheld's meeting id: the
// meetings only in the first, only in the second, and those in both whose content differs (the
// meeting's own fields, and its items added, removed or edited, each item known by its kind and id).

#include "meeting_store/meeting_database.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavolex {

struct MeetingDifference {
    enum class Kind { kOnlyInFirst, kOnlyInSecond, kChanged };
    Kind kind = Kind::kChanged;
    std::uint32_t id = 0;
    std::string title;                  // CP932: the second copy's where it has the meeting
    std::optional<std::string> date;    // ISO, none when damaged
    std::vector<std::string> fields{};  // of a changed meeting: "title", "location", "category", "date", "time"
    int itemsAdded = 0, itemsRemoved = 0, itemsEdited = 0;
};

// One meeting as two copies hold it: its fields that differ and its items added, removed or
// edited (kind kChanged, title and date the second's).
[[nodiscard]] MeetingDifference CompareMeetings(const MeetingDatabase& first, const Meeting& before,
                                                const MeetingDatabase& second, const Meeting& after);
[[nodiscard]] inline bool Differs(const MeetingDifference& d) {
    return !d.fields.empty() || d.itemsAdded + d.itemsRemoved + d.itemsEdited > 0;
}

// Only in the first (in its order), only in the second (in its order), then the changed ones (in the
// second's order). A damaged store's repeated id counts at its first meeting.
[[nodiscard]] std::vector<MeetingDifference> CompareStores(const MeetingDatabase& first, const MeetingDatabase& second);

}  // namespace tavolex
