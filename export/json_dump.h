#pragma once
// The store as one JSON document, losslessly: every selected meeting with every item in handheld
// order and every field, with its handheld id; each attendee's address-book entry; the sketches'
// sizes and, when pictures are written, their file names.

#include "export/export_text.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tavolex {

struct DumpOptions {
    // When not empty, each sketch is written there as "<id>.jpg" and the dump names the file.
    std::filesystem::path pictureFolder{};
    int jobs = 0;  // threads writing the pictures; 0: DefaultJobs()
};

[[nodiscard]] std::string WriteJsonDump(const MeetingDatabase& store, const AddressBook& book,
                                        const MeetingIndexes& selection, const DumpOptions& options, ExportText& text,
                                        ExportSummary& summary, const ExportProgress& progress = {});

// The names of the sketch pictures an export of the selection writes (SketchFileName of each
// sketch with a picture), for the question asked before a picture of that name is replaced. A dump of
// every meeting also writes the sketches no meeting names.
[[nodiscard]] std::vector<std::string> SketchPictureNames(const MeetingDatabase& store,
                                                          const MeetingIndexes& selection);

// A JSON string literal of UTF-8 text (quotes, backslashes and control characters escaped).
[[nodiscard]] std::string JsonString(std::string_view utf8);

}  // namespace tavolex
