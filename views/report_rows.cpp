#include "views/report_rows.h"

namespace tavolex {

std::string ReportCellText(const ReportListing& report, int column) {
    switch (column) {
        case 0: return report.name;
        case 1: return report.dateText;
        case 2: return report.sizeText;
        default: return {};
    }
}

PaneIcon ReportIcon(ReportFileType type) {
    return type == ReportFileType::kRtf ? PaneIcon::kRtfReport : PaneIcon::kHtmlReport;
}

PaneRow ReportRow(const ReportListing& report, std::int64_t position) {
    PaneRow row;
    for (int column = 0; column < kReportColumnCount; ++column) {
        row.texts[static_cast<std::size_t>(column)] = ReportCellText(report, column);
    }
    row.icon = ReportIcon(report.type);
    row.parameter = position;
    return row;
}

std::vector<PaneRow> ReportRows(std::span<const ReportListing> reports) {
    std::vector<PaneRow> rows;
    rows.reserve(reports.size());
    for (std::size_t i = 0; i < reports.size(); ++i) {
        rows.push_back(ReportRow(reports[i], static_cast<std::int64_t>(i)));
    }
    return rows;
}

}  // namespace tavolex
