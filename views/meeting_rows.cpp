#include "views/meeting_rows.h"

#include "meeting_store/meeting_database.h"

namespace tavolex {

std::string MeetingCellText(const Meeting& meeting, int column) {
    switch (column) {
        case 0: return meeting.szTitle;
        case 1: return meeting.szLocation;
        case 2: return meeting.szDate + " " + meeting.szTime;
        case 3: return meeting.szCategory;
        default: return {};
    }
}

std::string MeetingCellText(const MeetingDatabase& database, std::int32_t meetingIndex, int column) {
    const Meeting* meeting = database.MeetingAt(meetingIndex);
    return meeting != nullptr ? MeetingCellText(*meeting, column) : std::string();
}

PaneRow MeetingRow(const Meeting& meeting, std::int32_t meetingIndex) {
    PaneRow row;
    for (int column = 0; column < kMeetingColumnCount; ++column) {
        row.texts[static_cast<std::size_t>(column)] = MeetingCellText(meeting, column);
    }
    row.icon = PaneIcon::kMeeting;
    row.parameter = meetingIndex;
    return row;
}

std::vector<PaneRow> MeetingRows(const MeetingDatabase& database) {
    std::vector<PaneRow> rows;
    rows.reserve(database.Meetings().size());
    for (std::int32_t i = 0; i < database.MeetingCount(); ++i) rows.push_back(MeetingRow(*database.MeetingAt(i), i));
    return rows;
}

}  // namespace tavolex
