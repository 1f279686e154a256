#pragma once
// The selected meetings as an iCalendar (RFC 5545) document: a VEVENT per meeting (floating local
// date and times, or an all-day date when the meeting has no time) and a VTODO per to-do of those
// meetings, related to its meeting. UIDs come from the handheld ids, so they stay the same from
// run to run.

#include "export/export_text.h"

#include <ctime>
#include <string>

namespace tavolex {

// `stamp` is the DTSTAMP every component carries (the time of the export).
[[nodiscard]] std::string WriteICalendar(const MeetingDatabase& store, const AddressBook& book,
                                         const MeetingIndexes& selection, std::time_t stamp, ExportText& text,
                                         ExportSummary& summary, const ExportProgress& progress = {});

// The UID of a meeting and of a to-do: "meeting-<id>@tavolex", "todo-<id>@tavolex".
[[nodiscard]] std::string MeetingUid(std::uint32_t id);
[[nodiscard]] std::string ToDoUid(std::uint32_t id);

}  // namespace tavolex
