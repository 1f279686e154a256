#pragma once
// The Markdown vault: the minutes as a folder of plain notes that notes apps and editors open as
// they are (UTF-8, LF line ends, CommonMark with task lists). One note per meeting, named
// "YYYY-MM-DD <title>.md" by the report-name rules, with "#", "^", "[" and "]" made spaces too (a
// link reads them as a heading, a block, a wiki link) ("<title>.md" when the date is impossible,
// " (2)" for a name given twice), with YAML front matter (id, title, date, start, end, location,
// category, attendees, tags) and the items in sections: 議題 and ToDo as task lists (a due date
// and a priority as task plugins read them), メモ as paragraphs, スケッチ as PNG pictures in
// attachments/, 出席者 as links to a note per person in people/ (the person of the people
// command: the linked address-book entry, else the stored name). index.md lists the meetings by
// date.
//
// Every text of the store is data: escaped so that it shows as written, never as Markdown, HTML,
// a link, a tag or a task field; a line break inside an item stays inside it. Front-matter values
// are double-quoted YAML strings, whatever they hold.
//
// The vault keeps a manifest (kVaultManifest) of every file it wrote with a hash of its bytes. A
// later export into the same folder refreshes it in place: a file whose bytes are still those
// written is replaced, one the user edited since is kept as it is and reported in summary.kept,
// and a file of the earlier export that this one does not write (a meeting no longer exported)
// is removed when unchanged, else left alone.

#include "export/export_text.h"

#include <filesystem>
#include <string_view>
#include <vector>

namespace tavolex {

class AddressBook;

inline constexpr std::string_view kVaultManifest = ".tavolex-vault";

// True when the folder holds the manifest of an earlier vault.
[[nodiscard]] bool IsEarlierVault(const std::filesystem::path& folder);

// What a vault of the selection would overwrite in a folder that is not an earlier vault, for the
// question asked before writing there: the files of the names it writes that exist, or the folder
// itself when it holds other files only. None for a missing or empty folder or an earlier vault.
[[nodiscard]] std::vector<std::filesystem::path> VaultFilesToReplace(const MeetingDatabase& store,
                                                                     const AddressBook& book,
                                                                     const MeetingIndexes& selection,
                                                                     const std::filesystem::path& folder);

// Writes the vault into folder (created when missing). False with summary.error set when a file
// can't be written, or with summary.cancelled when progress said to stop; the manifest names what
// was written either way, so the next run refreshes it.
bool WriteMarkdownVault(const MeetingDatabase& store, const AddressBook& book, const MeetingIndexes& selection,
                        const std::filesystem::path& folder, ExportText& text, ExportSummary& summary,
                        const ExportProgress& progress = {});

}  // namespace tavolex
