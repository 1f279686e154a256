#include "export/vault_files.h"

#include "base/fnv1a.h"

#include "export/markdown_vault.h"
#include "meeting_query/text_match.h"
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

// The earlier export's manifest, when it can be read as the vault writes it.
std::optional<std::map<std::string, std::string>> ReadManifest(const fs::path& folder) {
    std::ifstream in(folder / kVaultManifest, std::ios::binary);
    std::string line;
    if (!ManifestLine(in, line) || line != kManifestHeader) return std::nullopt;
    std::map<std::string, std::string> written;
    while (ManifestLine(in, line)) {
        if (line.size() > 17 && line[16] == ' ' && IsVaultPath(std::string_view(line).substr(17)))
            written.emplace(line.substr(17), line.substr(0, 16));
    }
    if (in.bad()) return std::nullopt;
    return written;
}

// A name with letter case and width folded, as file systems that ignore them compare names.
std::u16string Folded(std::string_view utf8) { return FoldedText(platform::Utf8ToCp932(utf8)); }

// The meeting id a note begins with as the vault writes it ("---\nid: <digits>\n").
std::optional<std::uint32_t> NoteId(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    char head[32] = {};
    in.read(head, sizeof head);
    const std::string_view text(head, static_cast<std::size_t>(in.gcount()));
    constexpr std::string_view kStart = "---\nid: ";
    if (!text.starts_with(kStart)) return std::nullopt;
    std::uint64_t id = 0;
    std::size_t at = kStart.size();
    for (; at < text.size() && at < kStart.size() + 10 && text[at] >= '0' && text[at] <= '9'; ++at)
        id = id * 10 + static_cast<std::uint64_t>(text[at] - '0');
    if (at == kStart.size() || at >= text.size() || text[at] != '\n' || id > UINT32_MAX) return std::nullopt;
    return static_cast<std::uint32_t>(id);
}

}  // namespace

fs::path Utf8Path(std::string_view utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

VaultWriter::VaultWriter(const fs::path& folder, ExportSummary& summary)
    : folder_(folder), summary_(summary), manifest_(Manifest::kNone) {
    std::error_code ec;
    if (std::optional<std::map<std::string, std::string>> earlier = ReadManifest(folder)) {
        earlier_ = std::move(*earlier);
        manifest_ = Manifest::kOurs;
    } else if (fs::exists(fs::symlink_status(folder / kVaultManifest, ec))) {
        manifest_ = Manifest::kUnreadable;
    }
    for (const auto& [relative, hash] : earlier_) folded_.emplace(Folded(relative), relative);
}

std::vector<EarlierNote> VaultWriter::EarlierNotes() const {
    std::vector<EarlierNote> notes;
    for (const auto& [relative, hash] : earlier_) {
        if (relative.find('/') != std::string::npos || relative == kIndexName) continue;
        const fs::path path = folder_ / Utf8Path(relative);
        std::error_code ec;
        if (fs::is_regular_file(fs::symlink_status(path, ec))) notes.push_back({relative, NoteId(path)});
    }
    return notes;
}

bool VaultWriter::Unchanged(const std::string& relative) const {
    const auto earlier = earlier_.find(relative);
    if (earlier == earlier_.end()) return false;
    const fs::path path = folder_ / Utf8Path(relative);
    std::error_code ec;
    std::string bytes;
    return fs::is_regular_file(fs::symlink_status(path, ec)) && ReadWhole(path, bytes) &&
           Hex(Fnv1a64(bytes)) == earlier->second && HasVaultShape(relative, bytes);
}

const std::string* VaultWriter::SameFileEarlier(const std::string& relative, const fs::path& path) const {
    const auto [from, to] = folded_.equal_range(Folded(relative));
    for (auto it = from; it != to; ++it) {
        std::error_code ec;
        if (it->second != relative && fs::equivalent(folder_ / Utf8Path(it->second), path, ec) && !ec)
            return &it->second;
    }
    return nullptr;
}

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
    // An earlier file not written again goes when unchanged; one edited since stays named with its
    // earlier hash, so it is never replaced and its name is given to no other meeting.
    for (const auto& [relative, hash] : earlier_) {
        if (written_.contains(relative) || writtenAs_.contains(relative)) continue;
        std::error_code ec;
        const fs::path path = folder_ / Utf8Path(relative);
        if (complete && Unchanged(relative)) {
            fs::remove(path, ec);
        } else if (!complete || fs::is_regular_file(fs::symlink_status(path, ec))) {
            written_.emplace(relative, hash);
        }
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

// A file there is replaced when it is one the earlier export wrote, unchanged (under that name or,
// where the file system ignores case or width, under another the same file answers to), or when
// it already holds the bytes; in a folder that held no vault, the caller asked first. A link or a
// folder of that name is never written through.
bool VaultWriter::MayReplace(const std::string& relative, const fs::path& path, const fs::file_status& status,
                             std::string_view bytes) {
    if (!fs::is_regular_file(status)) return false;
    if (manifest_ == Manifest::kNone) return true;
    std::string present;
    if (!ReadWhole(path, present)) return false;
    const auto exact = earlier_.find(relative);
    const std::string* earlier = exact != earlier_.end() ? &exact->first : SameFileEarlier(relative, path);
    const bool replace = present == bytes || (earlier != nullptr && Hex(Fnv1a64(present)) == earlier_.at(*earlier));
    if (replace && earlier != nullptr) writtenAs_.insert(*earlier);
    return replace;
}

}  // namespace vault

bool IsEarlierVault(const fs::path& folder) {
    std::ifstream in(folder / kVaultManifest, std::ios::binary);
    std::string line;
    return vault::ManifestLine(in, line) && line == vault::kManifestHeader;
}

}  // namespace tavolex
