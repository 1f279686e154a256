#include "views/pane_layout.h"

#include "resources/string_table.h"

#include <algorithm>

namespace tavolex {
namespace {

constexpr PaneColumn kMeetingColumns[] = {
    {kIdsColumnMeetingTitle, ColumnAlignment::kLeft},
    {kIdsColumnMeetingLocation, ColumnAlignment::kRight},
    {kIdsColumnMeetingDate, ColumnAlignment::kRight},
    {kIdsColumnMeetingCategory, ColumnAlignment::kRight},
};
constexpr PaneColumn kItemColumns[] = {
    {kIdsColumnItem, ColumnAlignment::kLeft},
};
constexpr PaneColumn kReportColumns[] = {
    {kIdsColumnReportName, ColumnAlignment::kLeft},
    {kIdsColumnReportDate, ColumnAlignment::kRight},
    {kIdsColumnReportSize, ColumnAlignment::kRight},
};

// w + (tenths / 10)·w - 1, truncated toward zero, never below 0. In whole numbers, so a binary
// 0.2 can't round a width down by one pixel: where the exact value is positive, truncating it is
// the floor of w·(10 + tenths) / 10, less 1; where it is negative the width is 0 anyway.
int Widen(int w, int tenths) {
    const long long scaled = static_cast<long long>(w) * (10 + tenths) / 10 - 1;
    return static_cast<int>(std::max(0LL, scaled));
}

}  // namespace

std::span<const PaneColumn> PaneColumns(PaneKind kind) {
    switch (kind) {
        case PaneKind::kMeetings: return kMeetingColumns;
        case PaneKind::kItems: return kItemColumns;
        case PaneKind::kReports: return kReportColumns;
    }
    return {};
}

int MeetingColumnWidth(int clientWidth, int column) {
    const int w = std::max(0, clientWidth) / 4;
    if (column == 0 || column == 1) return Widen(w, 2);
    if (column == 2 || column == 3) return Widen(w, -2);
    return 0;
}

int ReportColumnWidth(int clientWidth, int column) {
    const int w = std::max(0, clientWidth) / 3;
    if (column == 0) return Widen(w, 4);
    if (column == 1 || column == 2) return Widen(w, -2);
    return 0;
}

int ItemColumnWidth(int clientWidth, int dpi) {
    const int margin = static_cast<int>(20LL * std::max(dpi, 1) / 96);
    return std::max(0, clientWidth - margin);
}

int PaneColumnWidth(PaneKind kind, int clientWidth, int column, int dpi) {
    switch (kind) {
        case PaneKind::kMeetings: return MeetingColumnWidth(clientWidth, column);
        case PaneKind::kItems: return column == 0 ? ItemColumnWidth(clientWidth, dpi) : 0;
        case PaneKind::kReports: return ReportColumnWidth(clientWidth, column);
    }
    return 0;
}

}  // namespace tavolex
