#pragma once
// The report folder as a list: every HTML or RTF report directly in the output folder, in the
// order the file system gives its entries. There is no index; the folder is the list.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_info.h"

namespace tavolex {

enum class ReportType : int { kHtml = 0, kRtf = 1 };

// One report of the listing. Texts are CP932.
struct ReportEntry {
    std::string name;      // the file name without its extension (column "レポート名")
    std::string fileName;  // with its extension, without folder
    std::string sizeText;  // the size in bytes (low 32 bits) as a decimal number
    std::string dateText;  // creation time: the user's short date, one space, the user's time
    ReportType type = ReportType::kHtml;
    std::filesystem::path path;  // the file itself, exactly as the folder holds it
};

// The report-file rule on a file name: ".htm" or ".html" is HTML, ".rtf" is RTF, matched as
// written in lower case; an RTF name that begins with "~" (a word processor's lock file) is not
// a report. Works on CP932 and UTF-8 names alike.
[[nodiscard]] std::optional<ReportType> ReportTypeOf(std::string_view fileName);

// The number of reports; 0 for a folder that can't be listed.
[[nodiscard]] int CountReports(const std::filesystem::path& outputFolder);

// Fills entry with the report at position (1-based) and returns its type (0 HTML, 1 RTF), or
// returns -1 and leaves entry as it was when there is no such report.
int ReportEntryAt(const std::filesystem::path& outputFolder, int position, ReportEntry& entry);

// Every report in listing order.
std::vector<ReportEntry> ListReports(const std::filesystem::path& outputFolder);

// The date column's text for a local time: the platform's short date and time of day as the
// user's settings format them (seconds where the user's time format has them), joined by one
// space; a plain numeric text when the formatter rejects the value.
std::string ReportDateText(const platform::LocalDateTime& when);

}  // namespace tavolex
