#pragma once
// What every exporter shares: the handheld's Shift-JIS texts as UTF-8 (each byte sequence that is
// not Shift-JIS becomes U+FFFD and is counted, so the summary can say so), ISO dates and times,
// the selection of meetings, the progress callback and the summary of one export.

#include "meeting_store/item_walk.h"
#include "meeting_store/records.h"

#include "base/attendee_name.h"
#include "meeting_store/date_format.h"
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavolex {

class MeetingDatabase;
class AddressBook;

// Converts texts at the export boundary and counts the replacement characters it had to write.
class ExportText {
public:
    [[nodiscard]] std::string Utf8(std::string_view cp932);
    [[nodiscard]] std::int64_t Replacements() const { return replacements_; }
    // Adds those another converter counted (one of another thread).
    void AddReplacements(std::int64_t count) { replacements_ += count; }

private:
    std::int64_t replacements_ = 0;
};

// The meetings an export covers: positions in the store's meeting array, in the order given.
using MeetingIndexes = std::vector<std::int32_t>;
// Every meeting of the store, in store order.
[[nodiscard]] MeetingIndexes AllMeetings(const MeetingDatabase& store);
// The selection by date and start time: a meeting without a time first on its day, undated
// (damaged) meetings last, ties in the order given; positions with no meeting left out.
[[nodiscard]] MeetingIndexes MeetingsByDate(const MeetingDatabase& store, const MeetingIndexes& selection);

// True when the folder is not there or holds no entry: nothing written into it replaces a file.
[[nodiscard]] bool FolderIsEmpty(const std::filesystem::path& folder);
// The files of `folder` among the CP932 names that exist (a link counts, whatever it points to).
[[nodiscard]] std::vector<std::filesystem::path> ExistingFiles(const std::filesystem::path& folder,
                                                               const std::vector<std::string>& cp932Names);

// Called after each meeting with the meetings done and the total; returning false cancels the
// export (what was written so far is removed where the exporter wrote a single file).
using ExportProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

// The item counts are those of the records the export wrote, each kind as the format counts it.
struct ExportSummary : ItemCounts {
    std::vector<std::filesystem::path> files;  // the files written
    std::vector<std::filesystem::path> kept;   // files of an earlier export changed since: left as they are
    std::int64_t meetings = 0;
    std::int64_t addresses = 0;
    std::int64_t replacements = 0;  // U+FFFD written for bytes that were not Shift-JIS
    std::int64_t undated = 0;       // meetings left out of a calendar: a date the calendar does not have
    bool cancelled = false;
    std::string error;  // UTF-8; empty when the export was done
    [[nodiscard]] bool Ok() const { return error.empty() && !cancelled; }
};

// Writes a whole export file: into a new temporary file beside it first ("<path>.partial"), synced
// and then put in place, so a failed write never leaves a cut file where a finished one was. Adds
// the path to summary.files; false with summary.error ("PATH: reason") set when it can't.
bool WriteExportFile(const std::filesystem::path& path, std::string_view bytes, ExportSummary& summary);

// A token of the Palm user whose records are exported, for UIDs that two users' exports never
// share: FNV-1a (32 bits, 8 hex digits) of the user folder's name in CP932, ASCII letters folded as
// Windows compares names, so it is the same on every run and machine. The user folder is the
// user's place's (session/user_place.h), never guessed from the store's folders.
[[nodiscard]] std::string UserUidPart(const std::filesystem::path& userFolder);

// "<kind>-<id>.<user>@tavolex"; a record whose id came `occurrence` - 1 times before it in its
// store gets "-<occurrence>" after the id, so a damaged store's repeated ids stay apart.
[[nodiscard]] std::string RecordUid(std::string_view kind, std::uint32_t id, int occurrence, std::string_view user);

// For each id of a list (a store's records in store order), how many times it has come so far:
// 1 at its first.
[[nodiscard]] std::vector<int> Occurrences(const std::vector<std::uint32_t>& ids);

// The name an attendee is shown with: "last first" when both are there, else the one there is.
[[nodiscard]] std::string AttendeeDisplayName(const AttendeeName& name);

}  // namespace tavolex
