#pragma once
// The layout the three lists of the main window share: which list is which, their columns, the
// icons of the shared image lists, and the column widths set at every refill. Portable, so the
// Win32 panes only apply it.

#include <cstdint>
#include <span>

namespace tavolex {

// The three lists, by the kind code the panes are created with.
enum class PaneKind : int {
    kReports = 1,   // ReportListView
    kMeetings = 2,  // MeetingListView
    kItems = 3,     // ItemListView
};

// Positions in the 16 x 16 and 32 x 32 image lists, shared by all three lists.
enum class PaneIcon : int {
    kMeeting = 0,
    kHtmlReport = 1,
    kAgendaNotDiscussed = 2,
    kAgendaDiscussed = 3,
    kNote = 4,
    kToDoOpen = 5,
    kToDoCompleted = 6,
    kSketch = 7,
    kAttendee = 8,
    kAttendeeAbsent = 9,
    kRtfReport = 10,
};

enum class ColumnAlignment { kLeft, kRight };

struct PaneColumn {
    int titleId;  // string table id of the header text
    ColumnAlignment alignment;
};

// The columns of a list, in order: 4 for meetings, 1 for items, 3 for reports.
[[nodiscard]] std::span<const PaneColumn> PaneColumns(PaneKind kind);

// Column widths in pixels for a list whose client area is clientWidth wide. A column number the
// list does not have gets 0. A width the formula makes negative (a list only a few pixels wide)
// is 0: a negative width asks the list view to size the column itself.
//
// Meetings: w = clientWidth / 4; columns 0 and 1 get w + 0.2w - 1, columns 2 and 3 w - 0.2w - 1.
[[nodiscard]] int MeetingColumnWidth(int clientWidth, int column);
// Reports: w = clientWidth / 3; column 0 gets w + 0.4w - 1, columns 1 and 2 w - 0.2w - 1.
[[nodiscard]] int ReportColumnWidth(int clientWidth, int column);
// Items: the one column is clientWidth - 20, the 20 given for 96 pixels per inch and scaled to dpi.
[[nodiscard]] int ItemColumnWidth(int clientWidth, int dpi = 96);
// The width of column of the list kind in a list of dpi pixels per inch.
[[nodiscard]] int PaneColumnWidth(PaneKind kind, int clientWidth, int column, int dpi = 96);

}  // namespace tavolex
