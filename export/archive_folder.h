#pragma once
// The archive's folder beyond the pages and reports it writes: the ids that give reports longer
// names, and the year pages an earlier archive left. IsEarlierArchive, ArchiveFilesToReplace and
// ArchiveReportName (archive_writer.h) are made in archive_folder.cpp too.

#include "export/export_text.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>

namespace tavolex::archive {

// How many selected meetings carry each id: a repeated id gives its reports longer names.
[[nodiscard]] std::map<std::uint32_t, int> IdUses(const MeetingDatabase& store, const MeetingIndexes& selection);

// The year pages an earlier archive of ours in folder wrote, as its index links them ("index-2026.html");
// none when the folder holds no archive of ours. Read before the index is written again.
[[nodiscard]] std::set<std::string> EarlierYearPages(const std::filesystem::path& folder);

// Removes the year pages the earlier archive wrote that this one no longer has (`years`: the rows of
// each year this one wrote, by year); a file of the same shape the earlier archive did not write stays.
void RemoveStaleYearPages(const std::filesystem::path& folder, const std::set<std::string>& earlier,
                          const std::map<std::string, std::string>& years);

}  // namespace tavolex::archive
