#pragma once
// The selected meetings as an iCalendar (RFC 5545) document: a VEVENT per meeting (floating local
// date and times, or an all-day date when the meeting has no time) and a VTODO per to-do of those
// meetings, related to its meeting. UIDs come from the handheld ids and the Palm user (see
// RecordUid), so they stay the same from run to run and two users' calendars never share one. A
// meeting whose date the calendar does not have is left out (summary.undated) and its to-dos are
// related to nothing.

#include "export/export_text.h"

#include <ctime>
#include <string>

namespace tavolex {

// `stamp` is the DTSTAMP every component carries (the time of the export).
// `userFolder`: the Palm user's folder, whose name makes the UIDs the user's own.
[[nodiscard]] std::string WriteICalendar(const MeetingDatabase& store, const AddressBook& book,
                                         const std::filesystem::path& userFolder, const MeetingIndexes& selection,
                                         std::time_t stamp, ExportText& text, ExportSummary& summary,
                                         const ExportProgress& progress = {});

}  // namespace tavolex
