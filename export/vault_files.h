#pragma once
// The Markdown vault's files and its manifest (kVaultManifest): every file the vault wrote with a
// hash of its bytes, so that a later export into the same folder replaces a file whose bytes are
// still those written, keeps one the user edited since (summary.kept), and removes a file of the
// earlier export that this one does not write when unchanged, else leaves it alone.

#include "export/export_text.h"

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace tavolex::vault {

inline constexpr std::string_view kIndexName = "index.md";
inline constexpr std::string_view kPeopleFolder = "people";
inline constexpr std::string_view kAttachmentFolder = "attachments";

// A path of the vault from its UTF-8 name.
[[nodiscard]] std::filesystem::path Utf8Path(std::string_view utf8);

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

private:
    bool MayReplace(const std::string& relative, const std::filesystem::path& path,
                    const std::filesystem::file_status& status, std::string_view bytes);

    std::filesystem::path folder_;
    ExportSummary& summary_;
    std::map<std::string, std::string> earlier_;  // path → hash as the earlier export wrote it
    std::map<std::string, std::string> written_;
    bool refresh_;
};

}  // namespace tavolex::vault
