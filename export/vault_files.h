#pragma once
// The Markdown vault's files and its manifest (kVaultManifest): every file the vault wrote with a
// hash of its bytes, so that a later export into the same folder replaces a file whose bytes are
// still those written, keeps one the user edited since (summary.kept), and removes a file of the
// earlier export that this one does not write when unchanged, else leaves it alone and keeps
// naming it (so it stays protected, and its name is not given to another meeting). Names are
// compared as the file system compares them: a note renamed in case only is the same file. A
// manifest that is there but cannot be read keeps every file whose bytes differ (summary.kept):
// without it no edit can be told.

#include "export/export_text.h"

#include <filesystem>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tavolex::vault {

inline constexpr std::string_view kIndexName = "index.md";
inline constexpr std::string_view kPeopleFolder = "people";
inline constexpr std::string_view kAttachmentFolder = "attachments";

// A path of the vault from its UTF-8 name.
[[nodiscard]] std::filesystem::path Utf8Path(std::string_view utf8);

// A meeting's note of the earlier export as it stands: its name and the meeting id its front matter
// begins with (none when the user took it out).
struct EarlierNote {
    std::string name;
    std::optional<std::uint32_t> id;
};

class VaultWriter {
public:
    VaultWriter(const std::filesystem::path& folder, ExportSummary& summary);

    // Writes one file of the vault (`relative`: UTF-8, "/" between folders), unless it is one the
    // user changed since the earlier export. False with summary.error set when it can't be written.
    bool Put(const std::string& relative, std::string_view bytes);

    // Removes what the earlier export wrote and this one did not, where unchanged, and writes the
    // manifest of this one. A run that stopped part-way (not `complete`) removes nothing and keeps
    // naming the earlier files it did not reach.
    bool Finish(bool complete);

    // The meetings' notes the earlier export wrote into the top folder, so that a meeting keeps
    // its note's name.
    [[nodiscard]] std::vector<EarlierNote> EarlierNotes() const;
    // Whether Finish would remove the earlier export's file of that name, were it not written again:
    // its bytes are still those written.
    [[nodiscard]] bool Unchanged(const std::string& relative) const;

private:
    bool MayReplace(const std::string& relative, const std::filesystem::path& path,
                    const std::filesystem::file_status& status, std::string_view bytes);
    // The earlier export's name that is the same file as path under another case or width (a file
    // system that ignores them finds one for the other), or none.
    [[nodiscard]] const std::string* SameFileEarlier(const std::string& relative,
                                                     const std::filesystem::path& path) const;

    std::filesystem::path folder_;
    ExportSummary& summary_;
    std::map<std::string, std::string> earlier_;         // path → hash as the earlier export wrote it
    std::multimap<std::u16string, std::string> folded_;  // the earlier paths by case and width folded
    std::map<std::string, std::string> written_;
    std::set<std::string> writtenAs_;  // earlier paths replaced, under their name or another case or width
    enum class Manifest { kNone, kOurs, kUnreadable } manifest_;
};

}  // namespace tavolex::vault
