#pragma once
// The meeting list's rows: one per meeting in store order, icon 0, parameter the meeting's index
// in the store, and four cell texts: title, location, date + " " + time, category.

#include "meeting_store/records.h"
#include "views/pane_row.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavolex {

class MeetingDatabase;

inline constexpr int kMeetingColumnCount = 4;

// The text of one cell: column 0 szTitle, 1 szLocation, 2 szDate, one space, szTime (the space
// stays when the meeting has no time), 3 szCategory; "" for any other column.
[[nodiscard]] std::string MeetingCellText(const Meeting& meeting, int column);
// The same for the meeting at index in the store; "" when there is no such meeting.
[[nodiscard]] std::string MeetingCellText(const MeetingDatabase& database, std::int32_t meetingIndex, int column);

// The row of one meeting, with its four texts.
[[nodiscard]] PaneRow MeetingRow(const Meeting& meeting, std::int32_t meetingIndex);
// Every meeting's row, in store order.
[[nodiscard]] std::vector<PaneRow> MeetingRows(const MeetingDatabase& database);

}  // namespace tavolex
