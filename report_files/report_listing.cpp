#include "report_files/report_listing.h"

#include "platform/file_system.h"
#include "platform/platform.h"

#include <cstdio>
#include <functional>
#include <system_error>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

// Calls visit for each report file in enumeration order until it returns false.
void WalkReports(const fs::path& folder, const std::function<bool(const fs::directory_entry&, ReportType)>& visit) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) return;
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;  // sub-folders are not reports
        const std::optional<ReportType> type = ReportTypeOf(platform::PathToCp932(it->path().filename()));
        if (!type) continue;
        if (!visit(*it, *type)) return;
    }
}

ReportEntry MakeEntry(const fs::directory_entry& file, ReportType type) {
    ReportEntry entry;
    entry.path = file.path();
    entry.fileName = platform::PathToCp932(file.path().filename());
    const std::size_t dot = entry.fileName.rfind('.');
    entry.name = entry.fileName.substr(0, dot);
    std::error_code ec;
    const std::uintmax_t size = file.file_size(ec);
    entry.sizeText = ec ? std::string("0") : std::to_string(static_cast<std::uint32_t>(size));
    if (const std::optional<platform::LocalDateTime> created = platform::FileCreationTime(file.path())) {
        entry.dateText = ReportDateText(*created);
    }
    entry.type = type;
    return entry;
}

}  // namespace

std::optional<ReportType> ReportTypeOf(std::string_view fileName) {
    if (fileName.ends_with(".htm") || fileName.ends_with(".html")) return ReportType::kHtml;
    if (fileName.ends_with(".rtf") && !fileName.starts_with("~")) return ReportType::kRtf;
    return std::nullopt;
}

int CountReports(const fs::path& outputFolder) {
    int count = 0;
    WalkReports(outputFolder, [&count](const fs::directory_entry&, ReportType) {
        ++count;
        return true;
    });
    return count;
}

int ReportEntryAt(const fs::path& outputFolder, int position, ReportEntry& entry) {
    if (position < 1) return -1;
    int seen = 0;
    int found = -1;
    WalkReports(outputFolder, [&](const fs::directory_entry& file, ReportType type) {
        if (++seen < position) return true;
        entry = MakeEntry(file, type);
        found = static_cast<int>(type);
        return false;
    });
    return found;
}

std::vector<ReportEntry> ListReports(const fs::path& outputFolder) {
    std::vector<ReportEntry> entries;
    WalkReports(outputFolder, [&entries](const fs::directory_entry& file, ReportType type) {
        entries.push_back(MakeEntry(file, type));
        return true;
    });
    return entries;
}

std::string ReportDateText(const platform::LocalDateTime& when) {
    std::string date = platform::FormatShortDate(when.year, when.month, when.day);
    std::string time = platform::FormatTimeOfDay(when.hour, when.minute, when.second);
    if (date.empty() || time.empty()) {
        char plain[48];
        std::snprintf(plain, sizeof plain, "%04d/%02d/%02d %02d:%02d:%02d", when.year, when.month, when.day, when.hour,
                      when.minute, when.second);
        return plain;
    }
    return date + " " + time;
}

}  // namespace tavolex
