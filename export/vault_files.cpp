#include "export/vault_files.h"

#include "base/fnv1a.h"

#include "export/markdown_vault.h"
#include "platform/file_system.h"
#include "platform/platform.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

namespace tavolex {

namespace fs = std::filesystem;

namespace vault {
namespace {

constexpr std::string_view kManifestHeader = "tavolex-vault 1";

std::string Hex(std::uint64_t value) {
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// Reads a whole file; false when it can't.
bool ReadWhole(const fs::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// A path the manifest may name: one of the shapes the vault writes (notes and index.md in its
// folder, people's notes in people/, pictures in attachments/), so that a manifest that is not ours
// never leads outside the vault nor to another kind of file.
bool IsVaultPath(std::string_view relative) {
    if (relative.empty() || relative.find('\\') != std::string_view::npos ||
        relative.find(':') != std::string_view::npos)
        return false;
    const std::size_t slash = relative.find('/');
    const std::string_view name = slash == std::string_view::npos ? relative : relative.substr(slash + 1);
    if (slash != std::string_view::npos && relative.substr(0, slash) != kPeopleFolder &&
        relative.substr(0, slash) != kAttachmentFolder)
        return false;
    const bool picture = slash != std::string_view::npos && relative.substr(0, slash) == kAttachmentFolder;
    return !name.empty() && name.find('/') == std::string_view::npos && name.ends_with(picture ? ".png" : ".md");
}

// One line of the manifest, whatever its line ends (a checkout may have made them CR LF).
bool ManifestLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) return false;
    if (line.ends_with('\r')) line.pop_back();
    return true;
}

// Whether bytes begin as the vault writes a file of that path: a meeting's note with its id, a
// person's note with the name, the index with its heading, a picture as a PNG. Only such a file is
// removed, so a manifest that names a user's own file (README.md) never removes it.
bool HasVaultShape(std::string_view relative, std::string_view bytes) {
    if (relative.starts_with(kAttachmentFolder)) return bytes.starts_with("\x89PNG\r\n\x1a\n");
    if (relative.starts_with(kPeopleFolder)) return bytes.starts_with("---\nname: ");
    if (relative == kIndexName) return bytes.starts_with("# ");
    return bytes.starts_with("---\nid: ");
}

std::map<std::string, std::string> ReadManifest(const fs::path& folder) {
    std::map<std::string, std::string> written;
    std::ifstream in(folder / kVaultManifest, std::ios::binary);
    std::string line;
    if (!ManifestLine(in, line) || line != kManifestHeader) return written;
    while (ManifestLine(in, line)) {
        if (line.size() > 17 && line[16] == ' ' && IsVaultPath(std::string_view(line).substr(17)))
            written.emplace(line.substr(17), line.substr(0, 16));
    }
    return written;
}

}  // namespace

fs::path Utf8Path(std::string_view utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

VaultWriter::VaultWriter(const fs::path& folder, ExportSummary& summary)
    : folder_(folder), summary_(summary), earlier_(ReadManifest(folder)), refresh_(IsEarlierVault(folder)) {}

bool VaultWriter::Put(const std::string& relative, std::string_view bytes) {
    if (written_.contains(relative)) return true;  // a sketch two meetings name
    const fs::path path = folder_ / Utf8Path(relative);
    const std::string hash = Hex(Fnv1a64(bytes));
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(path, ec);
    if (fs::exists(status) && !MayReplace(relative, path, status, bytes)) {
        summary_.kept.push_back(path);
        return true;
    }
    // Through a new file renamed in place: a link or a hard-linked copy is replaced, never written through.
    if (platform::ReplaceFileContent(path, bytes)) {
        summary_.error = "cannot write " + platform::PathToUtf8(path);
        return false;
    }
    summary_.files.push_back(path);
    written_.emplace(relative, hash);
    return true;
}

bool VaultWriter::Finish(bool complete) {
    for (const auto& [relative, hash] : earlier_) {
        if (written_.contains(relative)) continue;
        if (!complete) {
            written_.emplace(relative, hash);
            continue;
        }
        const fs::path path = folder_ / Utf8Path(relative);
        std::error_code ec;
        std::string bytes;
        if (fs::is_regular_file(fs::symlink_status(path, ec)) && ReadWhole(path, bytes) &&
            Hex(Fnv1a64(bytes)) == hash && HasVaultShape(relative, bytes))
            fs::remove(path, ec);
    }
    std::string manifest = std::string(kManifestHeader) + "\n";
    for (const auto& [relative, hash] : written_) manifest += hash + " " + relative + "\n";
    ExportSummary manifestSummary;
    if (!WriteExportFile(folder_ / kVaultManifest, manifest, manifestSummary)) {
        if (summary_.error.empty()) summary_.error = manifestSummary.error;
        return false;
    }
    return true;
}

// A file there is replaced when it is one the earlier export wrote, unchanged; in a folder
// that held no vault, the caller asked first. A link or a folder of that name is never
// written through.
bool VaultWriter::MayReplace(const std::string& relative, const fs::path& path, const fs::file_status& status,
                             std::string_view bytes) {
    if (!fs::is_regular_file(status)) return false;
    if (!refresh_) return true;
    std::string present;
    if (!ReadWhole(path, present)) return false;
    const auto earlier = earlier_.find(relative);
    if (earlier != earlier_.end() && Hex(Fnv1a64(present)) == earlier->second) return true;
    if (present == bytes) {
        written_.emplace(relative, Hex(Fnv1a64(bytes)));
        return true;
    }
    return false;
}

}  // namespace vault

bool IsEarlierVault(const fs::path& folder) {
    std::ifstream in(folder / kVaultManifest, std::ios::binary);
    std::string line;
    return vault::ManifestLine(in, line) && line == vault::kManifestHeader;
}

}  // namespace tavolex
