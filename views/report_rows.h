#pragma once
// The report list's rows, from the report folder's listing given as plain data: one row per
// report in listing order, parameter its 0-based position, icon by file type, and three cell
// texts: name, creation date and time, size in bytes.

#include "views/pane_row.h"

#include <span>
#include <string>
#include <vector>

namespace tavolex {

inline constexpr int kReportColumnCount = 3;

// The report folder's file types.
enum class ReportFileType : int {
    kHtml = 0,  // ".htm", ".html"
    kRtf = 1,   // ".rtf"
};

// One report of the output folder, as the listing gives it.
struct ReportListing {
    std::string name;      // the file name without folder and extension
    std::string dateText;  // creation date, one space, creation time, in the user's formats
    std::string sizeText;  // the size in bytes, in decimal
    ReportFileType type = ReportFileType::kHtml;
};

// Column 0 the name, 1 the date text, 2 the size text; "" for any other column.
[[nodiscard]] std::string ReportCellText(const ReportListing& report, int column);
// 1 (HTML report) or 10 (RTF report).
[[nodiscard]] PaneIcon ReportIcon(ReportFileType type);
[[nodiscard]] PaneRow ReportRow(const ReportListing& report, std::int64_t position);
[[nodiscard]] std::vector<PaneRow> ReportRows(std::span<const ReportListing> reports);

}  // namespace tavolex
