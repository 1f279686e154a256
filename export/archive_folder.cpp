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
#include <set>
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

void RemoveStaleYearPages(const std::filesystem::path& folder, const std::map<std::string, std::string>& years) {
    std::error_code ec;
    std::vector<std::filesystem::path> stale;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = platform::PathToUtf8(entry.path().filename());
        if (!IsYearPageName(name)) continue;
        const std::string year = name.substr(6, name.size() - 11);
        if (!years.contains(year)) stale.push_back(entry.path());
    }
    for (const std::filesystem::path& path : stale) std::filesystem::remove(path, ec);
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
