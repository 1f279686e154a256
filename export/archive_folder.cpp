// The archive's folder: the names it writes there, what a run would replace, an earlier archive
// known by its mark, and the year pages an earlier archive left that this one no longer has.
#include "export/archive_folder.h"

#include "export/archive_index.h"
#include "export/archive_reports.h"
#include "export/archive_writer.h"
#include "export/json_dump.h"
#include "meeting_store/meeting_database.h"
#include "platform/file_system.h"
#include "platform/platform.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <string_view>
#include <system_error>

namespace tavolex {
namespace archive {
namespace {

bool IsYearPageName(const std::string& name) {
    if (!name.starts_with("index-") || !name.ends_with(".html")) return false;
    const std::string year = name.substr(6, name.size() - 11);
    return year == "undated" ||
           (year.size() == 4 && std::all_of(year.begin(), year.end(), [](char c) { return c >= '0' && c <= '9'; }));
}

}  // namespace

std::map<std::uint32_t, int> IdUses(const MeetingDatabase& store, const MeetingIndexes& selection) {
    std::map<std::uint32_t, int> uses;
    for (const std::int32_t index : selection) {
        if (const Meeting* m = store.MeetingAt(index)) ++uses[m->dwDBID];
    }
    return uses;
}

std::set<std::string> EarlierYearPages(const std::filesystem::path& folder) {
    std::set<std::string> pages;
    if (!IsEarlierArchive(folder)) return pages;
    std::ifstream in(folder / "index.html", std::ios::binary);
    const std::string index((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    constexpr std::string_view kLink = "<a href=\"index-";
    for (std::size_t at = index.find(kLink); at != std::string::npos; at = index.find(kLink, at + 1)) {
        const std::size_t start = at + kLink.size() - 6;  // where "index-" starts
        const std::size_t end = index.find('"', start);
        if (end == std::string::npos) break;
        std::string name = index.substr(start, end - start);
        if (IsYearPageName(name)) pages.insert(std::move(name));
    }
    return pages;
}

void RemoveStaleYearPages(const std::filesystem::path& folder, const std::set<std::string>& earlier,
                          const std::map<std::string, std::string>& years) {
    std::error_code ec;
    for (const std::string& name : earlier) {
        if (!years.contains(name.substr(6, name.size() - 11))) std::filesystem::remove(folder / name, ec);
    }
}

}  // namespace archive

bool IsEarlierArchive(const std::filesystem::path& folder) {
    std::ifstream in(folder / "index.html", std::ios::binary);
    std::string head(1024, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head.find(archive::kGeneratorMark) != std::string::npos;
}

std::vector<std::filesystem::path> ArchiveFilesToReplace(const MeetingDatabase& store, const MeetingIndexes& selection,
                                                         const ArchiveOptions& options) {
    if (FolderIsEmpty(options.folder) || IsEarlierArchive(options.folder)) return {};
    std::vector<std::string> names = {"index.html", "todo.html", "people.html"};
    const std::string extension = archive::ReportExtension(options);
    const std::map<std::uint32_t, int> idUses = archive::IdUses(store, selection);
    for (const std::int32_t index : selection) {
        if (const Meeting* m = store.MeetingAt(index)) {
            names.push_back(ArchiveReportName(*m, index, idUses.at(m->dwDBID) > 1, extension));
        }
    }
    std::set<std::string> years;
    for (const std::int32_t index : selection) {
        if (const Meeting* m = store.MeetingAt(index)) {
            const std::optional<std::string> date = ValidIsoDate(m->date);
            years.insert(date ? date->substr(0, 4) : "undated");
        }
    }
    for (const std::string& year : years) names.push_back(archive::YearPageName(year));
    for (std::string& picture : SketchPictureNames(store, selection)) names.push_back(std::move(picture));
    return ExistingFiles(options.folder, names);
}

std::string ArchiveReportName(const Meeting& meeting, std::int32_t index, bool duplicateId,
                              std::string_view extension) {
    std::string name = "meeting-" + std::to_string(meeting.dwDBID);
    if (duplicateId) name += "-" + std::to_string(index + 1);
    name += extension;
    return name;
}

}  // namespace tavolex
