#pragma once
// Reads everything a loaded store offers the views and reports, and stops the run when an item
// reached through the maps has no record of its kind.

namespace tavolex {
class MeetingDatabase;
}

namespace tavolex::fuzz {

void WalkStore(const MeetingDatabase& store);

}  // namespace tavolex::fuzz
