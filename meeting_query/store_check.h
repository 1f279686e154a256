#pragma once
// The health of a Palm user's store, file by file: whether each of the seven database files and
// the address book is there, the load status, the records the file's header names and the records
// read, and what reading had to leave aside (links to records that aren't there, unknown kinds of
// item, texts that fill their field). For a person migrating old backups: nothing is dropped
// without a word.

#include "base/status.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tavolex {

class MeetingDatabase;

// A kind of thing reading left aside, and how many of it.
enum class CheckRemarkKind {
    kRecordsNotRead,  // records the header names that were not read
    kTextsFull,       // texts that fill their field and may have been cut
    kOrphanLinks,     // links naming a meeting that isn't there
    kUnknownKinds,    // items of an unknown kind
    kDanglingItems,   // items naming a record that isn't there
};
struct CheckRemark {
    CheckRemarkKind kind;
    std::size_t count;
    bool operator==(const CheckRemark&) const = default;
};

struct FileCheck {
    std::string name;  // "meeting.dat", …, "address.dat"
    std::filesystem::path path;
    bool present = false;
    LoadStatus status = kStatusOk;
    std::optional<std::int32_t> headerRecords;  // none when the file has no header to read
    std::int32_t recordsRead = 0;
    std::vector<CheckRemark> remarks;  // one per kind of thing left aside
    bool damaged = false;              // missing, a bad status, records lost, or links left aside
};

struct StoreCheck {
    std::vector<FileCheck> files;  // meeting, link, note, to-do, agenda, sketch, attendee, address book
    [[nodiscard]] bool Healthy() const;
};

// A remark in English, as the command line gives it: "2 items name a record that isn't there".
[[nodiscard]] std::string RemarkText(const CheckRemark& remark);
// The file's remarks in English, in their order.
[[nodiscard]] std::vector<std::string> SkippedTexts(const FileCheck& file);

// The meaning of a load status, in English: "ok", "cut short", ….
[[nodiscard]] std::string StatusMeaning(LoadStatus status);

[[nodiscard]] StoreCheck CheckStore(const std::filesystem::path& dataFolder, const std::filesystem::path& addressBook);
// The same of a store already loaded (by ReloadAll or a Load of each type), with the statuses of
// its loads and the records it holds: what the program shows is what is checked, and a full store
// is not read a second time.
[[nodiscard]] StoreCheck CheckLoadedStore(const MeetingDatabase& store, const std::filesystem::path& addressBook);

}  // namespace tavolex
