#pragma once
// One user's meetings from several copies of the same Palm folder (dated backups, or the folders of
// two PCs), given oldest first. A meeting is known by its handheld id: one found in only one copy is
// kept (a meeting deleted on the handheld after an older copy was made stays), one found in several
// is kept once, as the copy given last holds it. The merged store lists the last copy's meetings in
// its order, then those of earlier copies that it lacks, the newer copies first.

#include "meeting_store/meeting_database.h"

#include <span>

namespace tavolex {

struct MergeCounts {
    int merged = 0;    // meetings in several copies, alike in each
    int replaced = 0;  // meetings in several copies whose content differs: taken from the later copy
};

// Makes `into` (which may be one of the copies) hold the merged records; its folder and load
// statuses stay. An item is taken from the copy its meeting is taken from; an item of the same kind
// and id that a later copy already gave is not taken twice.
MergeCounts MergeStores(std::span<const MeetingDatabase* const> copies, MeetingDatabase& into);

}  // namespace tavolex
