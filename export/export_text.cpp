#include "export/export_text.h"

#include "base/ascii.h"
#include "base/fnv1a.h"
#include "address_book/address_book.h"
#include "meeting_store/date_format.h"
#include "meeting_store/meeting_database.h"
#include "platform/file_system.h"
#include "platform/platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <map>
#include <system_error>

namespace tavolex {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

std::string UidToken(const std::filesystem::path& userFolder) {
    const std::uint32_t hash =
        Fnv1a32(LowerAsciiText(platform::PathToCp932(platform::WithoutTrailingSeparator(userFolder).filename())));
    char text[16];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(hash));
    return text;
}

}  // namespace

MeetingIndexes MeetingsByDate(const MeetingDatabase& store, const MeetingIndexes& selection) {
    std::vector<std::pair<std::string, std::int32_t>> keyed;
    for (const std::int32_t index : selection) {
        const Meeting* m = store.MeetingAt(index);
        if (m == nullptr) continue;
        keyed.emplace_back(
            ValidIsoDate(m->date).value_or("9999") + ValidIsoTime(m->startHour, m->startMinute).value_or(""), index);
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    MeetingIndexes sorted;
    sorted.reserve(keyed.size());
    for (const auto& k : keyed) sorted.push_back(k.second);
    return sorted;
}

std::string UserUidPart(const std::filesystem::path& userFolder) { return UidToken(userFolder); }

std::string RecordUid(std::string_view kind, std::uint32_t id, int occurrence, std::string_view user) {
    std::string uid(kind);
    uid += '-' + std::to_string(id);
    if (occurrence > 1) uid += '-' + std::to_string(occurrence);
    uid.append(1, '.').append(user).append("@tavolex");
    return uid;
}

std::vector<int> Occurrences(const std::vector<std::uint32_t>& ids) {
    std::map<std::uint32_t, int> seen;
    std::vector<int> out;
    out.reserve(ids.size());
    for (const std::uint32_t id : ids) out.push_back(++seen[id]);
    return out;
}

std::string ExportText::Utf8(std::string_view cp932) {
    std::string text = platform::Cp932ToUtf8(cp932);
    // Shift-JIS has no character that converts to U+FFFD, so each one is a replaced sequence.
    for (std::size_t at = text.find(kReplacement); at != std::string::npos; at = text.find(kReplacement, at + 3)) {
        ++replacements_;
    }
    return text;
}

bool FolderIsEmpty(const std::filesystem::path& folder) {
    std::error_code listing;
    const std::filesystem::directory_iterator first(folder, listing);
    if (!listing) return first == std::filesystem::directory_iterator();
    std::error_code probe;
    return !std::filesystem::exists(folder, probe) && !probe;
}

std::vector<std::filesystem::path> ExistingFiles(const std::filesystem::path& folder,
                                                 const std::vector<std::string>& cp932Names) {
    std::vector<std::filesystem::path> found;
    // A folder that is not there yet, or holds nothing, has none of them: an archive of 65,520
    // meetings names 78,000 files, and asking for each costs half a second.
    if (FolderIsEmpty(folder)) return found;
    for (const std::string& name : cp932Names) {
        std::error_code ec;
        const std::filesystem::path path = folder / platform::PathFromCp932(name);
        if (std::filesystem::exists(std::filesystem::symlink_status(path, ec))) found.push_back(path);
    }
    return found;
}

MeetingIndexes AllMeetings(const MeetingDatabase& store) {
    MeetingIndexes all(static_cast<std::size_t>(store.MeetingCount()));
    for (std::int32_t i = 0; i < store.MeetingCount(); ++i) all[static_cast<std::size_t>(i)] = i;
    return all;
}

bool WriteExportFile(const std::filesystem::path& path, std::string_view bytes, ExportSummary& summary) {
    std::filesystem::path partial;
    std::error_code error;
    platform::UniqueFile file = platform::CreateTemporaryFor(path, partial, error);
    if (file) {
        errno = 0;
        if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size()) {
            error = platform::CommitTemporaryFile(std::move(file), partial, path);
        } else {
            error.assign(errno != 0 ? errno : EIO, std::generic_category());
            file.reset();
            std::error_code ignored;
            std::filesystem::remove(partial, ignored);
        }
    }
    if (error) {
        const std::u8string name = path.u8string();
        summary.error = std::string(name.begin(), name.end()) + ": " + error.message();
        return false;
    }
    summary.files.push_back(path);
    return true;
}

std::string AttendeeDisplayName(const AttendeeName& name) {
    if (!name.lastName.empty() && !name.firstName.empty()) return name.lastName + " " + name.firstName;
    return name.lastName.empty() ? name.firstName : name.lastName;
}

}  // namespace tavolex
