#pragma once
// The file names of sketch pictures, one rule for the reports, the archive and the dump: "<id>.jpg"
// of the handheld id as a signed number. Ids can repeat in a damaged store (or where two users'
// records met), and each sketch keeps a picture of its own: the second record of an id in the
// store is "<id>-2.jpg", the third "<id>-3.jpg", and so on.

#include "meeting_store/records.h"

#include <string>
#include <string_view>

namespace tavolex {

class MeetingDatabase;

// The picture file name of a sketch record of the store (a sketch that is not one of the store's
// records takes the plain "<id>.jpg").
[[nodiscard]] std::string SketchFileName(const MeetingDatabase& store, const Sketch& sketch);

// Whether a file name has a form SketchFileName gives: "-?<digits>.jpg" or "-?<digits>-<n>.jpg"
// with n from 2, numbers written without leading zeros.
[[nodiscard]] bool IsSketchFileName(std::string_view name);

}  // namespace tavolex
