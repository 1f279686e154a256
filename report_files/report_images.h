#pragma once
// The pictures of a report: the files its src="…" and background="…" references name, which
// live beside the report in the output folder (sketches) or come from the template folder.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report_files/report_paths.h"

namespace tavolex {
namespace platform {
class UserInteraction;
}

inline constexpr std::size_t kMaxReportImages = 256;

struct ImageReference {
    std::string reference;  // as written, with every "%20" made a space; CP932
    std::string fileName;   // its last component: the picture's name in the output folder
};

// The picture references of a report's bytes, one per file name in the order the names first
// occur. A reference starts after the exact, case-sensitive src=" or background=" (the whole
// marker inside the text) and ends at the next '"' before any zero byte; an empty value, or one
// with no closing quote, is no reference. The last separator is found walking double-byte
// characters whole. Duplicates are found by the decoded file name. Names that can't be a file
// of the folder (empty, ".", "..") are left out. False, with the references found so far, when
// a reference comes after 256 names.
bool ScanImageReferences(std::string_view text, std::vector<ImageReference>& references);

// The picture list of one operation: file names (CP932, no folder) in reference order.
struct ReportImageList {
    std::vector<std::string> names;
};

// Reads the report whole and collects its pictures, and refreshes each picture from the
// template folder into the output folder (template folder + reference copied over output
// folder + name). A report's pictures are only those the program puts beside a report: names of
// sketch pictures (IsSketchFileName) and references to an existing file inside the template
// folder's tree; any other name the text holds (a user's file) is not collected. A name that is
// itself a report file is never overwritten. Fails silently when the report can't be opened;
// shows the system's message when its size can't be read, the memory can't be had, or it is
// empty; fails after 256 names. A failure leaves the list empty.
bool CollectReportImages(const std::filesystem::path& reportPath, const ReportPaths& paths,
                         platform::UserInteraction& ui, ReportImageList& list);

// The file names a report refers to, read without messages and without refreshing anything
// (an empty report refers to none); nothing when the report can't be read.
std::optional<std::vector<std::string>> ReferencedImageNames(const std::filesystem::path& reportPath);

// Traces the release of each list entry with the format (one %i, one address) and empties it.
void ReleaseImageList(ReportImageList& list, const char* traceFormat);

}  // namespace tavolex
